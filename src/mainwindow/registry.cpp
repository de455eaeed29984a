#include "mainwindow/registry.h"

#include "common/handles.h"
#include "common/win_api_error.h"

namespace tarvo::Registry {

namespace {

std::wstring& ErrorText() {
    static std::wstring text;
    return text;
}

bool Fail(std::wstring text) {
    ErrorText() = std::move(text);
    return false;
}

bool FailCode(LSTATUS code) { return Fail(ApiErrorText(static_cast<std::uint32_t>(code))); }

LSTATUS OpenKey(HKEY root, const std::wstring& subkey, REGSAM access, unique_hkey& key) {
    return ::RegOpenKeyExW(root, subkey.c_str(), 0, access, key.put());
}

bool ReadText(HKEY key, const std::wstring& name, DWORD size, RegistryValue& value) {
    std::vector<wchar_t> buffer(size, L'\0');
    DWORD read = size;
    const LSTATUS status =
        ::RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &read);
    if (status != ERROR_SUCCESS) return FailCode(status);
    value = TextFromStoredUnits(buffer, read);
    return true;
}

bool ReadDword(HKEY key, const std::wstring& name, bool swap, RegistryValue& value) {
    std::int32_t number = 0;
    DWORD size = sizeof(number);
    const LSTATUS status =
        ::RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size);
    if (status != ERROR_SUCCESS) return FailCode(status);
    value = swap ? SwapDwordBytes(number) : number;
    return true;
}

bool ReadBytes(HKEY key, const std::wstring& name, DWORD size, RegistryValue& value) {
    std::vector<std::uint8_t> bytes(static_cast<size_t>(size) + 1, 0);
    DWORD read = size;
    const LSTATUS status = ::RegQueryValueExW(key, name.c_str(), nullptr, nullptr, bytes.data(), &read);
    if (status != ERROR_SUCCESS) return FailCode(status);
    value = std::move(bytes);
    return true;
}

std::wstring AsText(const RegistryValue& value) {
    if (auto text = std::get_if<std::wstring>(&value)) return *text;
    if (auto n = std::get_if<std::int16_t>(&value)) return std::to_wstring(*n);
    if (auto n = std::get_if<std::int32_t>(&value)) return std::to_wstring(*n);
    if (auto bytes = std::get_if<std::vector<std::uint8_t>>(&value)) {
        std::wstring text;
        for (size_t i = 0; i + 1 < bytes->size(); i += 2) {
            text.push_back(static_cast<wchar_t>((*bytes)[i] | ((*bytes)[i + 1] << 8)));
        }
        return text;
    }
    return {};
}

LSTATUS Write(HKEY key, const std::wstring& name, DWORD type, const void* data, DWORD size) {
    return ::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

}  // namespace

const std::wstring& LastErrorText() { return ErrorText(); }

bool KeyExists(HKEY root, const std::wstring& subkey) {
    unique_hkey key;
    const LSTATUS status = OpenKey(root, subkey, KEY_QUERY_VALUE, key);
    return status == ERROR_SUCCESS ? true : FailCode(status);
}

bool CreateKey(HKEY root, const std::wstring& subkey) {
    unique_hkey key;
    const LSTATUS status = ::RegCreateKeyW(root, subkey.c_str(), key.put());
    return status == ERROR_SUCCESS ? true : FailCode(status);
}

bool GetValue(HKEY root, const std::wstring& subkey, const std::wstring& name, std::uint32_t type,
              RegistryValue& value) {
    unique_hkey key;
    LSTATUS status = OpenKey(root, subkey, KEY_QUERY_VALUE, key);
    if (status != ERROR_SUCCESS) return FailCode(status);

    DWORD storedType = 0, size = 0;
    status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &storedType, nullptr, &size);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return FailCode(status);
    if (storedType != type) return Fail(TypeMismatchText(storedType, type));

    switch (type) {
        case kRegSz:
        case kRegExpandSz:
        case kRegMultiSz: return ReadText(key.get(), name, size, value);
        case kRegDword: return ReadDword(key.get(), name, false, value);
        case kRegDwordBigEndian: return ReadDword(key.get(), name, true, value);
        default: return ReadBytes(key.get(), name, size, value);
    }
}

bool SetValue(HKEY root, const std::wstring& subkey, const std::wstring& name, std::uint32_t& type,
              const RegistryValue& value) {
    unique_hkey key;
    LSTATUS status = OpenKey(root, subkey, KEY_SET_VALUE, key);
    if (status != ERROR_SUCCESS) return FailCode(status);

    switch (type) {
        case kRegSz:
        case kRegExpandSz: {
            const std::wstring text = AsText(value);
            type = TextValueType(text);
            // The system adds a terminator it thinks was forgotten when the unit after the counted
            // data is zero; a guard unit whose low byte is zero keeps the count at 2 x length + 1.
            std::wstring guarded = L'\0' + text + wchar_t{0xFF00};
            status = Write(key.get(), name, type, guarded.c_str() + 1, TextByteCount(text));
            break;
        }
        case kRegBinary: {
            auto bytes = std::get_if<std::vector<std::uint8_t>>(&value);
            if (!bytes) return Fail(L"The value type is not consistent.");
            status = Write(key.get(), name, kRegBinary, bytes->data(), static_cast<DWORD>(bytes->size()));
            break;
        }
        case kRegDword:
        case kRegDwordBigEndian: {
            std::int32_t number = 0;
            if (auto n16 = std::get_if<std::int16_t>(&value)) {
                number = *n16;
            } else if (auto n32 = std::get_if<std::int32_t>(&value)) {
                number = *n32;
            } else {
                return Fail(L"The value type is not consistent.");
            }
            type = kRegDword;
            const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(number & 0xFF),
                                           static_cast<std::uint8_t>((number >> 8) & 0xFF),
                                           static_cast<std::uint8_t>((number >> 16) & 0xFF),
                                           static_cast<std::uint8_t>((number >> 24) & 0xFF)};
            status = Write(key.get(), name, kRegDword, bytes, sizeof(bytes));
            break;
        }
        default: return Fail(L"The value type is not compatible with the available registry types.");
    }
    return status == ERROR_SUCCESS ? true : FailCode(status);
}

}  // namespace tarvo::Registry
