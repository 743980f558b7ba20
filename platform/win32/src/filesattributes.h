// File attributes kept with the host file: READONLY of a file in its write
// bits, the rest in an extended attribute (see win32/files.h).
#pragma once

#include <sys/stat.h>

#include <filesystem>

#include "win32/types.h"
#include "winsim/expected.h"

namespace winsim::files {

/// The attributes Windows would report for an existing host entry.
DWORD readAttributes(const std::filesystem::path& host, const struct stat& st);
/// Sets READONLY, HIDDEN, SYSTEM and ARCHIVE; other bits are ignored, as
/// SetFileAttributesW ignores DIRECTORY and NORMAL alone clears everything.
Status writeAttributes(const std::filesystem::path& host, const struct stat& st, DWORD attributes);
/// Gives `to` the stored attributes of `from` (CopyFileW keeps them).
void copyStoredAttributes(const std::filesystem::path& from, const std::filesystem::path& to);

inline bool isReadOnlyFile(const struct stat& st) {
  return !S_ISDIR(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace winsim::files
