// What every stand-in of the package shares: its own image name, the words of
// its command line, and the record it leaves of each run, so that a test or a
// person sees what the setup program started and with which arguments:
//
//   HKLM\SOFTWARE\Winsim\StandIns\<image file name>   (the program's view)
//     CommandLine   REG_SZ      the whole command line of the last run
//     Runs          REG_DWORD   how many times it ran
#pragma once

#include <string>
#include <vector>

#include "../systemtools/commandline.h"
#include "win32/errors.h"
#include "win32/module.h"
#include "win32/process.h"
#include "win32/registry.h"
#include "win32/types.h"

namespace standins {

constexpr char16_t kRecordKey[] = u"SOFTWARE\\Winsim\\StandIns\\";

/// The program's Windows image path.
inline std::u16string imagePath() {
  WCHAR path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::u16string(path, length < MAX_PATH ? length : 0);
}

inline std::u16string fileName(const std::u16string& path) { return path.substr(path.find_last_of(u'\\') + 1); }
inline std::u16string folderOf(const std::u16string& path) { return path.substr(0, path.find_last_of(u'\\')); }

inline void setString(HKEY key, const char16_t* name, const std::u16string& text) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

/// Records this run under the program's key; returns the open key (the
/// caller closes it) or null when the registry refuses.
inline HKEY recordRun(const std::u16string& image) {
  const std::u16string path = std::u16string(kRecordKey) + fileName(image);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  setString(key, u"CommandLine", GetCommandLineW());
  DWORD runs = 0;
  DWORD size = sizeof runs;
  if (RegQueryValueExW(key, u"Runs", nullptr, nullptr, reinterpret_cast<BYTE*>(&runs), &size) != ERROR_SUCCESS)
    runs = 0;
  ++runs;
  RegSetValueExW(key, u"Runs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&runs), sizeof runs);
  return key;
}

}  // namespace standins
