// The C runtime's low-level file calls and path splitting, with the names,
// flag values and semantics of the Windows C runtime.
//
// Narrow paths are in the machine's ANSI code page, wide paths UTF-16; both
// go through the machine's file lookup (win32/files.h). Files open in text
// mode unless _O_BINARY is given: _write turns each "\n" into "\r\n" (and
// returns the count of the caller's bytes), _read turns "\r\n" into "\n" and
// stops at Ctrl+Z. Failures return -1 (or the error for the _s calls) and set
// errno with the host's values of the same names (ENOENT, EACCES, EEXIST,
// EBADF, EINVAL, ENOSPC, EMFILE, ERANGE).
//
// Share modes are kept among the opens of this process (see win32/files.h:
// a file the runtime holds open cannot be deleted or renamed).
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdio>  // SEEK_SET, SEEK_CUR, SEEK_END

#include "win32/types.h"

using errno_t = int;

constexpr int _O_RDONLY = 0x0000;
constexpr int _O_WRONLY = 0x0001;
constexpr int _O_RDWR = 0x0002;
constexpr int _O_APPEND = 0x0008;
constexpr int _O_NOINHERIT = 0x0080;
constexpr int _O_CREAT = 0x0100;
constexpr int _O_TRUNC = 0x0200;
constexpr int _O_EXCL = 0x0400;
constexpr int _O_TEXT = 0x4000;
constexpr int _O_BINARY = 0x8000;

constexpr int _SH_DENYRW = 0x10;
constexpr int _SH_DENYWR = 0x20;
constexpr int _SH_DENYRD = 0x30;
constexpr int _SH_DENYNO = 0x40;

/// Permission of a file that an open creates: without _S_IWRITE it is
/// read-only once created (the descriptor that created it may still write).
constexpr int _S_IWRITE = 0x0080;
constexpr int _S_IREAD = 0x0100;

constexpr std::size_t _MAX_PATH = 260;
constexpr std::size_t _MAX_DRIVE = 3;
constexpr std::size_t _MAX_DIR = 256;
constexpr std::size_t _MAX_FNAME = 256;
constexpr std::size_t _MAX_EXT = 256;

errno_t _sopen_s(int* pfh, const char* filename, int oflag, int shflag, int pmode);
errno_t _wsopen_s(int* pfh, const WCHAR* filename, int oflag, int shflag, int pmode);
/// Opens without a share restriction (_SH_DENYNO).
int _open(const char* filename, int oflag, int pmode = _S_IREAD | _S_IWRITE);
int _wopen(const WCHAR* filename, int oflag, int pmode = _S_IREAD | _S_IWRITE);

int _read(int fd, void* buffer, unsigned int count);
int _write(int fd, const void* buffer, unsigned int count);
/// Positions beyond 2^31 - 1 fail with EINVAL, as the 32-bit `long` of the
/// Windows runtime cannot hold them.
long _lseek(int fd, long offset, int origin);
int _close(int fd);

/// mode: 0 exists, 2 writable, 4 readable, 6 both; folders are always
/// readable and writable.
int _access(const char* path, int mode);
int _waccess(const WCHAR* path, int mode);

/// Splits "D:\dir\name.ext" into "D:", "\dir\", "name" and ".ext". A null
/// part with size 0 is not wanted; a part that does not fit gives ERANGE and
/// every part empty.
errno_t _wsplitpath_s(const WCHAR* path, WCHAR* drive, std::size_t driveNumberOfElements, WCHAR* dir,
                      std::size_t dirNumberOfElements, WCHAR* fname, std::size_t nameNumberOfElements, WCHAR* ext,
                      std::size_t extNumberOfElements);
/// Joins the parts: a colon after the drive letter, a backslash after a
/// folder that lacks one, a dot before an extension that lacks one. A result
/// that does not fit gives ERANGE and an empty path.
errno_t _wmakepath_s(WCHAR* path, std::size_t sizeInWords, const WCHAR* drive, const WCHAR* dir, const WCHAR* fname,
                     const WCHAR* ext);
