#include "processobject.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "processtable.h"
#include "win32/errors.h"
#include "win32/process.h"

namespace winsim {

namespace {

constexpr DWORD kStatusAccessViolation = 0xC0000005;
constexpr DWORD kStatusIllegalInstruction = 0xC000001D;
constexpr DWORD kStatusIntegerDivideByZero = 0xC0000094;
constexpr DWORD kStatusControlCExit = 0xC000013A;
constexpr DWORD kAbortExitCode = 3;          // what the C runtime's abort() exits with
constexpr DWORD kKilledFromOutsideCode = 1;  // what a process ended from outside reports

DWORD exitCodeOf(int status, std::optional<DWORD> terminateCode) {
  if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
  if (!WIFSIGNALED(status)) return kKilledFromOutsideCode;
  switch (WTERMSIG(status)) {
    case SIGKILL:
      return terminateCode.value_or(kKilledFromOutsideCode);
    case SIGSEGV:
    case SIGBUS:
      return kStatusAccessViolation;
    case SIGILL:
      return kStatusIllegalInstruction;
    case SIGFPE:
      return kStatusIntegerDivideByZero;
    case SIGABRT:
      return kAbortExitCode;
    case SIGINT:
      return kStatusControlCExit;
    default:
      return kKilledFromOutsideCode;
  }
}

struct Orphan {
  pid_t pid;
  int pidfd;
  unsigned long long startTime;
  std::filesystem::path machineFolder;
};

// Never destroyed: process objects released by the handle table at exit
// still reach it.
struct Orphans {
  std::mutex mutex;
  std::vector<Orphan> list;
};
Orphans& orphans() {
  static Orphans* const instance = new Orphans;
  return *instance;
}

/// Collects a child's status without blocking; true when it has ended.
bool collect(pid_t pid, int* status) {
  for (;;) {
    const pid_t got = ::waitpid(pid, status, WNOHANG);
    if (got == pid) return true;
    if (got == 0) return false;
    if (errno == EINTR) continue;
    // ECHILD: someone else collected it (or the host discards children's
    // statuses); it has ended with no status to tell.
    *status = 0;
    return true;
  }
}

}  // namespace

ProcessObject::ProcessObject(pid_t pid, int pidfd, unsigned long long startTime, std::filesystem::path machineFolder)
    : m_pid(pid), m_pidfd(pidfd), m_startTime(startTime), m_machineFolder(std::move(machineFolder)) {}

ProcessObject::~ProcessObject() {
  std::lock_guard lock(m_mutex);
  if (!m_ended && !reap()) {
    Orphans& all = orphans();
    std::lock_guard orphansLock(all.mutex);
    all.list.push_back({m_pid, m_pidfd, m_startTime, m_machineFolder});
    return;
  }
  if (m_pidfd >= 0) ::close(m_pidfd);
}

bool ProcessObject::reap() {
  if (m_ended) return true;
  int status = 0;
  if (!collect(m_pid, &status)) return false;
  m_ended = true;
  m_exitCode = exitCodeOf(status, m_terminateCode);
  ProcessTable(m_machineFolder).remove(m_pid, m_startTime);
  return true;
}

DWORD ProcessObject::wait(DWORD milliseconds) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    {
      std::lock_guard lock(m_mutex);
      if (reap()) return WAIT_OBJECT_0;
    }
    int timeout = -1;  // poll's "no limit"
    if (milliseconds != INFINITE) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return WAIT_TIMEOUT;
      timeout = static_cast<int>(std::min<long long>(left, 1 << 30));
    }
    if (m_pidfd >= 0) {
      // Several threads may wait on one process: each polls; the first to
      // see it end collects the status under the lock.
      pollfd fd{m_pidfd, POLLIN, 0};
      if (::poll(&fd, 1, timeout) < 0 && errno != EINTR) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
      }
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(timeout < 0 ? 5 : std::min(timeout, 5)));
    }
  }
}

DWORD ProcessObject::exitCode() {
  std::lock_guard lock(m_mutex);
  return reap() ? m_exitCode : STILL_ACTIVE;
}

bool ProcessObject::terminate(DWORD code) {
  std::lock_guard lock(m_mutex);
  if (reap()) return false;
  // Until it is collected the pid cannot pass to another process, so the
  // signal reaches this child. Should it end on its own before the signal
  // lands, its own exit status is what it reports.
  m_terminateCode = code;
  return ::kill(m_pid, SIGKILL) == 0;
}

void reapOrphans() {
  Orphans& all = orphans();
  std::lock_guard lock(all.mutex);
  std::erase_if(all.list, [](const Orphan& orphan) {
    int status = 0;
    if (!collect(orphan.pid, &status)) return false;
    if (orphan.pidfd >= 0) ::close(orphan.pidfd);
    ProcessTable(orphan.machineFolder).remove(orphan.pid, orphan.startTime);
    return true;
  });
}

}  // namespace winsim
