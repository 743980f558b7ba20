// A module as the host's .krx modules are: a shared object with DllMain and
// C exports, for the loader's tests.
#include <cstdlib>
#include <string>

#include "win32/module.h"

namespace {
HINSTANCE g_instance = nullptr;
std::u16string g_attachedName;
void (*g_detachObserver)(HINSTANCE, const char16_t*) = nullptr;
}  // namespace

extern "C" {

BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    // A module may refuse to attach; the tests ask for it by environment.
    if (std::getenv("WINSIM_TESTMODULE_REFUSE")) return FALSE;
    g_instance = instance;
    // The loader lets DllMain ask for its own file name.
    WCHAR name[MAX_PATH] = {};
    GetModuleFileNameW(instance, name, MAX_PATH);
    g_attachedName = name;
  } else if (reason == DLL_PROCESS_DETACH) {
    ::setenv("WINSIM_TESTMODULE_DETACHED", "1", 1);
    if (g_detachObserver) {
      WCHAR name[MAX_PATH] = {};
      GetModuleFileNameW(instance, name, MAX_PATH);
      g_detachObserver(instance, name);
    }
  }
  return TRUE;
}

int winsimTestAdd(int a, int b) { return a + b; }

HINSTANCE winsimTestInstance() { return g_instance; }

const char16_t* winsimTestAttachedName() { return g_attachedName.c_str(); }

void winsimTestObserveDetach(void (*observer)(HINSTANCE, const char16_t*)) { g_detachObserver = observer; }
}
