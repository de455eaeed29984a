#include "console/command_line.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarvo {
namespace {

TEST(NormalizeCommand, TrimsTheEndsAndFoldsInnerBlanksButKeepsLineBreaks) {
    EXPECT_EQ(NormalizeCommand(L" \t\r\n dir /w \n\r\t "), L"dir /w");
    EXPECT_EQ(NormalizeCommand(L" \t \t"), L"");
    EXPECT_EQ(NormalizeCommand(L"echo\ta \t \tb"), L"echo a b");
    EXPECT_EQ(NormalizeCommand(L"echo \"a   b\""), L"echo \"a b\"");  // quotes are not special
    EXPECT_EQ(NormalizeCommand(L"echo a\r\necho  b"), L"echo a\r\necho b");
    EXPECT_EQ(NormalizeCommand(L"a \r\n b"), L"a \r\n b");

    std::wstring longest(32767, L'x');
    longest[100] = longest[101] = L' ';
    std::wstring expected = longest;
    expected.erase(101, 1);
    EXPECT_EQ(NormalizeCommand(L"  " + longest + L"\t"), expected);
}

CommandClass Classify(std::wstring_view typed) { return ClassifyCommand(NormalizeCommand(typed)); }

TEST(ClassifyCommand, FolderQueriesUpsAndBlanksAreNeverRecorded) {
    const std::pair<const wchar_t*, CommandRule> cases[] = {
        {L"CD", CommandRule::kFolderQuery},   {L"Cd .", CommandRule::kFolderQuery}, {L"cD.", CommandRule::kFolderQuery},
        {L"cd  ..", CommandRule::kFolderUp},  {L"CD\t..", CommandRule::kFolderUp},  {L"Cd..", CommandRule::kFolderUp},
        {L"", CommandRule::kEmpty},           {L"\t \r\n", CommandRule::kEmpty},
    };
    for (const auto& [typed, rule] : cases) {
        const CommandClass c = Classify(typed);
        EXPECT_EQ(c.rule, rule) << typed;
        EXPECT_EQ(c.recordTime, RecordTime::kNever) << typed;
        EXPECT_TRUE(c.record.empty()) << typed;
    }
}

TEST(ClassifyCommand, CdWithAPathOrADriveChangesThereAndIsRecorded) {
    const CommandClass c = Classify(L"cd  Program Files");
    EXPECT_EQ(c.rule, CommandRule::kChangeFolder);
    EXPECT_EQ(c.folder, L"Program Files");
    EXPECT_EQ(c.record, L"cd Program Files");
    EXPECT_EQ(c.recordTime, RecordTime::kAfterwards);
    EXPECT_EQ(Classify(L"cd ...").folder, L"...");

    const CommandClass viaCd = Classify(L"cd d:");
    EXPECT_EQ(viaCd.rule, CommandRule::kChangeFolder);
    EXPECT_EQ(viaCd.folder, L"d:\\");
    EXPECT_EQ(viaCd.record, L"cd d:");
    EXPECT_EQ(Classify(L"cd d:\\x").folder, L"d:\\x");

    // Any two characters ending in a colon are recorded first, then tried as a root.
    for (const wchar_t* typed : {L"d:", L"1:"}) {
        const CommandClass bare = Classify(typed);
        EXPECT_EQ(bare.rule, CommandRule::kDriveSwitch) << typed;
        EXPECT_EQ(bare.folder, std::wstring(typed) + L"\\") << typed;
        EXPECT_EQ(bare.record, typed);
        EXPECT_EQ(bare.recordTime, RecordTime::kBeforeFolderChange) << typed;
    }
}

TEST(ClassifyCommand, OtherCommandsRunInAChildAndAreRecordedAsNormalised) {
    for (const wchar_t* typed : {L"cd\\", L"cd\\windows", L"chdir x", L"pushd x", L"cd/", L"  DIR\t/w ", L"ab:"}) {
        const CommandClass c = Classify(typed);
        EXPECT_TRUE(c.RunsInChild()) << typed;
        EXPECT_TRUE(c.folder.empty()) << typed;
        EXPECT_EQ(c.record, NormalizeCommand(typed)) << typed;
        EXPECT_EQ(c.recordTime, RecordTime::kAfterwards) << typed;
    }
    EXPECT_EQ(Classify(L"cd\\").rule, CommandRule::kRunShort);
    EXPECT_EQ(Classify(L"chdir x").rule, CommandRule::kRunLong);
    EXPECT_EQ(ChildCommandLine(L"C:\\windows\\system32\\cmd.exe", L"dir"), L"C:\\windows\\system32\\cmd.exe /c dir");
}

TEST(ClassifyCommand, StartRunsTheRestDetachedAndRecordsLowerCaseStart) {
    const CommandClass c = Classify(L"START   notepad  a.txt");
    EXPECT_EQ(c.rule, CommandRule::kDetachedStart);
    EXPECT_EQ(c.detached, L"notepad a.txt");
    EXPECT_EQ(c.record, L"start notepad a.txt");
    EXPECT_EQ(Classify(L"START notepad").record, L"start notepad");
    // Without anything after it, "start" is an ordinary command.
    EXPECT_EQ(Classify(L"start ").rule, CommandRule::kRunLong);
    EXPECT_EQ(Classify(L"startx foo").rule, CommandRule::kRunLong);
}

TEST(FolderTitle, DriveRootWholeOtherFoldersByLastComponentAdminModeMarked) {
    EXPECT_EQ(FolderTitle(L"C:\\", false), L"C:\\ - Tarvo");
    EXPECT_EQ(FolderTitle(L"C:\\Windows\\System32", false), L"System32 - Tarvo");
    EXPECT_EQ(FolderTitle(L"\\\\server\\share\\Мой", false), L"Мой - Tarvo");
    EXPECT_EQ(FolderTitle(L"C:\\", true), L"C:\\ - Tarvo Admin mode");
    EXPECT_EQ(FolderTitle(L"C:\\Windows\\System32", true), L"System32 - Tarvo Admin mode");
}

TEST(StartArguments, AdminExecutableByNameAndStartFolderWithoutQuotes) {
    EXPECT_TRUE(IsAdminExecutable(L"c:\\x\\TARVO2ADMIN.EXE"));
    EXPECT_TRUE(IsAdminExecutable(L"tarvo2admin"));
    EXPECT_FALSE(IsAdminExecutable(L"C:\\Tarvo2Admin\\Tarvo2.exe"));
    EXPECT_FALSE(IsAdminExecutable(L"C:\\x\\Tarvo2Admin2.exe"));
    EXPECT_EQ(StartFolderFromArguments(L"\"C:\\Program Files\\\""), L"C:\\Program Files\\");
    EXPECT_EQ(StartFolderFromArguments(L"a\"b\"c"), L"abc");
}

}  // namespace
}  // namespace tarvo
