// Reading back what the engine wrote into the registry, in the 32-bit view
// (the setup program's own), with the value's type and byte count.
#pragma once

#include <optional>
#include <string>

#include "afx.h"

namespace enginetest {

struct RegistryValue {
  DWORD type = 0;
  std::u16string text;  // REG_SZ, without the terminator
  DWORD number = 0;     // REG_DWORD
  DWORD bytes = 0;
};

inline std::optional<RegistryValue> readValue(const char16_t* keyPath, const char16_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
    return std::nullopt;
  BYTE data[4096] = {};
  DWORD size = sizeof data;
  RegistryValue value;
  const LSTATUS status = RegQueryValueExW(key, name, nullptr, &value.type, data, &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  value.bytes = size;
  if (value.type == REG_SZ) {
    value.text.assign(reinterpret_cast<const char16_t*>(data), size / 2);
    if (!value.text.empty() && value.text.back() == 0) value.text.pop_back();
  } else if (value.type == REG_DWORD && size == 4) {
    value.number = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<DWORD>(data[3]) << 24);
  }
  return value;
}

/// A REG_SZ with its terminator.
inline void expectString(const char16_t* keyPath, const char16_t* name, const std::u16string& expected) {
  const auto value = readValue(keyPath, name);
  ASSERT_TRUE(value) << "missing value";
  EXPECT_EQ(value->type, REG_SZ);
  EXPECT_EQ(value->text, expected);
  EXPECT_EQ(value->bytes, (expected.size() + 1) * 2);
}

inline void expectNumber(const char16_t* keyPath, const char16_t* name, DWORD expected) {
  const auto value = readValue(keyPath, name);
  ASSERT_TRUE(value) << "missing value";
  EXPECT_EQ(value->type, REG_DWORD);
  EXPECT_EQ(value->number, expected);
}

/// The names of a key's values in the order they were first written.
inline std::vector<std::u16string> valueNames(const char16_t* keyPath) {
  std::vector<std::u16string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return names;
  for (DWORD index = 0;; ++index) {
    WCHAR name[256];
    DWORD length = 256;
    if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  return names;
}

}  // namespace enginetest
