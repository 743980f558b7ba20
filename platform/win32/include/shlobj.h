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

// The shell's folder browser: a modal dialog owned by hwndOwner that shows
// lpszTitle above the folder being chosen, with a status line (BIF_STATUSTEXT).
// Here the person names the folder by its path in the dialog's folder box
// (control kBrowseFolderEditId; a UI script types into it) and presses OK or
// Cancel; each change of the box that names an existing folder is a new
// selection. The callback hears BFFM_INITIALIZED once the dialog is shown and
// BFFM_SELCHANGED, with the selection's item id list, on every new
// selection; it may send the dialog BFFM_SETSELECTIONW (wParam TRUE, lParam a
// path) and BFFM_SETSTATUSTEXTW (lParam a text). OK answers the selected
// folder's item id list (free it with CoTaskMemFree) and fills
// pszDisplayName (MAX_PATH characters) with the folder's own name (a drive's
// is "C:"). While the box names no folder there is no selection and OK is
// disabled; Cancel, Escape or the close box answer null. A pidlRoot limits
// the selection to that folder and those below it. A null lpbi, or a
// pidlRoot that names no folder, fails with ERROR_INVALID_PARAMETER. Every
// answer is written to the transcript ("BrowseForFolder": answer, folder).
using BFFCALLBACK = int (*)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

struct BROWSEINFOW {
  HWND hwndOwner;
  PCIDLIST_ABSOLUTE pidlRoot;  // null: the whole computer
  LPWSTR pszDisplayName;
  LPCWSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
};
using LPBROWSEINFOW = BROWSEINFOW*;

constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
constexpr UINT BIF_STATUSTEXT = 0x0004;

constexpr UINT BFFM_INITIALIZED = 1;
constexpr UINT BFFM_SELCHANGED = 2;
constexpr UINT BFFM_SETSTATUSTEXTW = 0x0400 + 104;
constexpr UINT BFFM_SETSELECTIONW = 0x0400 + 103;

/// The browser dialog's controls: the title, the status line and the folder
/// box.
constexpr int kBrowseTitleId = 0x3742;
constexpr int kBrowseStatusId = 0x3743;
constexpr int kBrowseFolderEditId = 0x3744;
/// The template id the browser dialog is known by (transcript, wait-dialog).
constexpr WORD kBrowseDialogTemplateId = 0x3740;

PIDLIST_ABSOLUTE SHBrowseForFolderW(LPBROWSEINFOW lpbi);
