// The shell's special folders: SHGetSpecialFolderLocation gives an item id
// list that SHGetPathFromIDListW turns into a path; the caller frees the list
// with CoTaskMemFree or the shell allocator's Free (SHGetMalloc).
//
// The folders come from the machine profile's [folders] section. A 32-bit
// program on a 64-bit machine (system.processor x64 or ia64) is shown the
// 32-bit program folders (program_files_x86, common_files_x86), as Windows
// shows them to a program under WOW64.
#pragma once

#include "objbase.h"
#include "win32/types.h"

constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_COMMON_PROGRAMS = 0x0017;
constexpr int CSIDL_COMMON_DESKTOPDIRECTORY = 0x0019;
constexpr int CSIDL_APPDATA = 0x001A;
constexpr int CSIDL_WINDOWS = 0x0024;
constexpr int CSIDL_SYSTEM = 0x0025;
constexpr int CSIDL_PROGRAM_FILES = 0x0026;
constexpr int CSIDL_PROFILE = 0x0028;
constexpr int CSIDL_PROGRAM_FILES_COMMON = 0x002B;

#pragma pack(push, 1)
struct SHITEMID {
  USHORT cb;  // size of the item with this field; 0 ends the list
  BYTE abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
#pragma pack(pop)
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;

/// E_INVALIDARG for a folder this machine does not know, E_FAIL when the
/// profile has no path for it.
HRESULT SHGetSpecialFolderLocation(HWND hwnd, int csidl, PIDLIST_ABSOLUTE* ppidl);
/// pszPath must hold MAX_PATH characters; it is emptied on failure.
BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath);
/// The process's shell allocator (the COM task allocator).
HRESULT SHGetMalloc(IMalloc** ppMalloc);
