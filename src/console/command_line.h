#pragma once
// The Win32-free half of the command controller: what an entered line means,
// and the texts the console derives from its folder and its executable name.
#include <string>
#include <string_view>

namespace tarvo {

// Strips leading and trailing blanks, tabs, CR and LF; every run of blanks and
// tabs inside becomes one space. CR and LF inside stay; quotes are not special.
std::wstring NormalizeCommand(std::wstring_view text);

// The rules are tried in this order; the first that matches decides.
enum class CommandRule : int {
    kEmpty = 1,          // a line break and a new prompt
    kFolderQuery = 2,    // "cd", "cd.", "cd ."
    kFolderUp = 3,       // "cd..", "cd .."
    kChangeFolder = 4,   // "cd <path>"
    kDetachedStart = 5,  // "start <command line>"
    kRunLong = 6,        // any other line longer than 3 characters
    kDriveSwitch = 7,    // two characters ending in ':'
    kRunShort = 8,       // any other line of at most 3 characters
};

enum class RecordTime {
    kNever,
    kBeforeFolderChange,  // a drive switch is recorded first, then carried out
    kAfterwards,          // after the folder change and prompt, or after the run
};

struct CommandClass {
    CommandRule rule = CommandRule::kEmpty;
    // Rules 4 and 7: the path handed to the folder change ("d:" becomes "d:\").
    std::wstring folder;
    // Rule 5: the command line started detached, without the word "start".
    std::wstring detached;
    // What goes into the recent-commands list, empty when nothing is recorded.
    std::wstring record;
    RecordTime recordTime = RecordTime::kNever;

    bool RunsInChild() const { return rule == CommandRule::kRunLong || rule == CommandRule::kRunShort; }
};

// Classifies a line that has already been normalised.
CommandClass ClassifyCommand(std::wstring_view command);

// `ComSpec` + " /c " + command; an unset ComSpec leaves the line starting with " /c ".
std::wstring ChildCommandLine(std::wstring_view comSpec, std::wstring_view command);

// The main window's caption for a console folder: a drive root whole, otherwise
// its last component, then " - Tarvo" and, in admin mode, " Admin mode".
std::wstring FolderTitle(std::wstring_view currentFolder, bool adminMode);

// True when the executable's file name without folder and extension is
// "Tarvo2Admin", ignoring case.
bool IsAdminExecutable(std::wstring_view exePath);

// The program's command line with every double quote removed; non-empty means a start folder.
std::wstring StartFolderFromArguments(std::wstring_view arguments);

}  // namespace tarvo
