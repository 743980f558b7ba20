// Closing kernel handles.
#pragma once

#include "win32/types.h"

BOOL CloseHandle(HANDLE hObject);
