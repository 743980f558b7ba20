// CHvInfoIni: listing the subkeys and the values of a registry key.
#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "HvInfoIni.h"
#include "settings/registrykey.h"
#include "win32/errors.h"

namespace {

using mwcommon::RegistryKey;

// The subkey names of an open key in enumeration order; a name that does not
// fit the enumeration's room ends the list.
template <class Visit>
void forEachSubKey(HKEY key, Visit visit) {
  WCHAR name[CHvInfoIni::kMaxEnumName + 1];
  for (DWORD index = 0;; ++index) {
    DWORD length = CHvInfoIni::kMaxEnumName + 1;
    if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
    if (!visit(std::u16string_view(name, length))) return;
  }
}

}  // namespace

int CHvInfoIni::EnumRegSubKey(HKEY root, const WCHAR* keyPath, WCHAR* output, int outputSize) {
  RegistryKey key;
  if (!key.open(root, keyPath, KEY_READ, kMaxKeyPath)) return 0;
  if (!output) {
    int needed = 1;
    forEachSubKey(key.get(), [&](std::u16string_view name) {
      needed += static_cast<int>(name.size()) + 1;
      return true;
    });
    return needed;
  }
  if (outputSize <= 0) return 0;
  output[0] = 0;
  int used = 0;  // characters before the NUL
  int count = 0;
  forEachSubKey(key.get(), [&](std::u16string_view name) {
    // The name, its line feed and the NUL after them must fit whole.
    if (used + static_cast<int>(name.size()) + 2 > outputSize) return false;
    std::copy(name.begin(), name.end(), output + used);
    used += static_cast<int>(name.size());
    output[used++] = u'\n';
    output[used] = 0;
    ++count;
    return true;
  });
  return count;
}

int CHvInfoIni::EnumRegSubKey(HKEY root, const CString& keyPath, CStringArray& names) {
  if (keyPath.GetLength() > kMaxEnumKeyPath) return 0;
  std::unique_ptr<WCHAR[]> list(new (std::nothrow) WCHAR[kSubKeyListSize]);
  if (!list) return 0;
  list[0] = 0;  // stays empty when the key cannot be opened
  const int count = EnumRegSubKey(root, keyPath.GetString(), list.get(), kSubKeyListSize);
  const std::u16string_view text(list.get());
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) end = text.size();
    names.Add(CString(text.data() + start, static_cast<int>(end - start)));
    start = end + 1;
  }
  return count;
}

int CHvInfoIni::EnumRegKeyValue(HKEY root, const CString& keyPath, CStringArray& names, CStringArray& values) {
  RegistryKey key;
  if (!key.open(root, keyPath.GetString(), KEY_READ, kMaxKeyPath)) return 0;
  names.RemoveAll();
  values.RemoveAll();
  WCHAR name[kMaxEnumName + 1];
  // The data as a wide text: room for a NUL after the most bytes taken.
  WCHAR data[kMaxEnumData / sizeof(WCHAR) + 1];
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = kMaxEnumName + 1;
    DWORD bytes = kMaxEnumData;
    DWORD type = 0;
    if (RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) !=
        ERROR_SUCCESS)
      break;
    data[bytes / sizeof(WCHAR)] = 0;
    names.Add(CString(name, static_cast<int>(nameLength)));
    values.Add(CString(data));
  }
  return static_cast<int>(names.GetSize());
}
