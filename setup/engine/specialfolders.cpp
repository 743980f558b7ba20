#include "specialfolders.h"

#include "shlobj.h"

namespace {

BOOL getSpecialFolder(int csidl, LPWSTR path) {
  if (!path) return FALSE;
  path[0] = 0;
  PIDLIST_ABSOLUTE items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items))) return FALSE;
  const BOOL found = SHGetPathFromIDListW(items, path);
  CoTaskMemFree(items);
  return found;
}

}  // namespace

BOOL GetCommonDesktopFolder(LPWSTR path) { return getSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, path); }
BOOL GetCommonProgramsFolder(LPWSTR path) { return getSpecialFolder(CSIDL_COMMON_PROGRAMS, path); }
BOOL GetCommonProgramFilesFolder(LPWSTR path) { return getSpecialFolder(CSIDL_PROGRAM_FILES_COMMON, path); }
BOOL GetPersonalFolder(LPWSTR path) { return getSpecialFolder(CSIDL_PERSONAL, path); }
