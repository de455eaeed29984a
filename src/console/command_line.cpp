#include "console/command_line.h"

#include <algorithm>

namespace tarvo {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsTrimmed(wchar_t c) { return IsBlank(c) || c == L'\r' || c == L'\n'; }

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// The words compared against are plain ASCII, so folding ASCII letters is enough
// and keeps non-Latin text from matching by accident.
bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view lowerWord) {
    return text.size() == lowerWord.size() &&
           std::equal(text.begin(), text.end(), lowerWord.begin(),
                      [](wchar_t a, wchar_t b) { return AsciiLower(a) == b; });
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view lowerWord) {
    return text.size() >= lowerWord.size() && EqualsIgnoringCase(text.substr(0, lowerWord.size()), lowerWord);
}

bool IsTwoCharactersEndingInColon(std::wstring_view text) { return text.size() == 2 && text[1] == L':'; }

CommandClass Recorded(CommandRule rule, std::wstring_view record, RecordTime when) {
    CommandClass result;
    result.rule = rule;
    result.record.assign(record);
    result.recordTime = when;
    return result;
}

}  // namespace

std::wstring NormalizeCommand(std::wstring_view text) {
    while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);

    std::wstring result;
    result.reserve(text.size());
    bool gap = false;
    for (wchar_t c : text) {
        if (!IsBlank(c)) {
            result.push_back(c);
            gap = false;
        } else if (!gap) {
            result.push_back(L' ');
            gap = true;
        }
    }
    return result;
}

CommandClass ClassifyCommand(std::wstring_view command) {
    if (command.empty()) return {};
    if (EqualsIgnoringCase(command, L"cd") || EqualsIgnoringCase(command, L"cd.") ||
        EqualsIgnoringCase(command, L"cd .")) {
        return Recorded(CommandRule::kFolderQuery, {}, RecordTime::kNever);
    }
    if (EqualsIgnoringCase(command, L"cd..") || EqualsIgnoringCase(command, L"cd ..")) {
        return Recorded(CommandRule::kFolderUp, {}, RecordTime::kNever);
    }
    if (command.size() > 3 && StartsWithIgnoringCase(command, L"cd ")) {
        CommandClass result = Recorded(CommandRule::kChangeFolder, command, RecordTime::kAfterwards);
        result.folder.assign(command.substr(3));
        if (IsTwoCharactersEndingInColon(result.folder)) result.folder.push_back(L'\\');
        return result;
    }
    if (command.size() > 6 && StartsWithIgnoringCase(command, L"start ")) {
        const std::wstring_view rest = command.substr(6);
        CommandClass result =
            Recorded(CommandRule::kDetachedStart, L"start " + std::wstring(rest), RecordTime::kAfterwards);
        result.detached.assign(rest);
        return result;
    }
    if (command.size() > 3) return Recorded(CommandRule::kRunLong, command, RecordTime::kAfterwards);
    if (IsTwoCharactersEndingInColon(command)) {
        CommandClass result = Recorded(CommandRule::kDriveSwitch, command, RecordTime::kBeforeFolderChange);
        result.folder = std::wstring(command) + L'\\';
        return result;
    }
    return Recorded(CommandRule::kRunShort, command, RecordTime::kAfterwards);
}

std::wstring ChildCommandLine(std::wstring_view comSpec, std::wstring_view command) {
    std::wstring line(comSpec);
    line += L" /c ";
    line += command;
    return line;
}

std::wstring FolderTitle(std::wstring_view currentFolder, bool adminMode) {
    std::wstring_view name = currentFolder;
    if (currentFolder.size() != 3) {
        const std::size_t lastSlash = currentFolder.rfind(L'\\');
        if (lastSlash != std::wstring_view::npos) name = currentFolder.substr(lastSlash + 1);
    }
    std::wstring title(name);
    title += L" - Tarvo";
    if (adminMode) title += L" Admin mode";
    return title;
}

bool IsAdminExecutable(std::wstring_view exePath) {
    const std::size_t folderEnd = exePath.find_last_of(L"\\/");
    if (folderEnd != std::wstring_view::npos) exePath.remove_prefix(folderEnd + 1);
    const std::size_t dot = exePath.rfind(L'.');
    if (dot != std::wstring_view::npos) exePath = exePath.substr(0, dot);
    return EqualsIgnoringCase(exePath, L"tarvo2admin");
}

std::wstring StartFolderFromArguments(std::wstring_view arguments) {
    std::wstring folder;
    folder.reserve(arguments.size());
    for (wchar_t c : arguments) {
        if (c != L'"') folder.push_back(c);
    }
    return folder;
}

}  // namespace tarvo
