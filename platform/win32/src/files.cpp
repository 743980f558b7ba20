// Attributes, folders, deletion, copies and moves of the machine's files.
#include "win32/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "filesattributes.h"
#include "filesdisk.h"
#include "filespath.h"
#include "filesshare.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::files {

namespace {

namespace fs = std::filesystem;

FileIdentity identityOf(const struct stat& st) { return FileIdentity{st.st_dev, st.st_ino}; }

/// Closes a host descriptor when it goes out of scope.
class HostFile {
 public:
  explicit HostFile(int fd) : m_fd(fd) {}
  ~HostFile() {
    if (m_fd >= 0) ::close(m_fd);
  }
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;
  int fd() const { return m_fd; }
  bool ok() const { return m_fd >= 0; }
  /// Closes now, reporting a failed close (data that did not reach the disk).
  bool close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
  }

 private:
  int m_fd;
};

bool isCurrentFolderOrAbove(const fs::path& folder) {
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  if (ec) return false;
  const fs::path target = fs::weakly_canonical(folder, ec);
  const fs::path relative = cwd.lexically_relative(target);
  return !relative.empty() && *relative.begin() != "..";
}

/// Copies the data of one file to another path (replacing a file there),
/// with its run bits, stored attributes and last-write time. A failed copy
/// leaves no partial file behind.
Status copyFileData(const fs::path& from, const struct stat& source, const fs::path& to, bool destinationExisted) {
  HostFile in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.ok()) return makeError(errorFromErrno(errno), "cannot read the source");
  HostFile out(::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!out.ok()) return makeError(errorFromErrno(errno), "cannot write the destination");
  auto discard = [&](DWORD code) -> Status {
    out.close();
    if (!destinationExisted) ::unlink(to.c_str());
    return makeError(code, "copy failed");
  };
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(in.fd(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return discard(ERROR_READ_FAULT);
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(out.fd(), buffer + done, static_cast<size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return discard(errorFromErrno(errno));
      }
      done += w;
    }
  }
  ::fchmod(out.fd(), source.st_mode & 07777);
  const struct timespec times[2] = {source.st_atim, source.st_mtim};
  ::futimens(out.fd(), times);
  if (!out.close()) return discard(ERROR_WRITE_FAULT);
  copyStoredAttributes(from, to);
  return {};
}

Status copyFile(LPCWSTR existing, LPCWSTR target, bool failIfExists) {
  auto from = resolvePath(existing);
  if (!from) return from.error();
  auto to = resolvePath(target);
  if (!to) return to.error();
  const HostEntry source = statHost(from->host);
  if (source.kind == Kind::Missing) return makeError(missingError(*from), "no source");
  if (source.kind == Kind::Folder) return makeError(ERROR_ACCESS_DENIED, "the source is a folder");
  const HostEntry destination = statHost(to->host);
  if (destination.kind != Kind::Missing) {
    if (failIfExists) return makeError(ERROR_FILE_EXISTS, "the destination exists");
    if (destination.kind == Kind::Folder || isReadOnlyFile(destination.st))
      return makeError(ERROR_ACCESS_DENIED, "the destination cannot be replaced");
    if (destination.st.st_dev == source.st.st_dev && destination.st.st_ino == source.st.st_ino)
      return makeError(ERROR_SHARING_VIOLATION, "a file cannot be copied onto itself");
  } else if (statHost(to->host.parent_path()).kind != Kind::Folder) {
    return makeError(ERROR_PATH_NOT_FOUND, "no destination folder");
  }
  if (source.st.st_size > 0 && driveIsFull(to->drive())) return makeError(ERROR_DISK_FULL, "the disk is full");
  return copyFileData(from->host, source.st, to->host, destination.kind != Kind::Missing);
}

