// The host's user-interface library.
#pragma once

#include "win32/types.h"

/// Makes the host's user-interface library ready for a module: on the first
/// call it loads the host's resource library "koraxkwlres" and keeps it for
/// the process; later calls do nothing more. TRUE when the resources are
/// there.
BOOL InitKxUiDLL();
/// The host's resource library, or null when it was not found.
HINSTANCE kxuiResourceHandle();
