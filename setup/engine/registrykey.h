// The registry writes of the product key and the uninstall entry.
//
// Both keys lie under HKEY_LOCAL_MACHINE, in the program's own view (32-bit
// on 64-bit Windows). A key is opened with full access, else created; string
// values are REG_SZ with their terminator ((length + 1) x 2 bytes).
#pragma once

#include "afx.h"

/// Opens `keyPath` under HKEY_LOCAL_MACHINE with KEY_ALL_ACCESS, else creates
/// it (no class, non-volatile, KEY_READ | KEY_WRITE). Null when both fail.
HKEY OpenOrCreateMachineKey(LPCWSTR keyPath);

/// Writes a REG_SZ value with its terminator; the result is not examined by
/// the callers.
LSTATUS SetStringValue(HKEY key, LPCWSTR name, const CString& value);
LSTATUS SetDwordValue(HKEY key, LPCWSTR name, DWORD value);
