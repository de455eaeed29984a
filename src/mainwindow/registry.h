#pragma once
// Registry: the registry module.
// A typed wrapper around the registry calls. Every operation opens and closes
// its key, answers success or failure, and on failure overwrites the
// module's last-error text (success never clears it; the program never shows it).
#include <windows.h>

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "mainwindow/registry_rules.h"

namespace tarvo {

// Texts for types 1, 2 and 7; 32-bit integers for 4 and 5; bytes for the rest.
// Writing also accepts a 16-bit integer for types 4 and 5.
using RegistryValue = std::variant<std::monostate, std::wstring, std::int16_t, std::int32_t, std::vector<std::uint8_t>>;

namespace Registry {

bool KeyExists(HKEY root, const std::wstring& subkey);
// Creates the key when missing; never fails for an existing one.
bool CreateKey(HKEY root, const std::wstring& subkey);
// Fails when the stored type is not the requested one.
bool GetValue(HKEY root, const std::wstring& subkey, const std::wstring& name, std::uint32_t type,
              RegistryValue& value);
// Writes into an existing key; may change type (texts pick 1 or 2, integers are stored as 4).
bool SetValue(HKEY root, const std::wstring& subkey, const std::wstring& name, std::uint32_t& type,
              const RegistryValue& value);

const std::wstring& LastErrorText();

}  // namespace Registry

}  // namespace tarvo
