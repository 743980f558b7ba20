// A shared module that carries its own resources (winsim_program_resources)
// and reads one of them while it attaches, as a module's DllMain may.
#include <string>

#include "resourcetest.h"
#include "win32/module.h"

namespace {
std::u16string g_attachText;
}  // namespace

extern "C" {

BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    WCHAR text[64] = {};
    LoadStringW(instance, IDS_TEST_MODULE_NAME, text, 64);
    g_attachText = text;
  }
  return TRUE;
}

const char16_t* resourceModuleAttachText() { return g_attachText.c_str(); }
}
