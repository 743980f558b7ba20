// The product key: the choices of this installation (folder, language,
// counts) for the product and its tools, which read it after the setup
// program has ended. The setup program never reads it back.
#pragma once

/// HKEY_LOCAL_MACHINE\SOFTWARE\Halvorn\DWG Merrowin\DWG Merrowin_Setup\ with
/// the values path, language, NUM, LicLang, NetTest and RegLang, in that
/// order. Shows text 2003 in the framework's box when the key can be neither
/// opened nor created. No action-log record is written for it.
void WriteProductKey();
