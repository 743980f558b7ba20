// Special folders as shell item id lists.
//
// A list holds one item for the drive ("C:\") and one for each folder below
// it, each item carrying its name as UTF-16; the list ends with an item of
// size 0. SHGetPathFromIDListW joins the names again.
#include <cstring>
#include <string>
#include <vector>

#include "objbase.h"
#include "shlobj.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::shell {

namespace {

// The kinds of item, as the shell marks a drive and a file-system folder.
constexpr BYTE kDriveItem = 0x2F;
constexpr BYTE kFolderItem = 0x31;
constexpr std::size_t kItemHeader = sizeof(USHORT) + 1;  // cb and the kind

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

void appendItem(std::vector<BYTE>& list, BYTE kind, std::u16string_view name) {
  const std::size_t size = kItemHeader + name.size() * 2;
  list.push_back(static_cast<BYTE>(size & 0xFF));
  list.push_back(static_cast<BYTE>(size >> 8));
  list.push_back(kind);
  for (char16_t c : name) {
    list.push_back(static_cast<BYTE>(c & 0xFF));
    list.push_back(static_cast<BYTE>(c >> 8));
  }
}

/// The item list of a full path such as C:\Users\Public\Desktop.
std::vector<BYTE> itemsOf(const std::u16string& path) {
  std::vector<BYTE> list;
  appendItem(list, kDriveItem, std::u16string_view(path).substr(0, 3));
  std::size_t start = 3;
  while (start < path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string::npos) end = path.size();
    appendItem(list, kFolderItem, std::u16string_view(path).substr(start, end - start));
    start = end + 1;
  }
  list.push_back(0);
  list.push_back(0);
  return list;
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
  const std::vector<BYTE> items = itemsOf(full.value());
  void* block = CoTaskMemAlloc(items.size());
  if (!block) return E_OUTOFMEMORY;
  std::memcpy(block, items.data(), items.size());
  *ppidl = static_cast<PIDLIST_ABSOLUTE>(block);
  return S_OK;
}

BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE pidl, LPWSTR pszPath) {
  if (!pszPath) return FALSE;
  pszPath[0] = 0;
  if (!pidl) return FALSE;
  std::u16string path;
  const BYTE* item = reinterpret_cast<const BYTE*>(pidl);
  for (;;) {
    const std::size_t size = item[0] | (item[1] << 8);
    if (size == 0) break;
    if (size < kItemHeader || (size - kItemHeader) % 2 != 0) return FALSE;
    std::u16string name((size - kItemHeader) / 2, u'\0');
    for (std::size_t i = 0; i < name.size(); ++i)
      name[i] = static_cast<char16_t>(item[kItemHeader + 2 * i] | (item[kItemHeader + 2 * i + 1] << 8));
    if (item[2] == kDriveItem && path.empty()) {
      path = name;
    } else if (item[2] == kFolderItem && !path.empty()) {
      if (path.back() != u'\\') path += u'\\';
      path += name;
    } else {
      return FALSE;
    }
    item += size;
  }
  if (path.empty() || path.size() >= MAX_PATH) return FALSE;
  winsim::copyTruncated(path, pszPath, MAX_PATH);
  return TRUE;
}
