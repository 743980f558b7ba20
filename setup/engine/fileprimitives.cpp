#include "fileprimitives.h"

#include <string_view>

#include "afxwin.h"
#include "installlog.h"
#include "setuptext.h"
#include "win32/crt.h"

namespace {

constexpr int kMaxPathLength = MAX_PATH - 1;
constexpr int kAnsiCapacity = MAX_PATH;

bool isSeparator(WCHAR c) { return c == u'\\' || c == u'/'; }

bool isDotEntry(const WCHAR* name) {
  const std::u16string_view entry(name);
  return entry == u"." || entry == u"..";
}

}  // namespace

BOOL CreateDirectoryChain(LPCWSTR path) {
  if (!path) return FALSE;
  const CString full(path);
  if (full.GetLength() > kMaxPathLength) return FALSE;
  for (int at = 0; at < full.GetLength(); ++at) {
    if (!isSeparator(full[at])) continue;
    const CString folder = full.Left(at);
    if (GetFileAttributesW(folder) != INVALID_FILE_ATTRIBUTES) continue;
    if (!CreateDirectoryW(folder, nullptr)) return FALSE;
    AppendInstallLog(CreateDirectoryRecord(folder, false));
    AppendInstallLog(CreateDirectoryRecord(folder, true));
  }
  return TRUE;
}

BOOL PathExists(LPCWSTR path) {
  if (!path) return FALSE;
  char ansi[kAnsiCapacity];
  if (WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, kAnsiCapacity, nullptr, nullptr) <= 0) return FALSE;
  return _access(ansi, 0) == 0;
}

BOOL IsFolderEmpty(LPCWSTR path) {
  if (!path) return FALSE;
  const CString pattern = CString(path) + u"\\*";
  if (pattern.GetLength() > kMaxPathLength) return FALSE;
  WIN32_FIND_DATAW entry{};
  HANDLE search = FindFirstFileW(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return TRUE;
  BOOL empty = TRUE;
  do {
    if (!isDotEntry(entry.cFileName)) {
      empty = FALSE;
      break;
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return empty;
}

void PruneEmptyFolders(LPCWSTR path) {
  if (!path || !*path || !PathExists(path)) return;
  const CString folder(path);
  const CString pattern = folder + u"\\*";
  if (pattern.GetLength() > kMaxPathLength) return;
  WIN32_FIND_DATAW entry{};
  HANDLE search = FindFirstFileW(pattern, &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  bool fileFound = false;
  do {
    if (isDotEntry(entry.cFileName)) continue;
    const CString child = folder + u"\\" + entry.cFileName;
    if (child.GetLength() > kMaxPathLength) {
      // Beyond the 260-character paths the routine works with: left in place,
      // and the folder holding it stays with it.
      fileFound = true;
      continue;
    }
    SetFileAttributesW(child, FILE_ATTRIBUTE_NORMAL);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!fileFound) {
        PruneEmptyFolders(child);
        RemoveDirectoryW(child);
      }
    } else {
      fileFound = true;
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  if (!fileFound) RemoveDirectoryW(folder);
}

int CheckDiskSpace(LPCWSTR folder) {
  ULARGE_INTEGER freeBytes{};
  if (!GetDiskFreeSpaceExW(folder, &freeBytes, nullptr, nullptr)) {
    AfxMessageBox(GetSetupText(IDS_DISK_SPACE_QUERY_FAILED, kFallbackDiskSpaceQueryFailed));
    return 0;
  }
  if (freeBytes.QuadPart < kRequiredFreeBytes) {
    AfxMessageBox(GetSetupText(IDS_DISK_SPACE_LOW, kFallbackDiskSpaceLow));
    return 2;
  }
  return 1;
}
