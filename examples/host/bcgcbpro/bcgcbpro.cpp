// Stand-in for the UI component pack BCGControlBar Pro (BCGCBPRO2510u100.dll).
// The product calls none of its functions; it only loads and releases it. Like
// the pack, it is an extension DLL of the class library: while loaded, it is
// on the library's resource chain.
#include "afxdll.h"

namespace {
AFX_EXTENSION_MODULE g_pack;
}

extern "C" BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (AfxInitExtensionModule(g_pack, instance)) new CDynLinkLibrary(g_pack);
  } else if (reason == DLL_PROCESS_DETACH) {
    AfxTermExtensionModule(g_pack);
  }
  return TRUE;
}

/// The pack's version, 25.1.0 (2510): what a caller can ask to tell it is there.
extern "C" int BCGCBProGetVersion() { return 2510; }
