#include "registrykey.h"

HKEY OpenOrCreateMachineKey(LPCWSTR keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) return key;
  key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                      &key, &disposition) == ERROR_SUCCESS)
    return key;
  return nullptr;
}

LSTATUS SetStringValue(HKEY key, LPCWSTR name, const CString& value) {
  const DWORD bytes = static_cast<DWORD>((value.GetLength() + 1) * sizeof(WCHAR));
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()), bytes);
}

LSTATUS SetDwordValue(HKEY key, LPCWSTR name, DWORD value) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}
