// CFile over the C runtime's descriptors (win32/crt.h), which resolve the
// machine's paths and keep the share modes of every open in the process.
#include <cerrno>
#include <algorithm>
#include <climits>
#include <string>

#include "afxgdi.h"
#include "win32/crt.h"
#include "win32/errors.h"
#include "win32/files.h"

namespace {

/// The folder part of a path ("C:\a\b.bmp" -> "C:\a"), empty without one.
std::u16string folderOf(LPCWSTR path) {
  std::u16string const text(path);
  std::size_t const slash = text.find_last_of(u"\\/");
  return slash == std::u16string::npos ? std::u16string() : text.substr(0, slash);
}

struct OpenFailure {
  int cause;
  DWORD error;
};

OpenFailure failureOf(int error, LPCWSTR path) {
  switch (error) {
    case ENOENT: {
      std::u16string const folder = folderOf(path);
      bool const folderMissing =
          !folder.empty() && folder.back() != u':' && ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
      return folderMissing ? OpenFailure{CFileException::badPath, ERROR_PATH_NOT_FOUND}
                           : OpenFailure{CFileException::fileNotFound, ERROR_FILE_NOT_FOUND};
    }
    case EACCES:
      // The runtime answers a read-only file, a folder and another open's
      // share mode alike.
      return {CFileException::accessDenied, ERROR_ACCESS_DENIED};
    case EMFILE:
      return {CFileException::tooManyOpenFiles, ERROR_TOO_MANY_OPEN_FILES};
    case ENOSPC:
      return {CFileException::diskFull, ERROR_DISK_FULL};
    case EINVAL:
      return {CFileException::genericException, ERROR_INVALID_PARAMETER};
    default:
      return {CFileException::genericException, ERROR_GEN_FAILURE};
  }
}

bool report(CFileException* pError, LPCWSTR path, OpenFailure failure) {
  ::SetLastError(failure.error);
  if (pError != nullptr) {
    pError->m_cause = failure.cause;
    pError->m_lOsError = static_cast<LONG>(failure.error);
    pError->m_strFileName = path;
  }
  return false;
}

int accessFlags(UINT flags) {
  switch (flags & 0x3) {
    case CFile::modeWrite:
      return _O_WRONLY;
    case CFile::modeReadWrite:
      return _O_RDWR;
    default:
      return _O_RDONLY;
  }
}

int shareFlags(UINT flags) {
  switch (flags & 0x70) {
    case CFile::shareDenyWrite:
      return _SH_DENYWR;
    case CFile::shareDenyRead:
      return _SH_DENYRD;
    case CFile::shareDenyNone:
      return _SH_DENYNO;
    default:  // shareCompat, shareExclusive
      return _SH_DENYRW;
  }
}

}  // namespace

CFile::~CFile() {
  if (m_fd >= 0) _close(m_fd);
}

BOOL CFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  if (pError != nullptr) *pError = CFileException();
  if (m_fd >= 0 || lpszFileName == nullptr || (nOpenFlags & 0x3) == 0x3 || (nOpenFlags & 0x70) > shareDenyNone)
    return report(pError, lpszFileName ? lpszFileName : u"",
                  {CFileException::genericException, ERROR_INVALID_PARAMETER});
  int oflag = accessFlags(nOpenFlags) | _O_BINARY;
  if (nOpenFlags & modeNoInherit) oflag |= _O_NOINHERIT;
  if (nOpenFlags & modeCreate) {
    oflag |= _O_CREAT;
    if (!(nOpenFlags & modeNoTruncate)) oflag |= _O_TRUNC;
  }
  int fd = -1;
  errno_t const error = _wsopen_s(&fd, lpszFileName, oflag, shareFlags(nOpenFlags), _S_IREAD | _S_IWRITE);
  if (error != 0) return report(pError, lpszFileName, failureOf(error, lpszFileName));
  m_fd = fd;
  m_strFileName = lpszFileName;
  return TRUE;
}

void CFile::Close() {
  if (m_fd >= 0) _close(m_fd);
  m_fd = -1;
  m_strFileName.Empty();
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (m_fd < 0) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (nCount == 0) return 0;
  if (lpBuf == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The runtime reads at most INT_MAX bytes a call.
  auto* out = static_cast<char*>(lpBuf);
  UINT total = 0;
  while (total < nCount) {
    unsigned const chunk = std::min<unsigned>(nCount - total, INT_MAX);
    int const got = _read(m_fd, out + total, chunk);
    if (got < 0) {
      ::SetLastError(ERROR_READ_FAULT);
      return total;
    }
    if (got == 0) break;
    total += static_cast<UINT>(got);
  }
  return total;
}

BOOL CFile::Write(const void* lpBuf, UINT nCount) {
  if (m_fd < 0) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (nCount == 0) return TRUE;
  if (lpBuf == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto* in = static_cast<const char*>(lpBuf);
  UINT total = 0;
  while (total < nCount) {
    unsigned const chunk = std::min<unsigned>(nCount - total, INT_MAX);
    int const put = _write(m_fd, in + total, chunk);
    if (put <= 0) {
      ::SetLastError(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
      return FALSE;
    }
    total += static_cast<UINT>(put);
  }
  return TRUE;
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  if (m_fd < 0 || nFrom > end) {
    ::SetLastError(m_fd < 0 ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return kSeekFailed;
  }
  long const here = _lseek(m_fd, 0, SEEK_CUR);
  long const base = nFrom == begin ? 0 : nFrom == current ? here : _lseek(m_fd, 0, SEEK_END);
  // The position goes back where it was if the target is refused.
  if (nFrom == end) _lseek(m_fd, here, SEEK_SET);
  if (here < 0 || base < 0) {
    ::SetLastError(ERROR_GEN_FAILURE);
    return kSeekFailed;
  }
  LONGLONG const target = static_cast<LONGLONG>(base) + lOff;
  if (target < 0) {
    ::SetLastError(ERROR_NEGATIVE_SEEK);
    return kSeekFailed;
  }
  if (target > LONG_MAX || _lseek(m_fd, static_cast<long>(target), SEEK_SET) < 0) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return kSeekFailed;
  }
  return static_cast<ULONGLONG>(target);
}

ULONGLONG CFile::GetPosition() const {
  if (m_fd < 0) return 0;
  long const here = _lseek(m_fd, 0, SEEK_CUR);
  return here < 0 ? 0 : static_cast<ULONGLONG>(here);
}

ULONGLONG CFile::GetLength() const {
  if (m_fd < 0) return 0;
  long const here = _lseek(m_fd, 0, SEEK_CUR);
  long const length = _lseek(m_fd, 0, SEEK_END);
  _lseek(m_fd, here, SEEK_SET);
  return length < 0 ? 0 : static_cast<ULONGLONG>(length);
}
