// The class library, as the system's code includes it: the Win32 surface and
// the library's own classes.
#pragma once

#include "afxstr.h"
#include "windows.h"
