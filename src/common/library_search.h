#pragma once
// Where libraries loaded by bare name may come from. The console changes the
// process's current folder to wherever the user goes, so a library loaded by
// name after start-up must never be looked for there.
namespace tarvo {

// Limits the search to the program's own folder and the system folder and
// takes the current folder out of the older search order too. Called first
// thing at start-up; answers whether both steps took effect.
bool RestrictLibrarySearch() noexcept;

}  // namespace tarvo
