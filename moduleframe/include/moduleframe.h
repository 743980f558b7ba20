// The module frame: the load protocol that every module of the product
// shares (MWCommonModule, MWLoadLibrary, and extension modules built the same
// way). It is compiled into each module, so each has its own frame state:
//
// - process attach keeps the module instance handle, initialises the class
//   library's extension-module record once (and on success puts the module on
//   its resource chain with a CDynLinkLibrary), then calls InitKxUiDLL;
//   process detach ends the record if it was initialised;
// - odrxCreateModuleObject makes the one module object,
//   OdRxWin32Module<Arx2DrxModule, Arx2DrxModule>, which forwards the host's
//   start and stop to the module's own entry function, kxrxEntryPoint (or the
//   older acrxEntryPoint), as messages 1 and 2;
// - odrxGetAPIVersion reports the SDK version the module was built for, 3.5.0.0.
//
// The module itself defines its entry function (KXRX_EXPORT int
// kxrxEntryPoint(int message, void* packet)).
#pragma once

#include "OdTypes.h"
#include "afxdll.h"
#include "kxdefs.h"
#include "win32/types.h"

class OdRxModule;
class Arx2DrxModule;

/// A function of the module's export table.
#define KXRX_EXPORT extern "C" __attribute__((visibility("default")))
/// The frame's own names: each module keeps its own, never shared through
/// the process's symbol tables (template statics and inline variables would
/// otherwise be made one for the whole process).
#define KXRX_FRAME_INTERNAL __attribute__((visibility("hidden")))

namespace moduleframe {

/// The module instance handle kept at process attach; null before.
KXRX_FRAME_INTERNAL HINSTANCE moduleInstance();
/// The class library's extension-module record of this module.
KXRX_FRAME_INTERNAL AFX_EXTENSION_MODULE& extensionModule();
/// The module object; null until odrxCreateModuleObject makes it and after
/// it deletes itself.
KXRX_FRAME_INTERNAL Arx2DrxModule* moduleObject();
/// Called by the module object as it deletes itself.
KXRX_FRAME_INTERNAL void forgetModuleObject(const Arx2DrxModule* object);

/// The version odrxGetAPIVersion reports: the DWG SDK 3.05.
constexpr OdInt32 kApiMajor = 3;
constexpr OdInt32 kApiMinor = 5;
constexpr OdInt32 kApiBuild = 0;
constexpr OdInt32 kApiRevision = 0;

}  // namespace moduleframe

KXRX_EXPORT BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
/// The module object. `instance` points to a variable holding the module
/// instance handle: the first call takes the handle and sets the variable to
/// null; later calls return the same object and leave the variable as it is.
/// Null when the object cannot be allocated.
KXRX_EXPORT OdRxModule* odrxCreateModuleObject(HINSTANCE* instance);
/// Writes 3, 5, 0, 0 and returns 0.
KXRX_EXPORT int odrxGetAPIVersion(OdInt32* major, OdInt32* minor, OdInt32* build, OdInt32* revision);
