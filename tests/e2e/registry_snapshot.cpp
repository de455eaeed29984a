#include "registry_snapshot.h"

#include "common/handles.h"

namespace tarvo::e2e {

namespace {

unique_hkey OpenKey(HKEY root, const std::wstring& subkey, bool create) {
    unique_hkey key;
    if (create) ::RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    else ::RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ALL_ACCESS, key.put());
    return key;
}

// Replaces everything under `to` by a copy of what is under `from`.
void CopyTree(HKEY root, const std::wstring& from, const std::wstring& to) {
    ::RegDeleteTreeW(root, to.c_str());
    const unique_hkey source = OpenKey(root, from, false), target = OpenKey(root, to, true);
    if (source && target) ::RegCopyTreeW(source.get(), nullptr, target.get());
}

}  // namespace

RegistrySnapshot::RegistrySnapshot(HKEY root, std::wstring subkey) : root_(root), subkey_(std::move(subkey)) {
    existed_ = static_cast<bool>(OpenKey(root_, subkey_, false));
    if (existed_) CopyTree(root_, subkey_, backup_);
}

RegistrySnapshot::~RegistrySnapshot() {
    if (existed_) CopyTree(root_, backup_, subkey_);
    ::RegDeleteTreeW(root_, existed_ ? backup_ : subkey_.c_str());
}

void RegistrySnapshot::ClearValues() const {
    const unique_hkey key = OpenKey(root_, subkey_, false);
    wchar_t name[16384];
    for (DWORD length = 16384; key && ::RegEnumValueW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                                          ERROR_SUCCESS && ::RegDeleteValueW(key.get(), name) == ERROR_SUCCESS;) {
        length = 16384;
    }
}

}  // namespace tarvo::e2e
