// Small file-system routines of the install and uninstall procedures and the
// pages: folder chains, path tests, pruning empty folders, free disk space.
//
// Paths live in 260-character buffers: a path of more than 259 characters
// (or, where a path is tested in ANSI, more than 259 bytes) is refused as the
// routine's failure, never cut.
#pragma once

#include "afx.h"

/// The free bytes an installation needs on the target volume: 500 MiB.
constexpr ULONGLONG kRequiredFreeBytes = 524288000;

/// Creates every missing folder of `path` that a separator (\ or /) follows,
/// outermost first, appending the two CreateDirectory records for each one it
/// creates. Pass a path ending in a backslash to create its last component.
/// False at the first folder that cannot be created (those created stay), and
/// for a path longer than 259 characters.
BOOL CreateDirectoryChain(LPCWSTR path);

/// A file or folder of that path exists; the path is tested in its ANSI form.
BOOL PathExists(LPCWSTR path);

/// The path does not exist, or its listing finds nothing but "." and "..".
/// False for a path whose listing pattern would not fit 260 characters.
BOOL IsFolderEmpty(LPCWSTR path);

/// Removes the empty folders of the tree at `path`, and `path` itself when no
/// file lies directly in it, setting every entry's attributes to normal on
/// the way. Files are never deleted. Once a folder's listing has met a file,
/// the subfolders listed after it are left as they are (neither pruned nor
/// removed). Failures are not reported.
void PruneEmptyFolders(LPCWSTR path);

/// Checks the free space of the volume of `folder`: 1 when at least
/// kRequiredFreeBytes are free, 2 (after text 2001) when fewer are, 0 (after
/// text 2002) when the query fails. The texts go to the framework's box.
int CheckDiskSpace(LPCWSTR folder);
