// The entry of a program built on the class library: its main() hands the
// program's handle and command line to the one application object and runs
// it (AfxWinMain). Linked as the static library `mfcmain`, so that only
// programs have a main().
#include "afxwin.h"
#include "shellapi.h"

namespace {

/// The command line after the program's name, as a Windows program's entry
/// receives it: a quoted name ends at its closing quote, an unquoted one at
/// the first blank or tab; the blanks and tabs after it are skipped too.
LPWSTR commandTail(LPWSTR line) {
  if (!line) return nullptr;
  WCHAR* at = line;
  if (*at == u'"') {
    ++at;
    while (*at && *at != u'"') ++at;
    if (*at == u'"') ++at;
  } else {
    while (*at && *at != u' ' && *at != u'\t') ++at;
  }
  while (*at == u' ' || *at == u'\t') ++at;
  return at;
}

}  // namespace

int main() { return AfxWinMain(GetModuleHandleW(nullptr), nullptr, commandTail(GetCommandLineW()), SW_SHOWDEFAULT); }
