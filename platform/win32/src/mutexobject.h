// Mutexes as kernel objects.
//
// Ownership belongs to one thread at a time and is recursive. Within a
// process, threads queue on a condition variable. A named mutex adds two
// files under MACHINE/state/mutexes/, locked with flock, whose locks vanish
// with their process however it ends:
//   NAME.open   every process with a handle holds a shared lock: a mutex
//               exists while anyone holds one, and whoever gets the
//               exclusive lock alone is its creator;
//   NAME.owner  the owning process holds an exclusive lock, and writes who it
//               is into the file; a next owner that finds it written knows the
//               last owner ended without releasing it (WAIT_ABANDONED).
// Turning an exclusive flock into a shared one is not atomic, so creating and
// opening take a machine-wide lock (MACHINE/state/mutexes/.create.lock).
// The files stay; their locks are what tells.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "winsim/expected.h"
#include "winsim/machine.h"
#include "winsim/waitable.h"

namespace winsim {

/// A file descriptor owned by one object; closing it drops its flocks.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return m_fd; }
  explicit operator bool() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

class MutexObject : public Waitable {
 public:
  /// A mutex of this process only.
  static std::shared_ptr<MutexObject> createUnnamed(bool initialOwner);

  enum class IfMissing { Create, Fail };
  struct Opened {
    std::shared_ptr<MutexObject> mutex;
    bool existed = false;
  };
  /// The machine's mutex of that name; a new one is owned by the calling
  /// thread when `initialOwner`. With IfMissing::Fail a name that nobody has
  /// open fails with ERROR_FILE_NOT_FOUND.
  static Expected<Opened> openNamed(const Machine& machine, std::u16string_view name, IfMissing ifMissing,
                                    bool initialOwner);

  ~MutexObject() override;

  DWORD wait(DWORD milliseconds) override;
  /// Gives up one level of the calling thread's ownership.
  Status release();

 private:
  MutexObject() = default;
  /// Takes the owner file's lock before `deadline` (or without limit); false
  /// on timeout.
  bool lockOwnerFile(DWORD milliseconds);
  /// Marks this process the owner in the owner file; true when the last owner
  /// had left it marked (it ended while owning).
  bool markOwner();

  std::mutex m_mutex;
  std::condition_variable m_released;
  pid_t m_ownerThread = 0;  // the thread owning or acquiring it, 0 when free
  unsigned m_count = 0;     // recursion depth of the owner
  FileDescriptor m_openFile;
  FileDescriptor m_ownerFile;
  std::string m_key;  // machine folder + name, for the process's registry
};

}  // namespace winsim
