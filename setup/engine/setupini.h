// The configuration beside the setup program: Setup.ini in the package folder
// (or, for a maintenance run, the install folder, where the install procedure
// copies it).
//
// Sections and keys:
//   [SETUP]  COMPANYNAME, VERSION, WOW64 (1: the 64-bit product), PATH (the
//            install folder of the 64-bit product), CLASSIC (read by the
//            maintenance page)
//   [x64]    SETUP_DEST: install folder of the 32-bit product on 64-bit Windows
//   [x86]    SETUP_DEST: install folder of the 32-bit product on 32-bit Windows
//   [RES]    LANGUAGE (zh_CN, zh_TW, fr_FR, ja_JP, an edition name ...), NetTest
//
// Strings are read into 260-character buffers: a longer value is cut to 259
// characters by the profile call, as the program has always read it. A setup
// folder whose Setup.ini path does not fit 260 characters counts as having no
// Setup.ini.
#pragma once

#include "afx.h"

/// The folder of the running setup program: its module file name up to (not
/// including) the last backslash. Empty when the module path does not fit a
/// 260-character buffer or has no backslash.
CString GetSetupFolder();

/// Reads Setup.ini beside the program into the setup state (productName,
/// companyName, version, package64, installDir, language, languageKey, lcid,
/// netTest). False, with nothing changed, when the file is missing. Needs
/// os64 set.
bool ReadSetupIni();

/// The locale identifier text for a lower-case LANGUAGE value: "2052",
/// "1028", "1036", "1041", else "1033".
CString LcidForLanguageKey(const CString& languageKey);
