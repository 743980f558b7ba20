// The machine's process table: MACHINE/state/processes/ holds one file per
// running program of the machine, named "PID-STARTTIME" (the start time from
// /proc/PID/stat, in clock ticks since boot, so that a reused pid never passes
// for the program that had it), holding the program's Windows image path in
// UTF-8. Files are written atomically (temporary file, rename). A record
// whose process is gone, a zombie, or a pid now held by another process is
// dead: it is never reported, and is removed when seen.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "winsim/expected.h"

namespace winsim {

/// What /proc/PID/stat tells of a host process.
struct HostProcessInfo {
  char state = '?';  // R, S, D, Z (zombie), X (dead), ...
  pid_t parent = 0;
  unsigned long long startTime = 0;
  long threads = 0;
};
std::optional<HostProcessInfo> readHostProcess(pid_t pid);

struct ProcessRecord {
  pid_t pid = 0;
  unsigned long long startTime = 0;
  std::u16string image;  // full Windows path
};

class ProcessTable {
 public:
  explicit ProcessTable(const std::filesystem::path& machineFolder);

  Status add(const ProcessRecord& record) const;
  void remove(pid_t pid, unsigned long long startTime) const;
  /// The records of the programs running now, oldest first.
  std::vector<ProcessRecord> running() const;

 private:
  std::filesystem::path m_folder;
};

}  // namespace winsim
