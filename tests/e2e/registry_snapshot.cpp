#include "registry_snapshot.h"

#include "common/handles.h"

namespace tarvo::e2e {

namespace {

unique_hkey OpenKey(const std::wstring& subkey, bool create) {
    HKEY key = nullptr;
    const LSTATUS status =
        create ? ::RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                   nullptr)
               : ::RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_ALL_ACCESS, &key);
    return status == ERROR_SUCCESS ? unique_hkey(key) : unique_hkey();
}

// Replaces everything under `to` by a copy of what is under `from`.
void CopyTree(const std::wstring& from, const std::wstring& to) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, to.c_str());
    const unique_hkey source = OpenKey(from, false);
    const unique_hkey target = OpenKey(to, true);
    if (source && target) ::RegCopyTreeW(source.get(), nullptr, target.get());
}

}  // namespace

RegistrySnapshot::RegistrySnapshot(std::wstring subkey) : subkey_(std::move(subkey)) {
    existed_ = static_cast<bool>(OpenKey(subkey_, false));
    if (existed_) CopyTree(subkey_, backup_);
}

void RegistrySnapshot::Clear() const {
    if (const unique_hkey key = OpenKey(subkey_, false)) ::RegDeleteTreeW(key.get(), nullptr);
}

void RegistrySnapshot::Restore() const {
    if (existed_) {
        CopyTree(backup_, subkey_);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, backup_.c_str());
    } else {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, subkey_.c_str());
    }
}

bool RegistrySnapshot::ReadNumber(const wchar_t* name, std::int32_t& value) const {
    DWORD size = sizeof(value);
    return ::RegGetValueW(HKEY_CURRENT_USER, subkey_.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

}  // namespace tarvo::e2e
