// The share modes of the files this process holds open.
//
// Windows refuses to open a file in a way that an open handle's share mode
// excludes, and to delete or rename a file that a handle opened without
// delete sharing (the C runtime never shares delete). The layer keeps that
// record for the opens of this process; opens in other processes of the
// machine are not seen.
#pragma once

#include <sys/types.h>

#include <cstdint>

namespace winsim::files {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
};

struct ShareRequest {
  bool read = false;  // access wanted
  bool write = false;
  bool shareRead = false;  // what later opens may do
  bool shareWrite = false;
};

/// Records an open; false when an open handle's share mode excludes it.
/// `ticket` names the record for releaseOpen.
bool acquireOpen(const FileIdentity& file, const ShareRequest& request, std::uint64_t& ticket);
void releaseOpen(std::uint64_t ticket);

/// Whether the file may be deleted or renamed now: no open handle of it.
bool mayDelete(const FileIdentity& file);

}  // namespace winsim::files
