#include "registry_snapshot.h"

#include "common/handles.h"

namespace tarvo::e2e {

namespace {

unique_hkey OpenKey(HKEY root, const std::wstring& subkey, REGSAM access) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subkey.c_str(), 0, access, &key) != ERROR_SUCCESS) return unique_hkey();
    return unique_hkey(key);
}

}  // namespace

RegistrySnapshot::RegistrySnapshot(HKEY root, std::wstring subkey) : root_(root), subkey_(std::move(subkey)) {
    existed_ = static_cast<bool>(OpenKey(root_, subkey_, KEY_QUERY_VALUE));
    saved_ = ReadAll();
}

std::vector<RegistryEntry> RegistrySnapshot::ReadAll() const {
    std::vector<RegistryEntry> entries;
    const unique_hkey key = OpenKey(root_, subkey_, KEY_QUERY_VALUE);
    if (!key) return entries;
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = 0;
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        RegistryEntry entry{std::wstring(name, nameLength), type, std::vector<std::uint8_t>(size)};
        if (::RegQueryValueExW(key.get(), entry.name.c_str(), nullptr, &type, entry.data.data(), &size) ==
            ERROR_SUCCESS) {
            entry.data.resize(size);
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

void RegistrySnapshot::ClearValues() const {
    const unique_hkey key = OpenKey(root_, subkey_, KEY_SET_VALUE);
    if (!key) return;
    for (const RegistryEntry& entry : ReadAll()) ::RegDeleteValueW(key.get(), entry.name.c_str());
}

void RegistrySnapshot::Restore() const {
    ClearValues();
    if (!existed_) {
        ::RegDeleteKeyW(root_, subkey_.c_str());
        return;
    }
    HKEY created = nullptr;
    if (::RegCreateKeyExW(root_, subkey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    const unique_hkey key(created);
    for (const RegistryEntry& entry : saved_) {
        ::RegSetValueExW(key.get(), entry.name.c_str(), 0, entry.type, entry.data.data(),
                         static_cast<DWORD>(entry.data.size()));
    }
}

bool RegistrySnapshot::ReadNumber(const wchar_t* name, std::int32_t& value) const {
    DWORD type = 0;
    DWORD size = sizeof(value);
    const unique_hkey key = OpenKey(root_, subkey_, KEY_QUERY_VALUE);
    return key && ::RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                      ERROR_SUCCESS &&
           type == REG_DWORD;
}

}  // namespace tarvo::e2e
