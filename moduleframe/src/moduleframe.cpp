// The frame's module-wide state and the three entry functions it exports.
#include "moduleframe.h"

#include "Arx2DrxModule.h"
#include "OdRxWin32Module.h"
#include "kxui.h"

namespace {

using FrameModule = OdRxWin32Module<Arx2DrxModule, Arx2DrxModule>;

struct FrameState {
  HINSTANCE instance = nullptr;
  AFX_EXTENSION_MODULE extension;
  Arx2DrxModule* moduleObject = nullptr;
};

FrameState g_frame;

}  // namespace

namespace moduleframe {

HINSTANCE moduleInstance() { return g_frame.instance; }
AFX_EXTENSION_MODULE& extensionModule() { return g_frame.extension; }
Arx2DrxModule* moduleObject() { return g_frame.moduleObject; }

void forgetModuleObject(const Arx2DrxModule* object) {
  if (g_frame.moduleObject == object) g_frame.moduleObject = nullptr;
}

}  // namespace moduleframe

BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_frame.instance = instance;
    if (!g_frame.extension.bInitialized && AfxInitExtensionModule(g_frame.extension, instance)) {
      // The record owns it: AfxTermExtensionModule deletes it at detach.
      new CDynLinkLibrary(g_frame.extension);
    }
    // The host's user interface is made ready whether or not the class
    // library took the module.
    InitKxUiDLL();
  } else if (reason == DLL_PROCESS_DETACH) {
    if (g_frame.extension.bInitialized) AfxTermExtensionModule(g_frame.extension);
  }
  return TRUE;
}

OdRxModule* odrxCreateModuleObject(HINSTANCE* instance) {
  if (g_frame.moduleObject) return g_frame.moduleObject;
  g_frame.moduleObject = new FrameModule(instance ? *instance : nullptr);
  if (instance) *instance = nullptr;
  return g_frame.moduleObject;
}

int odrxGetAPIVersion(OdInt32* major, OdInt32* minor, OdInt32* build, OdInt32* revision) {
  if (major) *major = moduleframe::kApiMajor;
  if (minor) *minor = moduleframe::kApiMinor;
  if (build) *build = moduleframe::kApiBuild;
  if (revision) *revision = moduleframe::kApiRevision;
  return 0;
}
