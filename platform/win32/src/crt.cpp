// The C runtime's descriptors over host files of the machine.
#include "win32/crt.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "filesattributes.h"
#include "filesdisk.h"
#include "filespath.h"
#include "filesshare.h"
#include "winsim/codepage.h"

namespace winsim::crt {

namespace {

using namespace winsim::files;

constexpr char kCtrlZ = 0x1A;
// Descriptors 0 to 2 are the console's in the Windows runtime; files start
// above them. The runtime's own limit on open descriptors is 8192.
constexpr int kFirstFile = 3;
constexpr int kMaxFiles = 8192;

/// One open descriptor; the host file closes and the share record goes when
/// the last user lets go of it.
struct CrtFile {
  int host = -1;
  bool text = false;
  bool canRead = false;
  bool canWrite = false;
  char16_t drive = u'C';
  std::uint64_t shareTicket = 0;

  ~CrtFile() {
    if (host >= 0) ::close(host);
    if (shareTicket) releaseOpen(shareTicket);
  }
};

std::mutex g_mutex;
std::vector<std::shared_ptr<CrtFile>> g_files;  // index + kFirstFile is the descriptor

int addFile(std::shared_ptr<CrtFile> file) {
  std::lock_guard lock(g_mutex);
  for (std::size_t i = 0; i < g_files.size(); ++i) {
    if (!g_files[i]) {
      g_files[i] = std::move(file);
      return static_cast<int>(i) + kFirstFile;
    }
  }
  if (g_files.size() >= kMaxFiles - kFirstFile) return -1;
  g_files.push_back(std::move(file));
  return static_cast<int>(g_files.size()) - 1 + kFirstFile;
}

std::shared_ptr<CrtFile> lookupFile(int fd) {
  std::lock_guard lock(g_mutex);
  const long index = static_cast<long>(fd) - kFirstFile;
  if (index < 0 || index >= static_cast<long>(g_files.size())) return nullptr;
  return g_files[static_cast<std::size_t>(index)];
}

std::shared_ptr<CrtFile> takeFile(int fd) {
  std::lock_guard lock(g_mutex);
  const long index = static_cast<long>(fd) - kFirstFile;
  if (index < 0 || index >= static_cast<long>(g_files.size())) return nullptr;
  return std::move(g_files[static_cast<std::size_t>(index)]);
}

int failErrno(int error) {
  errno = error;
  return -1;
}

/// The runtime's errno for a Win32 error of the path lookup.
int errnoFromWin32(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EACCES;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
      return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    default:
      return ENOENT;
  }
}

bool writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

ssize_t readSome(int fd, void* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

struct OpenRequest {
  int oflag = 0;
  int shflag = _SH_DENYNO;
  int pmode = _S_IREAD | _S_IWRITE;
};

errno_t openFile(int* pfh, const WCHAR* filename, const OpenRequest& request) {
  if (!pfh) return errno = EINVAL;
  *pfh = -1;
  constexpr int kKnown = 0x3 | _O_APPEND | _O_NOINHERIT | _O_CREAT | _O_TRUNC | _O_EXCL | _O_TEXT | _O_BINARY;
  const int oflag = request.oflag;
  const int access = oflag & 0x3;
  if (!filename || (oflag & ~kKnown) || access == 0x3 || ((oflag & _O_TEXT) && (oflag & _O_BINARY)) ||
      ((oflag & _O_TRUNC) && access == _O_RDONLY))
    return errno = EINVAL;
  ShareRequest share;
  share.read = access != _O_WRONLY;
  share.write = access != _O_RDONLY;
  switch (request.shflag) {
    case _SH_DENYRW:
      break;
    case _SH_DENYWR:
      share.shareRead = true;
      break;
    case _SH_DENYRD:
      share.shareWrite = true;
      break;
    case _SH_DENYNO:
      share.shareRead = share.shareWrite = true;
      break;
    default:
      return errno = EINVAL;
  }

  auto path = resolvePath(filename);
  if (!path) return errno = errnoFromWin32(path.error().code);
  const HostEntry entry = statHost(path->host);
  const bool exists = entry.kind != Kind::Missing;
  if (entry.kind == Kind::Folder) return errno = EACCES;
  if (exists && (oflag & _O_CREAT) && (oflag & _O_EXCL)) return errno = EEXIST;
  if (!exists && !(oflag & _O_CREAT)) return errno = ENOENT;
  if (!exists && statHost(path->host.parent_path()).kind != Kind::Folder) return errno = ENOENT;
  if (exists && share.write && isReadOnlyFile(entry.st)) return errno = EACCES;

  int hostFlags = O_CLOEXEC | (access == _O_RDONLY ? O_RDONLY : access == _O_WRONLY ? O_WRONLY : O_RDWR);
  if (oflag & _O_APPEND) hostFlags |= O_APPEND;
  // A new file is made exclusively, so that a file appearing meanwhile is
  // not taken over; truncation waits until the share check has passed.
  if (!exists) hostFlags |= O_CREAT | O_EXCL;
  auto file = std::make_shared<CrtFile>();
  file->host = ::open(path->host.c_str(), hostFlags, 0666);
  if (file->host < 0) return errno = (errno == EISDIR ? EACCES : errno == ENOTDIR ? ENOENT : errno);
  struct stat st {};
  ::fstat(file->host, &st);
  if (!acquireOpen(FileIdentity{st.st_dev, st.st_ino}, share, file->shareTicket)) {
    if (!exists) ::unlink(path->host.c_str());
    return errno = EACCES;
  }
  if (exists && (oflag & _O_TRUNC) && ::ftruncate(file->host, 0) != 0) return errno;
  if (!exists && !(request.pmode & _S_IWRITE))
    ::fchmod(file->host, st.st_mode & 07777 & ~(S_IWUSR | S_IWGRP | S_IWOTH));
  file->text = !(oflag & _O_BINARY);
  file->canRead = share.read;
  file->canWrite = share.write;
  file->drive = path->drive();
  const int fd = addFile(std::move(file));
  if (fd < 0) return errno = EMFILE;
  *pfh = fd;
  return 0;
}

/// Text-mode read: "\r\n" becomes "\n" (a "\r" at the end of the chunk
/// looks at the next byte), and Ctrl+Z ends the file.
int readText(int host, char* buffer, unsigned int count) {
  const ssize_t raw = readSome(host, buffer, count);
  if (raw <= 0) return static_cast<int>(raw);
  ssize_t out = 0;
  for (ssize_t i = 0; i < raw; ++i) {
    const char c = buffer[i];
    if (c == kCtrlZ) {
      // Leave the Ctrl+Z unread, so every later read ends there too.
      ::lseek(host, -(raw - i), SEEK_CUR);
      break;
    }
    if (c != '\r') {
      buffer[out++] = c;
    } else if (i + 1 < raw) {
      if (buffer[i + 1] == '\n') ++i;
      buffer[out++] = buffer[i];
    } else {
      char next = 0;
      const ssize_t peeked = readSome(host, &next, 1);
      if (peeked == 1 && next == '\n') {
        buffer[out++] = '\n';
      } else {
        buffer[out++] = '\r';
        if (peeked == 1) ::lseek(host, -1, SEEK_CUR);
      }
    }
  }
  return static_cast<int>(out);
}

}  // namespace

}  // namespace winsim::crt

