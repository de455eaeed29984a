#pragma once
// Keeps one registry key as it was, so that a test can let the
// real program write its settings there and still leave the key as it found it.
#include <windows.h>

#include <string>

namespace tarvo::e2e {

class RegistrySnapshot {
public:
    // Copies the key, when it exists, to a backup key under the same root.
    RegistrySnapshot(HKEY root, std::wstring subkey);
    RegistrySnapshot(const RegistrySnapshot&) = delete;
    RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;
    // Puts back exactly what was recorded; removes the key when it did not exist.
    ~RegistrySnapshot();
    // Removes every value, leaving the key and its subkeys in place.
    void ClearValues() const;

private:
    HKEY root_;
    std::wstring subkey_;
    const wchar_t* backup_ = L"Software\\TarvoTest\\RegistrySnapshot";
    bool existed_ = false;
};

}  // namespace tarvo::e2e
