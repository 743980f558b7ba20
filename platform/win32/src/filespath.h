// Windows paths of the file API resolved to host paths of the machine, and
// the Win32 errors that a missing or refused path gives.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "win32/errors.h"
#include "win32/types.h"
#include "winsim/expected.h"

namespace winsim::files {

struct ResolvedPath {
  std::u16string full;         // C:\Folder\name.txt, "." and ".." folded
  std::filesystem::path host;  // existing components in their host spelling

  char16_t drive() const { return full[0]; }
  bool isRoot() const { return full.size() == 3; }
  /// The last component as the caller wrote it (empty for a root).
  std::u16string_view name() const;
  /// The folder that holds the path (the root itself for a root).
  std::u16string parent() const;
};

enum class AllowWildcards { No, InLastComponent };

/// Resolves a caller's path on the current machine. A null or empty path, no
/// machine or an unknown drive fail with ERROR_PATH_NOT_FOUND, a network path
/// with ERROR_BAD_NETPATH, and a name with a character Windows refuses in
/// names (< > : " | ? * or a control character) with ERROR_INVALID_NAME.
Expected<ResolvedPath> resolvePath(std::u16string_view path, AllowWildcards wildcards = AllowWildcards::No);
Expected<ResolvedPath> resolvePath(LPCWSTR path);

enum class Kind { Missing, File, Folder };
struct HostEntry {
  Kind kind = Kind::Missing;
  struct stat st {};
};
HostEntry statHost(const std::filesystem::path& host);

/// What Windows reports for a path that does not exist: ERROR_FILE_NOT_FOUND
/// when the folder that would hold it exists, ERROR_PATH_NOT_FOUND otherwise.
DWORD missingError(const ResolvedPath& path);

/// The Win32 error of a failed host call.
DWORD errorFromErrno(int error);

/// Sets the last error and gives FALSE: the surface's usual failure.
inline BOOL failWith(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace winsim::files
