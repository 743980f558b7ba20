#include "settings/registrykey.h"

#include "win32/errors.h"

namespace mwcommon {

bool fitsLength(const WCHAR* text, std::size_t maxLength) {
  if (!text) return true;
  for (std::size_t length = 0; length <= maxLength; ++length)
    if (!text[length]) return true;
  return false;
}

bool RegistryKey::open(HKEY root, const WCHAR* path, REGSAM access, std::size_t maxPath) {
  close();
  if (!fitsLength(path, maxPath)) return false;
  if (RegOpenKeyExW(root, path, 0, access | KEY_WOW64_64KEY, &m_key) == ERROR_SUCCESS) return true;
  m_key = nullptr;
  return false;
}

bool RegistryKey::create(HKEY root, const WCHAR* path, std::size_t maxPath) {
  close();
  if (!fitsLength(path, maxPath)) return false;
  const LSTATUS made = RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_WOW64_64KEY,
                                       nullptr, &m_key, nullptr);
  if (made == ERROR_SUCCESS) return true;
  m_key = nullptr;
  return false;
}

void RegistryKey::close() {
  if (m_key) RegCloseKey(std::exchange(m_key, nullptr));
}

}  // namespace mwcommon
