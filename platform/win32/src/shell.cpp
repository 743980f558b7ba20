// Special folders as shell item id lists (shellitems.h); SHGetPathFromIDListW
// joins the names of a list again.
#include <cstring>
#include <string>
#include <vector>

#include "objbase.h"
#include "shellitems.h"
#include "shlobj.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::shell {

namespace {

struct SpecialFolder {
  int csidl;
  const char16_t* key;
  const char16_t* keyFor32BitOn64BitMachine;  // null: the same folder
};

constexpr SpecialFolder kSpecialFolders[] = {
    {CSIDL_PERSONAL, u"documents", nullptr},
    {CSIDL_DESKTOPDIRECTORY, u"desktop", nullptr},
    {CSIDL_COMMON_PROGRAMS, u"common_programs", nullptr},
    {CSIDL_COMMON_DESKTOPDIRECTORY, u"common_desktop", nullptr},
    {CSIDL_APPDATA, u"appdata", nullptr},
    {CSIDL_WINDOWS, u"windows", nullptr},
    {CSIDL_SYSTEM, u"system", nullptr},
    {CSIDL_PROGRAM_FILES, u"program_files", u"program_files_x86"},
    {CSIDL_PROFILE, u"profile", nullptr},
    {CSIDL_PROGRAM_FILES_COMMON, u"common_files", u"common_files_x86"},
};

bool is64BitMachine(const Machine& machine) {
  const std::u16string processor = machine.profileString(u"system", u"processor", u"x64");
  return equalsNoCase(processor, u"x64") || equalsNoCase(processor, u"ia64");
}

}  // namespace

}  // namespace winsim::shell

using namespace winsim::shell;

HRESULT SHGetSpecialFolderLocation(HWND, int csidl, PIDLIST_ABSOLUTE* ppidl) {
  if (!ppidl) return E_INVALIDARG;
  *ppidl = nullptr;
  const SpecialFolder* folder = nullptr;
  for (const auto& f : kSpecialFolders)
    if (f.csidl == csidl) folder = &f;
  if (!folder) return E_INVALIDARG;
  winsim::Machine* machine = winsim::currentMachine();
  if (!machine) return E_FAIL;
  const bool wow64 = winsim::programBitness() == winsim::Bitness::Bits32 && is64BitMachine(*machine);
  const char16_t* key = wow64 && folder->keyFor32BitOn64BitMachine ? folder->keyFor32BitOn64BitMachine : folder->key;
  const std::u16string configured = machine->profileString(u"folders", key);
  if (configured.size() < 3 || configured[1] != u':') return E_FAIL;
  auto full = machine->fullWindowsPath(configured);
  if (!full) return E_FAIL;
  *ppidl = allocateItemList(full.value());
  return *ppidl ? S_OK : E_OUTOFMEMORY;
}

BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath) {
  if (!pszPath) return FALSE;
  pszPath[0] = 0;
  if (!pidl) return FALSE;
  const std::optional<std::u16string> path = pathOfItemList(pidl);
  if (!path || path->size() >= MAX_PATH) return FALSE;
  winsim::copyTruncated(*path, pszPath, MAX_PATH);
  return TRUE;
}
