// Private profile files: GetPrivateProfileStringW and friends over the
// machine's files.
#include "win32/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "filesattributes.h"
#include "filesdisk.h"
#include "filespath.h"
#include "profilefile.h"
#include "winsim/inidocument.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::profile {

namespace {

namespace fs = std::filesystem;
using namespace winsim::files;

/// A file name without a folder lives in the Windows folder.
Expected<ResolvedPath> profilePath(LPCWSTR fileName) {
  std::u16string name = fileName ? std::u16string(fileName) : u"win.ini";
  if (name.find_first_of(u"\\/:") == std::u16string::npos) {
    Machine* machine = currentMachine();
    if (!machine) return makeError(ERROR_PATH_NOT_FOUND, "no machine");
    name = machine->profileString(u"folders", u"windows", u"C:\\Windows") + u"\\" + name;
  }
  return resolvePath(name);
}

std::optional<std::string> readBytes(const fs::path& host) {
  if (statHost(host).kind != Kind::File) return std::nullopt;
  std::ifstream in(host, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

/// The document of a profile file; an empty one when the file is missing
/// (with the last error Windows sets for that).
IniDocument loadDocument(LPCWSTR fileName) {
  auto path = profilePath(fileName);
  std::optional<std::string> bytes;
  if (path) bytes = readBytes(path->host);
  if (!bytes) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return IniDocument::parse(u"");
  }
  return IniDocument::parse(decodeProfile(*bytes).text);
}

DWORD copyValue(std::u16string_view text, LPWSTR out, DWORD size) {
  if (text.size() < size) {
    copyTruncated(text, out, size);
    return static_cast<DWORD>(text.size());
  }
  copyTruncated(text.substr(0, size - 1), out, size);
  SetLastError(ERROR_MORE_DATA);
  return size - 1;
}

/// Names as a list of NUL-terminated strings ended by one more NUL; a list
/// that does not fit is cut and still ends with two NULs.
DWORD copyList(const std::vector<std::u16string>& names, LPWSTR out, DWORD size) {
  std::u16string list;
  for (const auto& name : names) {
    list += name;
    list += u'\0';
  }
  if (list.empty()) {
    // An empty list still ends with two NULs where the buffer has room.
    out[0] = u'\0';
    if (size >= 2) out[1] = u'\0';
    return 0;
  }
  if (list.size() + 1 <= size) {
    std::copy(list.begin(), list.end(), out);
    out[list.size()] = u'\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    out[0] = u'\0';
    return 0;
  }
  std::copy(list.begin(), list.begin() + (size - 2), out);
  out[size - 2] = u'\0';
  out[size - 1] = u'\0';
  SetLastError(ERROR_MORE_DATA);
  return size - 2;
}

/// Holds the machine's profile-writing lock: a file lock in the machine's
/// state folder, so writers in every process of the machine take turns.
class WriteLock {
 public:
  WriteLock() {
    if (Machine* machine = currentMachine()) {
      const fs::path lock = machine->stateFile("state") / "profile.lock";
      m_fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
      if (m_fd >= 0)
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
  }
  ~WriteLock() {
    if (m_fd >= 0) ::close(m_fd);  // releases the lock
  }
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

 private:
  int m_fd = -1;
};

/// Writes the new bytes beside the file and renames them over it, keeping
/// the old file's permissions and attributes.
Status replaceFile(const fs::path& host, const std::string& bytes, const HostEntry& old) {
  static std::atomic<unsigned> counter{0};
  const fs::path temp = host.parent_path() / (".~" + host.filename().string() + "." + std::to_string(::getpid()) + "." +
                                              std::to_string(counter++) + ".tmp");
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return makeError(errorFromErrno(errno), "cannot write the profile");
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  if (old.kind == Kind::File) ::fchmod(fd, old.st.st_mode & 07777);
  ok = ::close(fd) == 0 && ok;
  if (ok && old.kind == Kind::File) copyStoredAttributes(host, temp);
  if (!ok || ::rename(temp.c_str(), host.c_str()) != 0) {
    ::unlink(temp.c_str());
    return makeError(ERROR_WRITE_FAULT, "cannot replace the profile");
  }
  return {};
}

Status writeProfile(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName) {
  auto path = profilePath(fileName);
  if (!path) return path.error();
  WriteLock lock;
  const HostEntry old = statHost(path->host);
  if (old.kind == Kind::Folder || (old.kind == Kind::File && isReadOnlyFile(old.st)))
    return makeError(ERROR_ACCESS_DENIED, "the profile cannot be written");
  const bool removing = !key || !value;
  if (old.kind == Kind::Missing) {
    if (statHost(path->host.parent_path()).kind != Kind::Folder) return makeError(ERROR_PATH_NOT_FOUND, "no folder");
    if (removing) return {};  // nothing to remove from a file that is not there
  }
  ProfileText text;
  if (old.kind == Kind::File) {
    auto bytes = readBytes(path->host);
    if (!bytes) return makeError(ERROR_ACCESS_DENIED, "cannot read the profile");
    text = decodeProfile(*bytes);
  }
  IniDocument doc = IniDocument::parse(text.text);
  if (!key)
    doc.removeSection(section);
  else if (!value)
    doc.removeKey(section, key);
  else
    doc.setValue(section, key, value);
  const std::string bytes = encodeProfile(doc.serialize(), text.encoding);
  if (!bytes.empty() && driveIsFull(path->drive())) return makeError(ERROR_DISK_FULL, "the disk is full");
  return replaceFile(path->host, bytes, old);
}

/// Leading decimal digits with an optional sign, kept within 32 bits.
INT leadingInteger(std::u16string_view text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == u'-';
  if (negative) ++i;
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return static_cast<INT>(-value);
  return static_cast<INT>(std::min<long long>(value, INT_MAX));
}

}  // namespace

}  // namespace winsim::profile

using namespace winsim::profile;

DWORD GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault, LPWSTR lpReturnedString,
                               DWORD nSize, LPCWSTR lpFileName) {
  if (!lpReturnedString || nSize == 0) return 0;
  const winsim::IniDocument doc = loadDocument(lpFileName);
  if (!lpAppName) return copyList(doc.sections(), lpReturnedString, nSize);
  if (!lpKeyName) return copyList(doc.keys(lpAppName), lpReturnedString, nSize);
  if (auto value = doc.value(lpAppName, lpKeyName)) return copyValue(*value, lpReturnedString, nSize);
  std::u16string_view fallback = lpDefault ? std::u16string_view(lpDefault) : std::u16string_view();
  while (!fallback.empty() && fallback.back() == u' ') fallback.remove_suffix(1);
  return copyValue(fallback, lpReturnedString, nSize);
}

UINT GetPrivateProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault, LPCWSTR lpFileName) {
  if (!lpAppName || !lpKeyName) return static_cast<UINT>(nDefault);
  const auto value = loadDocument(lpFileName).value(lpAppName, lpKeyName);
  if (!value || value->empty()) return static_cast<UINT>(nDefault);
  return static_cast<UINT>(leadingInteger(*value));
}

DWORD GetPrivateProfileSectionNamesW(LPWSTR lpszReturnBuffer, DWORD nSize, LPCWSTR lpFileName) {
  return GetPrivateProfileStringW(nullptr, nullptr, nullptr, lpszReturnBuffer, nSize, lpFileName);
}

BOOL WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString, LPCWSTR lpFileName) {
  if (!lpAppName) {
    // All null asks Windows to flush its cache of profile files; this layer
    // keeps none.
    if (!lpKeyName && !lpString) return TRUE;
    return winsim::files::failWith(ERROR_INVALID_PARAMETER);
  }
  if (auto written = writeProfile(lpAppName, lpKeyName, lpString, lpFileName); !written)
    return winsim::files::failWith(written.error().code);
  return TRUE;
}
