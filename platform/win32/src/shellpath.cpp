// The shell's path tests.
#include <string>

#include "shlwapi.h"
#include "win32/files.h"
#include "winsim/codepage.h"

BOOL PathIsRootW(LPCWSTR pszPath) {
  if (!pszPath || !pszPath[0]) return FALSE;
  if (pszPath[0] == u'\\') {
    if (pszPath[1] == 0) return TRUE;
    if (pszPath[1] != u'\\') return FALSE;
    // UNC: "\\server" or "\\server\share", nothing after the share.
    int separators = 0;
    for (const WCHAR* p = pszPath + 2; *p; ++p) {
      if (*p != u'\\') continue;
      if (++separators > 1 || p[1] == 0) return FALSE;
    }
    return TRUE;
  }
  return pszPath[1] == u':' && pszPath[2] == u'\\' && pszPath[3] == 0;
}

BOOL PathIsFileSpecW(LPCWSTR pszPath) {
  if (!pszPath) return FALSE;
  for (const WCHAR* p = pszPath; *p; ++p)
    if (*p == u':' || *p == u'\\') return FALSE;
  return TRUE;
}

BOOL PathIsNetworkPathW(LPCWSTR pszPath) { return pszPath && pszPath[0] == u'\\' && pszPath[1] == u'\\'; }

BOOL PathFileExistsW(LPCWSTR pszPath) { return pszPath && GetFileAttributesW(pszPath) != INVALID_FILE_ATTRIBUTES; }

BOOL PathFileExistsA(LPCSTR pszPath) {
  if (!pszPath) return FALSE;
  const std::u16string wide = winsim::fromAnsi(pszPath);
  return PathFileExistsW(wide.c_str());
}
