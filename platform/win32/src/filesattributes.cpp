#include "filesattributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <charconv>
#include <string>

#include "filespath.h"
#include "win32/files.h"

namespace winsim::files {

namespace {

constexpr const char* kAttributeName = "user.winsim.attributes";
constexpr DWORD kSettable =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
// A file's READONLY is its write bits, never the stored value.
constexpr DWORD kStoredForFile = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD kStoredForFolder = kSettable;

/// What a file or folder shows when nothing is stored: a new file on Windows
/// has ARCHIVE set, a new folder nothing.
DWORD defaultStored(bool folder) { return folder ? 0 : FILE_ATTRIBUTE_ARCHIVE; }

bool readStored(const std::filesystem::path& host, DWORD& stored) {
  char text[16];
  const ssize_t n = ::getxattr(host.c_str(), kAttributeName, text, sizeof text);
  if (n <= 0) return false;
  DWORD value = 0;
  const auto [end, ec] = std::from_chars(text, text + n, value);
  if (ec != std::errc() || end != text + n) return false;
  stored = value;
  return true;
}

Status writeStored(const std::filesystem::path& host, bool folder, DWORD stored) {
  if (stored == defaultStored(folder)) {
    if (::removexattr(host.c_str(), kAttributeName) == 0 || errno == ENODATA || errno == ENOTSUP) return {};
    return makeError(errorFromErrno(errno), "cannot clear the attributes");
  }
  const std::string text = std::to_string(stored);
  if (::setxattr(host.c_str(), kAttributeName, text.data(), text.size(), 0) != 0)
    return makeError(errorFromErrno(errno), "cannot store the attributes");
  return {};
}

}  // namespace

DWORD readAttributes(const std::filesystem::path& host, const struct stat& st) {
  const bool folder = S_ISDIR(st.st_mode);
  DWORD stored = defaultStored(folder);
  readStored(host, stored);
  DWORD attributes = stored & (folder ? kStoredForFolder : kStoredForFile);
  if (folder) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (isReadOnlyFile(st)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

Status writeAttributes(const std::filesystem::path& host, const struct stat& st, DWORD attributes) {
  const bool folder = S_ISDIR(st.st_mode);
  const DWORD wanted = attributes & kSettable;
  if (folder) return writeStored(host, true, wanted);
  // The write bit goes back before the extended attribute changes and away
  // after it: a host user may only change extended attributes of a file it
  // can write.
  if (!(wanted & FILE_ATTRIBUTE_READONLY) && isReadOnlyFile(st))
    if (::chmod(host.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0)
      return makeError(errorFromErrno(errno), "cannot clear read-only");
  if (auto stored = writeStored(host, false, wanted & kStoredForFile); !stored) return stored;
  if ((wanted & FILE_ATTRIBUTE_READONLY) && !isReadOnlyFile(st))
    if (::chmod(host.c_str(), st.st_mode & 07777 & ~(S_IWUSR | S_IWGRP | S_IWOTH)) != 0)
      return makeError(errorFromErrno(errno), "cannot set read-only");
  return {};
}

void copyStoredAttributes(const std::filesystem::path& from, const std::filesystem::path& to) {
  DWORD stored = 0;
  if (readStored(from, stored)) {
    const std::string text = std::to_string(stored);
    ::setxattr(to.c_str(), kAttributeName, text.data(), text.size(), 0);
  } else {
    ::removexattr(to.c_str(), kAttributeName);
  }
}

}  // namespace winsim::files