Status moveFile(LPCWSTR existing, LPCWSTR target, DWORD flags) {
  constexpr DWORD kKnown =
      MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_WRITE_THROUGH;
  if (flags & ~kKnown) return makeError(ERROR_INVALID_PARAMETER, "unknown flags");
  if (flags & MOVEFILE_DELAY_UNTIL_REBOOT) return makeError(ERROR_NOT_SUPPORTED, "the machine never reboots");
  auto from = resolvePath(existing);
  if (!from) return from.error();
  auto to = resolvePath(target);
  if (!to) return to.error();
  const HostEntry source = statHost(from->host);
  if (source.kind == Kind::Missing) return makeError(missingError(*from), "no source");
  if (from->isRoot() || to->isRoot()) return makeError(ERROR_ACCESS_DENIED, "a drive root cannot move");
  if (!mayDelete(identityOf(source.st))) return makeError(ERROR_SHARING_VIOLATION, "the file is open");

  const HostEntry destination = statHost(to->host);
  const bool sameEntry = destination.kind != Kind::Missing && destination.st.st_dev == source.st.st_dev &&
                         destination.st.st_ino == source.st.st_ino;
  fs::path newHost = to->host;
  if (sameEntry) {
    // Only the case of the name changes (or nothing): Windows renames the
    // entry to the new spelling.
    newHost = to->host.parent_path() / toUtf8(to->name());
    if (newHost == from->host) return {};
  } else if (destination.kind != Kind::Missing) {
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) return makeError(ERROR_ALREADY_EXISTS, "the destination exists");
    if (destination.kind == Kind::Folder || source.kind == Kind::Folder || isReadOnlyFile(destination.st))
      return makeError(ERROR_ACCESS_DENIED, "the destination cannot be replaced");
    if (!mayDelete(identityOf(destination.st))) return makeError(ERROR_SHARING_VIOLATION, "the destination is open");
  } else if (statHost(to->host.parent_path()).kind != Kind::Folder) {
    return makeError(ERROR_PATH_NOT_FOUND, "no destination folder");
  }

  // Drives are volumes: a move between two is a copy and a deletion, allowed
  // for files only and only when the caller says so.
  if (upperCase(from->drive()) != upperCase(to->drive())) {
    if (!(flags & MOVEFILE_COPY_ALLOWED) || source.kind == Kind::Folder)
      return makeError(ERROR_NOT_SAME_DEVICE, "another drive");
    if (source.st.st_size > 0 && driveIsFull(to->drive())) return makeError(ERROR_DISK_FULL, "the disk is full");
    if (auto copied = copyFileData(from->host, source.st, newHost, destination.kind != Kind::Missing); !copied)
      return copied;
    if (::unlink(from->host.c_str()) != 0) return makeError(errorFromErrno(errno), "cannot remove the source");
    return {};
  }
  if (source.kind == Kind::Folder) {
    const fs::path relative = newHost.lexically_relative(from->host);
    if (!relative.empty() && *relative.begin() != "..")
      return makeError(ERROR_SHARING_VIOLATION, "a folder cannot move into itself");
  }
  if (::rename(from->host.c_str(), newHost.c_str()) != 0) return makeError(errorFromErrno(errno), "cannot move");
  return {};
}

}  // namespace

}  // namespace winsim::files

using namespace winsim::files;

DWORD GetFileAttributesW(LPCWSTR lpFileName) {
  auto path = resolvePath(lpFileName);
  if (!path) {
    SetLastError(path.error().code);
    return INVALID_FILE_ATTRIBUTES;
  }
  const HostEntry entry = statHost(path->host);
  if (entry.kind == Kind::Missing) {
    SetLastError(missingError(*path));
    return INVALID_FILE_ATTRIBUTES;
  }
  return readAttributes(path->host, entry.st);
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
  if (!lpFileName) return GetFileAttributesW(nullptr);
  const std::u16string wide = winsim::fromAnsi(lpFileName);
  return GetFileAttributesW(wide.c_str());
}

BOOL SetFileAttributesW(LPCWSTR lpFileName, DWORD dwFileAttributes) {
  auto path = resolvePath(lpFileName);
  if (!path) return failWith(path.error().code);
  const HostEntry entry = statHost(path->host);
  if (entry.kind == Kind::Missing) return failWith(missingError(*path));
  if (auto written = writeAttributes(path->host, entry.st, dwFileAttributes); !written)
    return failWith(written.error().code);
  return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  auto path = resolvePath(lpPathName);
  if (!path) return failWith(path.error().code);
  if (path->isRoot()) return failWith(ERROR_ACCESS_DENIED);
  if (statHost(path->host).kind != Kind::Missing) return failWith(ERROR_ALREADY_EXISTS);
  if (statHost(path->host.parent_path()).kind != Kind::Folder) return failWith(ERROR_PATH_NOT_FOUND);
  if (::mkdir(path->host.c_str(), 0777) != 0) return failWith(errorFromErrno(errno));
  return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR lpPathName) {
  auto path = resolvePath(lpPathName);
  if (!path) return failWith(path.error().code);
  const HostEntry entry = statHost(path->host);
  if (entry.kind == Kind::Missing) return failWith(missingError(*path));
  if (entry.kind != Kind::Folder) return failWith(ERROR_DIRECTORY);
  if (path->isRoot() || (readAttributes(path->host, entry.st) & FILE_ATTRIBUTE_READONLY))
    return failWith(ERROR_ACCESS_DENIED);
  // The process holds its current folder open, so Windows refuses to remove
  // it (or a folder above it).
  if (isCurrentFolderOrAbove(path->host)) return failWith(ERROR_SHARING_VIOLATION);
  if (::rmdir(path->host.c_str()) != 0) return failWith(errno == EEXIST ? ERROR_DIR_NOT_EMPTY : errorFromErrno(errno));
  return TRUE;
}

BOOL DeleteFileW(LPCWSTR lpFileName) {
  auto path = resolvePath(lpFileName);
  if (!path) return failWith(path.error().code);
  const HostEntry entry = statHost(path->host);
  if (entry.kind == Kind::Missing) return failWith(missingError(*path));
  if (entry.kind == Kind::Folder || isReadOnlyFile(entry.st)) return failWith(ERROR_ACCESS_DENIED);
  if (!mayDelete(FileIdentity{entry.st.st_dev, entry.st.st_ino})) return failWith(ERROR_SHARING_VIOLATION);
  if (::unlink(path->host.c_str()) != 0) return failWith(errorFromErrno(errno));
  return TRUE;
}

BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) {
  if (auto copied = copyFile(lpExistingFileName, lpNewFileName, bFailIfExists != FALSE); !copied)
    return failWith(copied.error().code);
  return TRUE;
}

BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags) {
  if (auto moved = moveFile(lpExistingFileName, lpNewFileName, dwFlags); !moved) return failWith(moved.error().code);
  return TRUE;
}
