#include "registry_snapshot.h"

#include "common/handles.h"

namespace tarvo::e2e {

namespace {

unique_hkey OpenKey(HKEY root, const std::wstring& subkey, bool create) {
    HKEY key = nullptr;
    const LSTATUS status =
        create ? ::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
               : ::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key);
    return status == ERROR_SUCCESS ? unique_hkey(key) : unique_hkey();
}

// Replaces everything under `to` by a copy of what is under `from`.
void CopyTree(HKEY root, const std::wstring& from, const std::wstring& to) {
    ::RegDeleteTreeW(root, to.c_str());
    const unique_hkey source = OpenKey(root, from, false);
    const unique_hkey target = OpenKey(root, to, true);
    if (source && target) ::RegCopyTreeW(source.get(), nullptr, target.get());
}

}  // namespace

RegistrySnapshot::RegistrySnapshot(HKEY root, std::wstring subkey) : root_(root), subkey_(std::move(subkey)) {
    existed_ = static_cast<bool>(OpenKey(root_, subkey_, false));
    if (existed_) CopyTree(root_, subkey_, backup_);
}

void RegistrySnapshot::ClearValues() const {
    const unique_hkey key = OpenKey(root_, subkey_, false);
    if (!key) return;
    wchar_t name[16384];
    DWORD length = 16384;
    while (::RegEnumValueW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           ::RegDeleteValueW(key.get(), name) == ERROR_SUCCESS) {
        length = 16384;
    }
}

void RegistrySnapshot::Restore() const {
    if (existed_) {
        CopyTree(root_, backup_, subkey_);
        ::RegDeleteTreeW(root_, backup_.c_str());
    } else {
        ::RegDeleteTreeW(root_, subkey_.c_str());
    }
}

}  // namespace tarvo::e2e
