// CHvInfoIni: settings kept as string values in the registry. The module is a
// 64-bit program, so it reads and writes the 64-bit view of the registry
// (HKEY_LOCAL_MACHINE\SOFTWARE\X, never WOW6432Node\X).
//
// Key paths are sub-key paths under a root ("SOFTWARE\\Merrowin\\Tools").
// The value members take paths of at most kMaxKeyPath characters and the
// array form of EnumRegSubKey at most kMaxEnumKeyPath; a longer path is
// treated as a key that cannot be opened. Texts read come back whole in a
// CString (a value of any length), so no caller's buffer can be overrun.
#pragma once

#include "MWCommonModuleApi.h"
#include "afxstr.h"
#include "win32/registry.h"

class MWCOMMONMODULE_API CHvInfoIni {
 public:
  /// The room for a key path of the value members (263 characters and the
  /// NUL) and of EnumRegSubKey with an array (255 and the NUL).
  static constexpr int kMaxKeyPath = 263;
  static constexpr int kMaxEnumKeyPath = 255;
  /// The longest subkey name and value name enumerated, and the most bytes of
  /// value data EnumRegKeyValue takes (127 characters and the NUL).
  static constexpr int kMaxEnumName = 255;
  static constexpr int kMaxEnumData = 256;
  /// The room of the subkey list EnumRegSubKey builds for an array.
  static constexpr int kSubKeyListSize = 65536;

  CHvInfoIni() = default;
  CHvInfoIni(const CHvInfoIni&) = default;
  /// Does nothing: the class holds nothing.
  CHvInfoIni& operator=(const CHvInfoIni&);

  // Under HKEY_LOCAL_MACHINE (write, read) and HKEY_CURRENT_USER (delete).
  // The last integer argument is accepted and not used.

  /// Writes string value `valueName` of key `keyPath` (created when missing).
  /// The characters written, the NUL included; 0 on failure.
  static int WriteInformation(const WCHAR* keyPath, const WCHAR* valueName, const WCHAR* value, int unused = 0);
  /// Reads string value `valueName` into `output`: the characters read, the
  /// NUL included; -1 with `defaultText` in `output` when the key or the
  /// value is missing.
  static int GetInformation(const WCHAR* keyPath, const WCHAR* valueName, const WCHAR* defaultText, CString& output,
                            int unused = 0);
  /// Deletes subkey `subKey` (one without subkeys of its own) of key
  /// `keyPath` of HKEY_CURRENT_USER. 1, or -1 when the key cannot be opened.
  static int DelSecInformation(const WCHAR* keyPath, const WCHAR* subKey, int unused = 0);
  /// Deletes value `valueName` of key `keyPath` of HKEY_CURRENT_USER. 1, or
  /// -1 when the key cannot be opened.
  static int DelKeyInformation(const WCHAR* keyPath, const WCHAR* valueName, int unused = 0);

  // Under a root the caller gives.

  /// Reads string value `valueName` into `output`: the characters read, the
  /// NUL included; -1 when the key is missing, -2 when the value is (both
  /// with `defaultText` in `output`).
  static int GetRegisterString(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, const WCHAR* defaultText,
                               CString& output);
  /// Writes a string value as WriteInformation does, under `root`.
  static int WriteRegisterString(HKEY root, const WCHAR* keyPath, const WCHAR* valueName, const WCHAR* value);
  /// Lists the subkeys of `keyPath`, each name followed by "\n". With a
  /// buffer of `outputSize` characters: the buffer is emptied and gets the
  /// names that fit whole (with the NUL), and the result is the number of
  /// names it got. With a null buffer: the characters the whole list needs,
  /// its NUL included. 0 when the key cannot be opened.
  static int EnumRegSubKey(HKEY root, const WCHAR* keyPath, WCHAR* output, int outputSize);
  /// Appends the subkey names of `keyPath` to `names` (not emptied first),
  /// from a list of at most kSubKeyListSize characters. The number of
  /// subkeys appended; 0 when the key cannot be opened.
  static int EnumRegSubKey(HKEY root, const CString& keyPath, CStringArray& names);
  /// Empties both arrays and fills them with the name and the text of every
  /// value of `keyPath`, in the registry's order, up to the first value that
  /// cannot be delivered (a name over kMaxEnumName characters or data over
  /// kMaxEnumData bytes ends the list). The number of names; 0 when the key
  /// cannot be opened.
  static int EnumRegKeyValue(HKEY root, const CString& keyPath, CStringArray& names, CStringArray& values);
};
