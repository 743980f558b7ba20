// CHvInfoIni: string values of the registry, written, read and deleted.
#include <algorithm>
#include <memory>
#include <new>

#include "HvInfoIni.h"
#include "settings/registrykey.h"
#include "win32/errors.h"

namespace {

using mwcommon::RegistryKey;

std::size_t textLength(const WCHAR* text) {
  std::size_t length = 0;
  if (text)
    while (text[length]) ++length;
  return length;
}

// The characters written, the NUL included, or 0.
int writeString(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, const WCHAR* value) {
  RegistryKey key;
  if (!key.create(root, keyPath, CHvInfoIni::kMaxKeyPath)) return 0;
  const WCHAR* text = value ? value : u"";
  const std::size_t length = textLength(text);
  const DWORD bytes = static_cast<DWORD>((length + 1) * sizeof(WCHAR));
  if (RegSetValueExW(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) != ERROR_SUCCESS)
    return 0;
  return static_cast<int>(length + 1);
}

enum class Read { Done, NoKey, NoValue };

Read readString(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, CString& output) {
  RegistryKey key;
  if (!key.open(root, keyPath, KEY_READ, CHvInfoIni::kMaxKeyPath)) return Read::NoKey;
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), valueName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return Read::NoValue;
  // Room for the value and a NUL of our own: data need not end with one.
  const std::size_t characters = bytes / sizeof(WCHAR) + 1;
  std::unique_ptr<WCHAR[]> text(new (std::nothrow) WCHAR[characters]());
  if (!text) return Read::NoValue;
  DWORD read = bytes;
  if (RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(text.get()), &read) !=
      ERROR_SUCCESS)
    return Read::NoValue;
  text[std::min<std::size_t>(read / sizeof(WCHAR), characters - 1)] = 0;
  output = text.get();
  return Read::Done;
}

}  // namespace

CHvInfoIni& CHvInfoIni::operator=(const CHvInfoIni&) { return *this; }

int CHvInfoIni::WriteInformation(const WCHAR* keyPath, const WCHAR* valueName, const WCHAR* value, int) {
  return writeString(HKEY_LOCAL_MACHINE, keyPath, valueName, value);
}

int CHvInfoIni::GetInformation(const WCHAR* keyPath, const WCHAR* valueName, const WCHAR* defaultText, CString& output,
                               int) {
  if (GetRegisterString(HKEY_LOCAL_MACHINE, keyPath, valueName, defaultText, output) < 0) {
    output = defaultText;
    return -1;
  }
  return output.GetLength() + 1;
}

int CHvInfoIni::DelSecInformation(const WCHAR* keyPath, const WCHAR* subKey, int) {
  RegistryKey key;
  if (!key.open(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS, kMaxKeyPath)) return -1;
  RegDeleteKeyW(key.get(), subKey);
  return 1;
}

int CHvInfoIni::DelKeyInformation(const WCHAR* keyPath, const WCHAR* valueName, int) {
  RegistryKey key;
  if (!key.open(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS, kMaxKeyPath)) return -1;
  RegDeleteValueW(key.get(), valueName);
  return 1;
}

int CHvInfoIni::GetRegisterString(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, const WCHAR* defaultText,
                                  CString& output) {
  switch (readString(root, keyPath, valueName, output)) {
    case Read::Done:
      return output.GetLength() + 1;
    case Read::NoKey:
      output = defaultText;
      return -1;
    case Read::NoValue:
      output = defaultText;
      return -2;
  }
  return -2;
}

int CHvInfoIni::WriteRegisterString(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, const WCHAR* value) {
  return writeString(root, keyPath, valueName, value);
}
