#pragma once
// A program folder in the temporary folder for the start-up tests, removed afterwards.
#include <windows.h>

#include <string>

namespace tarvo::testing_support {

class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // The program's logo, copied from beside the test as "tarvo2logo.png".
    void CopyLogo() const;
    void CreateFolder(const std::wstring& relativePath) const;
    void WriteFile(const std::wstring& relativePath, const std::string& bytes) const;

private:
    std::wstring path_;
};

// The folder of the running test executable.
std::wstring ExeFolder();

}  // namespace tarvo::testing_support
