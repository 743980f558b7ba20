// The Win32 surface that the system's programs include, as on Windows.
// Shell, tool-help and C runtime calls have their own headers, as there:
// shlobj.h, shlwapi.h, shellapi.h, tlhelp32.h, win32/crt.h.
#pragma once

#include "win32/types.h"
#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/codepage.h"
#include "win32/sysinfo.h"
#include "win32/security.h"
#include "win32/process.h"
#include "win32/synch.h"
#include "win32/files.h"
#include "win32/profile.h"
#include "win32/registry.h"
#include "win32/module.h"
#include "win32/msgbox.h"
#include "win32/gdi.h"
#include "win32/user.h"
#include "win32/com.h"
