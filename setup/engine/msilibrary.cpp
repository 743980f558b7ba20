#include "msilibrary.h"

#include <mutex>

#include "win32/module.h"

namespace {

// The runners work on the install thread in the wizard and on the main thread
// in the quiet flows, and ExitInstance frees the library on the main thread:
// one lock keeps the handle and the entry points together.
std::mutex g_lock;
HMODULE g_library = nullptr;
MsiEntryPoints g_entryPoints;

template <class Function>
Function lookUp(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(GetProcAddress(library, name));
}

}  // namespace

bool LoadMsiLibrary() {
  std::lock_guard lock(g_lock);
  if (!g_library) g_library = LoadLibraryW(u"msi.dll");
  if (!g_library) return false;
  MsiEntryPoints found;
  found.setInternalUI = lookUp<PFN_MsiSetInternalUI>(g_library, "MsiSetInternalUI");
  found.setExternalUI = lookUp<PFN_MsiSetExternalUIW>(g_library, "MsiSetExternalUIW");
  found.installProduct = lookUp<PFN_MsiInstallProductW>(g_library, "MsiInstallProductW");
  if (!found.setInternalUI || !found.setExternalUI || !found.installProduct) found = MsiEntryPoints{};
  g_entryPoints = found;
  return found.installProduct != nullptr;
}

MsiEntryPoints GetMsiEntryPoints() {
  std::lock_guard lock(g_lock);
  return g_entryPoints;
}

void FreeMsiLibrary() {
  std::lock_guard lock(g_lock);
  if (g_library) FreeLibrary(g_library);
  g_library = nullptr;
  g_entryPoints = MsiEntryPoints{};
}
