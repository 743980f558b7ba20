// Shortcuts of the installed product: real shell link files (.lnk) written
// through the shell's link object, with the install folder as working folder.
#pragma once

#include "afx.h"

/// Where CreateShortcut puts a link.
enum ShortcutKind {
  ShortcutDesktop = 0,   // the common desktop
  ShortcutPrograms = 2,  // the common Programs menu, folder companyName\productName
};

/// Creates the link `name`.lnk to `target` in the folder of `kind` and, on
/// success, appends its CreateShortCut record. False, with nothing logged,
/// when COM, the folder, the link object or the file fails, or when the link's
/// path would not fit 260 characters. The Programs menu folder is created
/// (with its CreateDirectory records) as needed.
BOOL CreateShortcut(LPCWSTR name, LPCWSTR target, int kind);
