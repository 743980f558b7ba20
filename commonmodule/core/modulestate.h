// The module-wide state of MWCommonModule beside the frame's (instance
// handle, extension-module record and module object, see moduleframe.h):
// the handles of its two resource libraries.
#pragma once

#include "win32/types.h"

namespace mwcommon {

struct ModuleState {
  /// expressres.dll, the module's message texts: null until LoadExpressRes
  /// loads it, then kept for the life of the process.
  HINSTANCE expressResources = nullptr;
  /// The host's resource library koraxkwlres, loaded when the module's
  /// statics are made; nothing in the module reads it and it is never freed.
  HINSTANCE hostResources = nullptr;
};

ModuleState& moduleState();

}  // namespace mwcommon

/// Loads expressres.dll once: from the folder of the host's express module
/// ("express.krx") when it is loaded, else from the host program's folder.
/// A failed load prints "Error: Cannot load expressres.dll!\n" on the command
/// line, and the next call tries again. Returns 1 in every case.
int LoadExpressRes();
