#include "console/command_line.h"

#include <gtest/gtest.h>

namespace tarvo {

TEST(NormalizeCommand, TrimsBlanksTabsAndLineBreaksAtBothEnds) {
    EXPECT_EQ(NormalizeCommand(L" \t\r\n dir /w \n\r\t "), L"dir /w");
    EXPECT_EQ(NormalizeCommand(L"\r\n"), L"");
    EXPECT_EQ(NormalizeCommand(L" \t \t"), L"");
    EXPECT_EQ(NormalizeCommand(L""), L"");
}

TEST(NormalizeCommand, RunsOfBlanksAndTabsBecomeOneSpace) {
    EXPECT_EQ(NormalizeCommand(L"cd  .."), L"cd ..");
    EXPECT_EQ(NormalizeCommand(L"echo\ta \t \tb"), L"echo a b");
    EXPECT_EQ(NormalizeCommand(L"a\t\tb"), L"a b");
}

TEST(NormalizeCommand, LineBreaksInsideAreKeptAndEndTheGap) {
    EXPECT_EQ(NormalizeCommand(L"echo a\r\necho  b"), L"echo a\r\necho b");
    EXPECT_EQ(NormalizeCommand(L"a \r\n b"), L"a \r\n b");
}

TEST(NormalizeCommand, QuotesGetNoSpecialTreatment) {
    EXPECT_EQ(NormalizeCommand(L"echo \"a   b\""), L"echo \"a b\"");
}

TEST(NormalizeCommand, HandlesLinesOfTheLongestSupportedLength) {
    std::wstring longest(32767, L'x');
    longest[100] = L' ';
    longest[101] = L' ';
    std::wstring expected = longest;
    expected.erase(101, 1);
    EXPECT_EQ(NormalizeCommand(longest), expected);

    const std::wstring padded = L"  " + std::wstring(32767, L'y') + L"\t";
    EXPECT_EQ(NormalizeCommand(padded), std::wstring(32767, L'y'));
}

CommandClass Classify(std::wstring_view typed) { return ClassifyCommand(NormalizeCommand(typed)); }

TEST(ClassifyCommand, FolderQueriesInAnyCaseAreNotRecorded) {
    for (const wchar_t* typed : {L"cd", L"CD", L"Cd .", L"cD.", L"  cd  .  "}) {
        const CommandClass c = Classify(typed);
        EXPECT_EQ(c.rule, CommandRule::kFolderQuery) << typed;
        EXPECT_EQ(c.recordTime, RecordTime::kNever) << typed;
        EXPECT_TRUE(c.record.empty()) << typed;
    }
}

TEST(ClassifyCommand, FolderUpFormsAreNotRecorded) {
    for (const wchar_t* typed : {L"cd..", L"cd ..", L"cd  ..", L"CD\t..", L"Cd.."}) {
        const CommandClass c = Classify(typed);
        EXPECT_EQ(c.rule, CommandRule::kFolderUp) << typed;
        EXPECT_EQ(c.recordTime, RecordTime::kNever) << typed;
    }
}

TEST(ClassifyCommand, CdWithPathChangesThereAndIsRecordedAfterwards) {
    const CommandClass c = Classify(L"cd  Program Files");
    EXPECT_EQ(c.rule, CommandRule::kChangeFolder);
    EXPECT_EQ(c.folder, L"Program Files");
    EXPECT_EQ(c.record, L"cd Program Files");
    EXPECT_EQ(c.recordTime, RecordTime::kAfterwards);

    EXPECT_EQ(Classify(L"CD nosuch").folder, L"nosuch");
    EXPECT_EQ(Classify(L"cd ...").rule, CommandRule::kChangeFolder);
    EXPECT_EQ(Classify(L"cd ...").folder, L"...");
}

TEST(ClassifyCommand, BareDriveAndCdDriveGoToTheRoot) {
    const CommandClass bare = Classify(L"d:");
    EXPECT_EQ(bare.rule, CommandRule::kDriveSwitch);
    EXPECT_EQ(bare.folder, L"d:\\");
    EXPECT_EQ(bare.record, L"d:");
    EXPECT_EQ(bare.recordTime, RecordTime::kBeforeFolderChange);

    const CommandClass viaCd = Classify(L"cd d:");
    EXPECT_EQ(viaCd.rule, CommandRule::kChangeFolder);
    EXPECT_EQ(viaCd.folder, L"d:\\");
    EXPECT_EQ(viaCd.record, L"cd d:");

    EXPECT_EQ(Classify(L"cd d:\\x").folder, L"d:\\x");
}

TEST(ClassifyCommand, TwoCharactersEndingInColonAreRecordedThenTriedAsAFolder) {
    const CommandClass c = Classify(L"1:");
    EXPECT_EQ(c.rule, CommandRule::kDriveSwitch);
    EXPECT_EQ(c.folder, L"1:\\");
    EXPECT_EQ(c.record, L"1:");
    EXPECT_EQ(c.recordTime, RecordTime::kBeforeFolderChange);
}

TEST(ClassifyCommand, UnrecognisedFolderFormsRunInAChild) {
    for (const wchar_t* typed : {L"cd\\", L"cd\\windows", L"chdir x", L"pushd x", L"cd:", L"cd/"}) {
        const CommandClass c = Classify(typed);
        EXPECT_TRUE(c.RunsInChild()) << typed;
        EXPECT_TRUE(c.folder.empty()) << typed;
        EXPECT_EQ(c.record, NormalizeCommand(typed)) << typed;
        EXPECT_EQ(c.recordTime, RecordTime::kAfterwards) << typed;
    }
    EXPECT_EQ(Classify(L"cd\\").rule, CommandRule::kRunShort);
    EXPECT_EQ(Classify(L"chdir x").rule, CommandRule::kRunLong);
}

TEST(ClassifyCommand, StartRunsTheRestDetachedAndRecordsLowerCaseStart) {
    const CommandClass c = Classify(L"START   notepad  a.txt");
    EXPECT_EQ(c.rule, CommandRule::kDetachedStart);
    EXPECT_EQ(c.detached, L"notepad a.txt");
    EXPECT_EQ(c.record, L"start notepad a.txt");
    EXPECT_EQ(c.recordTime, RecordTime::kAfterwards);

    EXPECT_EQ(Classify(L"START notepad").record, L"start notepad");
    // Without anything after it, "start" is an ordinary command.
    EXPECT_EQ(Classify(L"start ").rule, CommandRule::kRunLong);
    EXPECT_EQ(Classify(L"startx foo").rule, CommandRule::kRunLong);
}

TEST(ClassifyCommand, OrdinaryCommandsAreRunAndRecordedAsNormalised) {
    const CommandClass dir = Classify(L"  DIR\t/w ");
    EXPECT_EQ(dir.rule, CommandRule::kRunLong);
    EXPECT_EQ(dir.record, L"DIR /w");
    const CommandClass ver = Classify(L"ver");
    EXPECT_EQ(ver.rule, CommandRule::kRunShort);
    EXPECT_EQ(ver.record, L"ver");
    EXPECT_EQ(Classify(L"x").rule, CommandRule::kRunShort);
    EXPECT_EQ(Classify(L"ab:").rule, CommandRule::kRunShort);
}

TEST(ClassifyCommand, BlankLinesAreEmptyAndNotRecorded) {
    for (const wchar_t* typed : {L"", L"   ", L"\t \t", L"\r\n"}) {
        const CommandClass c = Classify(typed);
        EXPECT_EQ(c.rule, CommandRule::kEmpty);
        EXPECT_EQ(c.recordTime, RecordTime::kNever);
        EXPECT_TRUE(c.record.empty());
    }
}

TEST(ChildCommandLine, JoinsComSpecAndCommand) {
    EXPECT_EQ(ChildCommandLine(L"C:\\windows\\system32\\cmd.exe", L"dir"), L"C:\\windows\\system32\\cmd.exe /c dir");
    EXPECT_EQ(ChildCommandLine(L"", L"dir"), L" /c dir");
}

TEST(FolderTitle, DriveRootIsShownWholeOtherFoldersByTheirLastComponent) {
    EXPECT_EQ(FolderTitle(L"C:\\", false), L"C:\\ - Tarvo");
    EXPECT_EQ(FolderTitle(L"C:\\Windows\\System32", false), L"System32 - Tarvo");
    EXPECT_EQ(FolderTitle(L"C:\\Work", false), L"Work - Tarvo");
    EXPECT_EQ(FolderTitle(L"\\\\server\\share\\Мой", false), L"Мой - Tarvo");
}

TEST(FolderTitle, AdminModeAppendsItsMark) {
    EXPECT_EQ(FolderTitle(L"C:\\", true), L"C:\\ - Tarvo Admin mode");
    EXPECT_EQ(FolderTitle(L"C:\\Windows\\System32", true), L"System32 - Tarvo Admin mode");
}

TEST(IsAdminExecutable, MatchesTheNameWithoutFolderAndExtensionIgnoringCase) {
    EXPECT_TRUE(IsAdminExecutable(L"C:\\Program Files\\Tarvo\\Tarvo2Admin.exe"));
    EXPECT_TRUE(IsAdminExecutable(L"c:\\x\\TARVO2ADMIN.EXE"));
    EXPECT_TRUE(IsAdminExecutable(L"tarvo2admin"));
    EXPECT_FALSE(IsAdminExecutable(L"C:\\Tarvo2Admin\\Tarvo2.exe"));
    EXPECT_FALSE(IsAdminExecutable(L"C:\\x\\Tarvo2Admin2.exe"));
    EXPECT_FALSE(IsAdminExecutable(L""));
}

TEST(StartFolderFromArguments, RemovesEveryDoubleQuote) {
    EXPECT_EQ(StartFolderFromArguments(L"\"C:\\Program Files\\\""), L"C:\\Program Files\\");
    EXPECT_EQ(StartFolderFromArguments(L"\"\""), L"");
    EXPECT_EQ(StartFolderFromArguments(L"a\"b\"c"), L"abc");
}

}  // namespace tarvo
