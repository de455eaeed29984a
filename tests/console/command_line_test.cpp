#include "console/command_line.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(NormalizeCommand, TrimsTheEndsAndFoldsInnerBlanksButKeepsLineBreaks) {
    EXPECT_EQ(NormalizeCommand(L" \t\r\n dir /w \n\r\t "), L"dir /w");
    EXPECT_EQ(NormalizeCommand(L"echo\t\"a \t \tb\""), L"echo \"a b\"");  // quotes are not special
    EXPECT_EQ(NormalizeCommand(L"a \r\n b  c"), L"a \r\n b c");
}

TEST(ClassifyCommand, EachRuleWithItsFolderDetachedLineAndRecord) {
    using enum CommandRule;
    const struct {
        const wchar_t* typed;
        CommandRule rule;
        const wchar_t *folder, *detached, *record;
        RecordTime when;
    } cases[] = {
        {L"Cd .", kFolderQuery, L"", L"", L"", RecordTime::kNever},
        {L"cD.", kFolderQuery, L"", L"", L"", RecordTime::kNever},
        {L"CD\t..", kFolderUp, L"", L"", L"", RecordTime::kNever},
        {L"Cd..", kFolderUp, L"", L"", L"", RecordTime::kNever},
        {L"cd  Program Files", kChangeFolder, L"Program Files", L"", L"cd Program Files", RecordTime::kAfterwards},
        {L"cd d:", kChangeFolder, L"d:\\", L"", L"cd d:", RecordTime::kAfterwards},
        {L"cd d:\\x", kChangeFolder, L"d:\\x", L"", L"cd d:\\x", RecordTime::kAfterwards},
        {L"1:", kDriveSwitch, L"1:\\", L"", L"1:", RecordTime::kBeforeFolderChange},
        {L"START   notepad  a.txt", kDetachedStart, L"", L"notepad a.txt", L"start notepad a.txt",
         RecordTime::kAfterwards},
        {L"start ", kRunLong, L"", L"", L"start", RecordTime::kAfterwards},
        {L"startx foo", kRunLong, L"", L"", L"startx foo", RecordTime::kAfterwards},
        {L"chdir x", kRunLong, L"", L"", L"chdir x", RecordTime::kAfterwards},
        {L"cd\\", kRunShort, L"", L"", L"cd\\", RecordTime::kAfterwards},
        {L"ab:", kRunShort, L"", L"", L"ab:", RecordTime::kAfterwards},
    };
    for (const auto& c : cases) {
        const CommandClass got = ClassifyCommand(NormalizeCommand(c.typed));
        EXPECT_EQ(got.rule, c.rule) << c.typed;
        EXPECT_EQ(got.folder, c.folder) << c.typed;
        EXPECT_EQ(got.detached, c.detached) << c.typed;
        EXPECT_EQ(got.record, c.record) << c.typed;
        EXPECT_EQ(got.recordTime, c.when) << c.typed;
    }
}

TEST(ConsoleTexts, ChildLineTitleAdminNameAndStartFolder) {
    EXPECT_EQ(ChildCommandLine(L"C:\\w\\cmd.exe", L"dir"), L"C:\\w\\cmd.exe /c dir");
    EXPECT_EQ(FolderTitle(L"\\\\server\\share\\Мой", false), L"Мой - Tarvo");
    EXPECT_EQ(FolderTitle(L"C:\\Windows\\System32", true), L"System32 - Tarvo Admin mode");
    EXPECT_TRUE(IsAdminExecutable(L"c:\\x\\TARVO2ADMIN.EXE"));
    EXPECT_TRUE(IsAdminExecutable(L"tarvo2admin"));
    EXPECT_FALSE(IsAdminExecutable(L"C:\\Tarvo2Admin\\Tarvo2.exe"));
    EXPECT_FALSE(IsAdminExecutable(L"C:\\x\\Tarvo2Admin2.exe"));
    EXPECT_EQ(StartFolderFromArguments(L"\"C:\\Program Files\\\""), L"C:\\Program Files\\");
}

}  // namespace
}  // namespace tarvo
