// An open registry key of CHvInfoIni, closed when it goes. CHvInfoIni works
// in the 64-bit view, the module's own, whatever the calling program is.
#pragma once

#include <cstddef>
#include <utility>

#include "win32/registry.h"

namespace mwcommon {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}
  RegistryKey& operator=(RegistryKey&&) = delete;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { close(); }

  /// Opens `path` under `root` with `access`; false when the path is longer
  /// than `maxPath` characters or the key cannot be opened.
  bool open(HKEY root, const WCHAR* path, REGSAM access, std::size_t maxPath);
  /// Creates or opens `path` under `root` for write.
  bool create(HKEY root, const WCHAR* path, std::size_t maxPath);

  HKEY get() const { return m_key; }
  void close();

 private:
  HKEY m_key = nullptr;
};

/// Whether a NUL-terminated text has at most `maxLength` characters (a null
/// text counts as empty).
bool fitsLength(const WCHAR* text, std::size_t maxLength);

}  // namespace mwcommon
