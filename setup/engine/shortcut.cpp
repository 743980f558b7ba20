#include "shortcut.h"

#include "fileprimitives.h"
#include "installlog.h"
#include "setupstate.h"
#include "shlobj.h"
#include "shobjidl.h"
#include "specialfolders.h"
#include "win32/com.h"

namespace {

constexpr int kMaxPathLength = MAX_PATH - 1;

/// The folder the link goes to, ending in a backslash; empty on failure.
CString linkFolder(int kind) {
  WCHAR folder[MAX_PATH] = {};
  if (kind == ShortcutDesktop) {
    if (!GetCommonDesktopFolder(folder)) return CString();
    return CString(folder) + u"\\";
  }
  if (kind == ShortcutPrograms) {
    if (!GetCommonProgramsFolder(folder)) return CString();
    const CSetupState& state = SetupState();
    return CString(folder) + u"\\" + state.companyName + u"\\" + state.productName + u"\\";
  }
  return CString();
}

/// Saves the link; false on any failure of the link object.
bool saveLink(LPCWSTR linkPath, LPCWSTR target) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))))
    return false;
  bool saved = false;
  if (SUCCEEDED(link->SetPath(target)) && SUCCEEDED(link->SetWorkingDirectory(SetupState().installDir))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      saved = SUCCEEDED(file->Save(linkPath, TRUE));
      file->Release();
    }
  }
  link->Release();
  return saved;
}

}  // namespace

BOOL CreateShortcut(LPCWSTR name, LPCWSTR target, int kind) {
  if (!name || !target) return FALSE;
  if (FAILED(CoInitialize(nullptr))) return FALSE;
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) {
    CoUninitialize();
    return FALSE;
  }
  BOOL created = FALSE;
  const CString folder = linkFolder(kind);
  const CString linkPath = folder + name + u".lnk";
  if (!folder.IsEmpty() && linkPath.GetLength() <= kMaxPathLength) {
    if (kind == ShortcutPrograms) CreateDirectoryChain(folder);  // a failure shows in the save
    if (saveLink(linkPath, target)) {
      AppendInstallLog(CreateShortcutRecord(linkPath, target));
      created = TRUE;
    }
  }
  allocator->Release();
  CoUninitialize();
  return created;
}
