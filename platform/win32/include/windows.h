// The Win32 surface that the system's programs include, as on Windows.
#pragma once

#include "win32/types.h"
#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/codepage.h"