using namespace winsim::crt;

errno_t _wsopen_s(int* pfh, const WCHAR* filename, int oflag, int shflag, int pmode) {
  return openFile(pfh, filename, OpenRequest{oflag, shflag, pmode});
}

errno_t _sopen_s(int* pfh, const char* filename, int oflag, int shflag, int pmode) {
  if (!filename) return openFile(pfh, nullptr, OpenRequest{oflag, shflag, pmode});
  const std::u16string wide = winsim::fromAnsi(filename);
  return openFile(pfh, wide.c_str(), OpenRequest{oflag, shflag, pmode});
}

int _wopen(const WCHAR* filename, int oflag, int pmode) {
  int fd = -1;
  return openFile(&fd, filename, OpenRequest{oflag, _SH_DENYNO, pmode}) == 0 ? fd : -1;
}

int _open(const char* filename, int oflag, int pmode) {
  int fd = -1;
  return _sopen_s(&fd, filename, oflag, _SH_DENYNO, pmode) == 0 ? fd : -1;
}

int _read(int fd, void* buffer, unsigned int count) {
  auto file = lookupFile(fd);
  if (!file || !file->canRead) return failErrno(EBADF);
  if (!buffer || count > INT_MAX) return failErrno(EINVAL);
  if (count == 0) return 0;
  if (file->text) return readText(file->host, static_cast<char*>(buffer), count);
  return static_cast<int>(readSome(file->host, buffer, count));
}

int _write(int fd, const void* buffer, unsigned int count) {
  auto file = lookupFile(fd);
  if (!file || !file->canWrite) return failErrno(EBADF);
  if (count == 0) return 0;
  if (!buffer || count > INT_MAX) return failErrno(EINVAL);
  if (winsim::files::driveIsFull(file->drive)) return failErrno(ENOSPC);
  const char* data = static_cast<const char*>(buffer);
  if (!file->text) return writeAll(file->host, data, count) ? static_cast<int>(count) : -1;
  std::string translated;
  translated.reserve(count + count / 8);
  for (unsigned int i = 0; i < count; ++i) {
    if (data[i] == '\n') translated.push_back('\r');
    translated.push_back(data[i]);
  }
  return writeAll(file->host, translated.data(), translated.size()) ? static_cast<int>(count) : -1;
}

long _lseek(int fd, long offset, int origin) {
  auto file = lookupFile(fd);
  if (!file) return failErrno(EBADF);
  if (origin != SEEK_SET && origin != SEEK_CUR && origin != SEEK_END) return failErrno(EINVAL);
  const off_t at = ::lseek(file->host, offset, origin);
  if (at < 0) return failErrno(EINVAL);
  if (at > INT32_MAX) return failErrno(EINVAL);
  return static_cast<long>(at);
}

int _close(int fd) {
  if (!takeFile(fd)) return failErrno(EBADF);
  return 0;
}

int _waccess(const WCHAR* path, int mode) {
  using namespace winsim::files;
  if (!path || (mode & ~6)) return failErrno(EINVAL);
  auto resolved = resolvePath(path);
  if (!resolved) return failErrno(ENOENT);
  const HostEntry entry = statHost(resolved->host);
  if (entry.kind == Kind::Missing) return failErrno(ENOENT);
  if ((mode & 2) && isReadOnlyFile(entry.st)) return failErrno(EACCES);
  return 0;
}

int _access(const char* path, int mode) {
  if (!path) return _waccess(nullptr, mode);
  const std::u16string wide = winsim::fromAnsi(path);
  return _waccess(wide.c_str(), mode);
}
