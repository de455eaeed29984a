#pragma once
// Keeps the values of one registry key as they were, so that a test can let the
// real program write its settings there and still leave the key as it found it.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::e2e {

struct RegistryEntry {
    std::wstring name;
    DWORD type = 0;
    std::vector<std::uint8_t> data;
};

class RegistrySnapshot {
public:
    // Records the key's values (and whether the key existed at all).
    RegistrySnapshot(HKEY root, std::wstring subkey);
    RegistrySnapshot(const RegistrySnapshot&) = delete;
    RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;
    ~RegistrySnapshot() { Restore(); }

    // Removes every value, leaving the key itself in place when it existed.
    void ClearValues() const;
    // Puts back exactly the recorded values; removes the key when it did not exist.
    void Restore() const;

    bool ReadNumber(const wchar_t* name, std::int32_t& value) const;

private:
    std::vector<RegistryEntry> ReadAll() const;

    HKEY root_;
    std::wstring subkey_;
    bool existed_ = false;
    std::vector<RegistryEntry> saved_;
};

}  // namespace tarvo::e2e
