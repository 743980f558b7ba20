// A process that this process started, as a kernel object: its handle waits
// for it, reads its exit code and ends it. All handles to one process share
// one ProcessObject, so they share its exit status.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "winsim/waitable.h"

namespace winsim {

class ProcessObject : public Waitable {
 public:
  /// Takes over a child just started; `pidfd` may be -1 where the host has no
  /// process file descriptors (the wait then polls).
  ProcessObject(pid_t pid, int pidfd, unsigned long long startTime, std::filesystem::path machineFolder);
  ~ProcessObject() override;
  ProcessObject(const ProcessObject&) = delete;
  ProcessObject& operator=(const ProcessObject&) = delete;

  pid_t pid() const { return m_pid; }
  DWORD wait(DWORD milliseconds) override;
  /// The exit code once the process has ended, else STILL_ACTIVE.
  DWORD exitCode();
  /// Ends the process with `code` as its exit code; false when it had
  /// already ended.
  bool terminate(DWORD code);

 private:
  /// Collects the exit status if the process has ended; m_mutex held.
  bool reap();

  const pid_t m_pid;
  const int m_pidfd;
  const unsigned long long m_startTime;
  const std::filesystem::path m_machineFolder;
  std::mutex m_mutex;
  bool m_ended = false;
  DWORD m_exitCode = 0;
  std::optional<DWORD> m_terminateCode;
};

/// The main thread of a started process: waiting for it waits for the
/// process, as the process ends with it.
class ThreadObject : public Waitable {
 public:
  explicit ThreadObject(std::shared_ptr<ProcessObject> process) : m_process(std::move(process)) {}
  DWORD wait(DWORD milliseconds) override { return m_process->wait(milliseconds); }

 private:
  std::shared_ptr<ProcessObject> m_process;
};

/// Collects the exit status of started processes whose handles were all
/// closed before they ended (so they leave no zombie behind for long).
void reapOrphans();

}  // namespace winsim
