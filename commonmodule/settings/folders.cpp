// Folder trees: copying, making a folder path, deleting.
#include <algorithm>
#include <string_view>

#include "HvDbUtilsFiles.h"
#include "afxwin.h"
#include "core/expresstext.h"
#include "win32/files.h"

namespace {

constexpr const WCHAR* kAllEntries = u"\\*.*";

bool isDotEntry(const WCHAR* name) {
  const std::u16string_view entry(name);
  return entry == u"." || entry == u"..";
}

bool isFolder(const WIN32_FIND_DATAW& entry) { return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

/// A folder search, closed when it goes.
class FolderSearch {
 public:
  explicit FolderSearch(const WCHAR* pattern) : m_handle(FindFirstFileW(pattern, &m_entry)) {}
  ~FolderSearch() {
    if (found()) FindClose(m_handle);
  }
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;

  bool found() const { return m_handle != INVALID_HANDLE_VALUE; }
  const WIN32_FIND_DATAW& entry() const { return m_entry; }
  bool next() { return FindNextFileW(m_handle, &m_entry) != FALSE; }
  void close() {
    if (found()) FindClose(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
  }

 private:
  WIN32_FIND_DATAW m_entry{};
  HANDLE m_handle;
};

/// `first` + `second` + `third` into a buffer of kDeletePathSize characters;
/// false, with nothing usable written, when it would not fit.
using DeletePath = WCHAR[HvDbUtils::kDeletePathSize];

bool joinInto(DeletePath& buffer, std::u16string_view first, std::u16string_view second, std::u16string_view third) {
  const std::size_t length = first.size() + second.size() + third.size();
  if (length >= static_cast<std::size_t>(HvDbUtils::kDeletePathSize)) return false;
  WCHAR* out = buffer;
  for (std::u16string_view part : {first, second, third}) out = std::copy(part.begin(), part.end(), out);
  *out = 0;
  return true;
}

}  // namespace

namespace HvDbUtils {

int CopyFold(const CString& source, const CString& destination) {
  const DWORD attributes = GetFileAttributesW(destination);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    CreateDirectoryW(destination, nullptr);
  FolderSearch search(source + kAllEntries);
  if (!search.found()) return 1;
  do {
    const WIN32_FIND_DATAW& entry = search.entry();
    if (isDotEntry(entry.cFileName)) continue;
    const CString from = source + u"\\" + entry.cFileName;
    const CString to = destination + u"\\" + entry.cFileName;
    if (isFolder(entry))
      CopyFold(from, to);
    else
      CopyFileW(from, to, FALSE);
  } while (search.next());
  return 1;
}

int MkdirEx(const CString& path) {
  CString folders(path);
  if (folders.IsEmpty() || folders[folders.GetLength() - 1] != u'\\') folders += u'\\';
  int separator = folders.Find(u'\\');
  // A drive prefix ("C:\") is never made: the walk starts after it.
  if (separator > 0 && folders[separator - 1] == u':') separator = folders.Find(u'\\', separator + 1);
  for (; separator >= 0; separator = folders.Find(u'\\', separator + 1)) {
    const CString folder = folders.Left(separator + 1);
    if (GetFileAttributesW(folder) != INVALID_FILE_ATTRIBUTES) continue;
    if (!CreateDirectoryW(folder, nullptr)) return 0;
  }
  return 1;
}

int DeleteDirectory(const CString& path) {
  const std::u16string_view folder(path.GetString(), static_cast<std::size_t>(path.GetLength()));
  DeletePath pattern;
  if (joinInto(pattern, folder, kAllEntries, u"")) {
    FolderSearch search(pattern);
    if (search.found()) {
      do {
        const WIN32_FIND_DATAW& entry = search.entry();
        if (isDotEntry(entry.cFileName)) continue;
        DeletePath entryPath;
        if (!joinInto(entryPath, folder, u"\\", entry.cFileName)) continue;  // too long: left, and reported below
        if (isFolder(entry))
          DeleteDirectory(entryPath);
        else
          DeleteFileW(entryPath);
      } while (search.next());
    }
    search.close();
    if (RemoveDirectoryW(path)) return 1;
  }
  AfxMessageBox(LoadExpressText(mwcommon::kDeleteDirectoryFailed).text(), MB_OK, 0);
  return 0;
}

}  // namespace HvDbUtils
