// Shared objects of the host (ELF), loaded with the host's dynamic loader.
// Host-specific: this pair of files is all of the loader that touches
// <dlfcn.h>.
#pragma once

#include <filesystem>
#include <span>

#include "winsim/expected.h"

namespace winsim::modules {

bool looksLikeElf(std::span<const std::uint8_t> head);

/// An open shared object; move-only, closed when destroyed.
class SharedObject {
 public:
  /// Loads a shared object with every symbol bound now (RTLD_NOW) and kept
  /// out of the global scope (RTLD_LOCAL), so two modules never see each
  /// other's exports by accident. A missing library it needs gives
  /// ERROR_MOD_NOT_FOUND, a missing symbol ERROR_PROC_NOT_FOUND, anything
  /// else ERROR_BAD_EXE_FORMAT.
  static Expected<SharedObject> open(const std::filesystem::path& path);
  /// The program itself.
  static SharedObject program();

  SharedObject(SharedObject&& other) noexcept;
  SharedObject& operator=(SharedObject&& other) noexcept;
  SharedObject(const SharedObject&) = delete;
  SharedObject& operator=(const SharedObject&) = delete;
  ~SharedObject();

  /// A symbol defined by this object itself; null for one it does not
  /// define, even when a library it links defines it (Windows looks only at
  /// a module's own exports).
  void* symbol(const char* name) const;
  /// Two handles of one loaded object compare equal.
  bool sameObject(const SharedObject& other) const { return m_handle == other.m_handle; }

 private:
  SharedObject(void* handle, void* map, bool owned) : m_handle(handle), m_map(map), m_owned(owned) {}
  void reset();

  void* m_handle = nullptr;
  void* m_map = nullptr;  // the object's link_map
  bool m_owned = true;
};

}  // namespace winsim::modules
