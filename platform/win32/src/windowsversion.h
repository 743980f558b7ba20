// The Windows version that the machine's profile gives ([system] version=6.1,
// build=7601), read by the version queries and by the token (which knows no
// elevation before 6.0).
#pragma once

#include "win32/types.h"
#include "winsim/machine.h"

namespace winsim {

struct WindowsVersion {
  DWORD major = 6;
  DWORD minor = 1;
  DWORD build = 7601;
};

/// The machine's version; a missing or malformed profile value counts as the
/// default, 6.1 build 7601.
WindowsVersion windowsVersion(const Machine* machine);

}  // namespace winsim
