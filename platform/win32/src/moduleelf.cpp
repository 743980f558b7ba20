#include "moduleelf.h"

#include <dlfcn.h>
#include <link.h>

#include <string>

#include "win32/errors.h"

namespace winsim::modules {

bool looksLikeElf(std::span<const std::uint8_t> head) {
  return head.size() >= 4 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
}

Expected<SharedObject> SharedObject::open(const std::filesystem::path& path) {
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = ::dlerror();
    const std::string text = reason ? reason : "unknown reason";
    DWORD code = ERROR_BAD_EXE_FORMAT;
    if (text.find("cannot open shared object file") != std::string::npos) code = ERROR_MOD_NOT_FOUND;
    if (text.find("undefined symbol") != std::string::npos) code = ERROR_PROC_NOT_FOUND;
    return makeError(code, "cannot load " + path.string() + ": " + text);
  }
  void* map = nullptr;
  if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) {
    ::dlclose(handle);
    return makeError(ERROR_BAD_EXE_FORMAT, "cannot inspect " + path.string());
  }
  return SharedObject(handle, map, true);
}

SharedObject SharedObject::program() {
  // The program's own handle stays open for the process's lifetime.
  static void* const handle = ::dlopen(nullptr, RTLD_NOW);
  static void* const map = [] {
    void* m = nullptr;
    if (handle) ::dlinfo(handle, RTLD_DI_LINKMAP, &m);
    return m;
  }();
  return SharedObject(handle, map, false);
}

SharedObject::SharedObject(SharedObject&& other) noexcept
    : m_handle(other.m_handle), m_map(other.m_map), m_owned(other.m_owned) {
  other.m_handle = nullptr;
}

SharedObject& SharedObject::operator=(SharedObject&& other) noexcept {
  if (this != &other) {
    reset();
    m_handle = other.m_handle;
    m_map = other.m_map;
    m_owned = other.m_owned;
    other.m_handle = nullptr;
  }
  return *this;
}

SharedObject::~SharedObject() { reset(); }

void SharedObject::reset() {
  if (m_handle && m_owned) ::dlclose(m_handle);
  m_handle = nullptr;
}

void* SharedObject::symbol(const char* name) const {
  if (!m_handle || !m_map) return nullptr;
  void* address = ::dlsym(m_handle, name);
  if (!address) return nullptr;
  // dlsym also searches the libraries the object links; keep only its own.
  Dl_info info{};
  void* owner = nullptr;
  if (::dladdr1(address, &info, &owner, RTLD_DL_LINKMAP) == 0 || owner != m_map) return nullptr;
  return address;
}

}  // namespace winsim::modules
