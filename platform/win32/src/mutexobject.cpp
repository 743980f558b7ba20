#include "mutexobject.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <map>
#include <thread>

#include "win32/errors.h"
#include "win32/process.h"
#include "winsim/text.h"

namespace winsim {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Every handle of this process to one named mutex shares one object, so that
// ownership between the process's threads is decided in-process. Never
// destroyed: the handle table, which may outlive it at exit, reaches it from
// the objects it releases.
struct Registry {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<MutexObject>> named;
};
Registry& registry() {
  static Registry* const instance = new Registry;
  return *instance;
}

/// A file name for a mutex name: bytes outside [A-Za-z0-9_-] as %XX; a name
/// too long for a file name keeps its start and gets a hash of the whole.
std::string fileStem(std::u16string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string utf8 = toUtf8(name);
  std::string stem;
  for (const unsigned char c : utf8) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
      stem += static_cast<char>(c);
    } else {
      stem += '%';
      stem += kHex[c >> 4];
      stem += kHex[c & 15];
    }
  }
  constexpr std::size_t kMaxStem = 160;
  if (stem.size() > kMaxStem) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
    for (const unsigned char c : utf8) hash = (hash ^ c) * 0x100000001b3ULL;
    stem.resize(kMaxStem - 17);
    stem += '~';
    for (int shift = 60; shift >= 0; shift -= 4) stem += kHex[(hash >> shift) & 15];
  }
  return stem;
}

FileDescriptor openLockFile(const fs::path& path) {
  return FileDescriptor(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
}

int lockFile(int fd, int operation) {
  int result;
  do {
    result = ::flock(fd, operation);
  } while (result != 0 && errno == EINTR);
  return result;
}

pid_t currentThread() { return ::gettid(); }

}  // namespace

FileDescriptor::~FileDescriptor() {
  if (m_fd >= 0) ::close(m_fd);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = other.m_fd;
    other.m_fd = -1;
  }
  return *this;
}

std::shared_ptr<MutexObject> MutexObject::createUnnamed(bool initialOwner) {
  std::shared_ptr<MutexObject> mutex(new MutexObject());
  if (initialOwner) {
    mutex->m_ownerThread = currentThread();
    mutex->m_count = 1;
  }
  return mutex;
}

Expected<MutexObject::Opened> MutexObject::openNamed(const Machine& machine, std::u16string_view name,
                                                     IfMissing ifMissing, bool initialOwner) {
  const std::string key = machine.folder().string() + '\n' + toUtf8(name);
  Registry& known = registry();
  std::lock_guard lock(known.mutex);
  if (auto it = known.named.find(key); it != known.named.end()) {
    if (auto existing = it->second.lock()) return Opened{existing, true};
  }

  const fs::path folder = machine.folder() / "state" / "mutexes";
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::string stem = fileStem(name);
  FileDescriptor createLock = openLockFile(folder / ".create.lock");
  FileDescriptor openFile = openLockFile(folder / (stem + ".open"));
  FileDescriptor ownerFile = openLockFile(folder / (stem + ".owner"));
  if (!createLock || !openFile || !ownerFile || lockFile(createLock.get(), LOCK_EX) != 0)
    return makeError(ERROR_ACCESS_DENIED, "cannot open the mutex files in " + folder.string());

  bool existed = false;
  if (lockFile(openFile.get(), LOCK_EX | LOCK_NB) == 0) {
    // No process has it open: it is new.
    if (ifMissing == IfMissing::Fail) return makeError(ERROR_FILE_NOT_FOUND, "no mutex " + toUtf8(name));
    // A mark left by an owner of an earlier mutex of this name that ended
    // while owning belongs to that mutex, not to this one.
    if (::ftruncate(ownerFile.get(), 0) != 0)
      return makeError(ERROR_ACCESS_DENIED, "cannot reset the mutex files in " + folder.string());
  } else if (errno == EWOULDBLOCK) {
    existed = true;
  } else {
    return makeError(ERROR_ACCESS_DENIED, "cannot lock the mutex files in " + folder.string());
  }
  // Only creators take the exclusive lock, and only under the creation lock
  // we hold, so the shared lock is granted at once.
  if (lockFile(openFile.get(), LOCK_SH) != 0)
    return makeError(ERROR_ACCESS_DENIED, "cannot lock the mutex files in " + folder.string());

  std::shared_ptr<MutexObject> mutex(new MutexObject());
  mutex->m_openFile = std::move(openFile);
  mutex->m_ownerFile = std::move(ownerFile);
  if (!existed && initialOwner) {
    // Nobody else has the mutex open, so nobody holds its owner lock.
    if (lockFile(mutex->m_ownerFile.get(), LOCK_EX) != 0)
      return makeError(ERROR_ACCESS_DENIED, "cannot lock the mutex files in " + folder.string());
    (void)mutex->markOwner();
    mutex->m_ownerThread = currentThread();
    mutex->m_count = 1;
  }
  // Set last: an object given up on the way here must not reach for the
  // registry lock this function holds.
  mutex->m_key = key;
  known.named[key] = mutex;
  return Opened{mutex, existed};
}

MutexObject::~MutexObject() {
  if (m_key.empty()) return;
  Registry& known = registry();
  std::lock_guard lock(known.mutex);
  if (auto it = known.named.find(m_key); it != known.named.end() && it->second.expired()) known.named.erase(it);
  // The descriptors close after this: the owner lock first (it is declared
  // last), so that nobody sees the mutex gone while its owner lock is held.
}

bool MutexObject::lockOwnerFile(DWORD milliseconds) {
  const int fd = m_ownerFile.get();
  if (milliseconds == INFINITE) return lockFile(fd, LOCK_EX) == 0;
  // flock has no time limit: try, and sleep a little longer each time.
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (lockFile(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK) return false;
    const auto now = Clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(20));
  }
}

bool MutexObject::markOwner() {
  char previous[64];
  const bool marked = ::pread(m_ownerFile.get(), previous, sizeof previous, 0) > 0;
  const std::string mark = std::to_string(::getpid()) + " " + std::to_string(currentThread()) + "\n";
  if (::ftruncate(m_ownerFile.get(), 0) != 0 || ::pwrite(m_ownerFile.get(), mark.data(), mark.size(), 0) < 0) {
    // Without the mark an owner that crashes is not reported as abandoned;
    // ownership itself is the lock and stands.
  }
  return marked;
}

DWORD MutexObject::wait(DWORD milliseconds) {
  const pid_t self = currentThread();
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds == INFINITE ? 0 : milliseconds);
  std::unique_lock lock(m_mutex);
  if (m_ownerThread == self && m_count > 0) {
    if (m_count == UINT_MAX) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return WAIT_FAILED;
    }
    ++m_count;
    return WAIT_OBJECT_0;
  }
  while (m_ownerThread != 0) {
    if (milliseconds == INFINITE) {
      m_released.wait(lock);
    } else if (m_released.wait_until(lock, deadline) == std::cv_status::timeout && m_ownerThread != 0) {
      return WAIT_TIMEOUT;
    }
  }
  // Claimed for this thread: the process's other threads wait while it takes
  // the machine-wide lock.
  m_ownerThread = self;
  bool abandoned = false;
  if (m_ownerFile) {
    lock.unlock();
    DWORD left = INFINITE;
    if (milliseconds != INFINITE) {
      const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      left = static_cast<DWORD>(std::max<long long>(rest, 0));
    }
    const bool locked = lockOwnerFile(left);
    if (locked) abandoned = markOwner();
    lock.lock();
    if (!locked) {
      m_ownerThread = 0;
      m_released.notify_one();
      return WAIT_TIMEOUT;
    }
  }
  m_count = 1;
  return abandoned ? WAIT_ABANDONED : WAIT_OBJECT_0;
}

Status MutexObject::release() {
  std::lock_guard lock(m_mutex);
  if (m_ownerThread != currentThread() || m_count == 0)
    return makeError(ERROR_NOT_OWNER, "the calling thread does not own the mutex");
  if (--m_count > 0) return {};
  if (m_ownerFile) {
    // Cleared before unlocking: a mark found by the next owner means that
    // its last owner ended without getting here.
    if (::ftruncate(m_ownerFile.get(), 0) != 0) {
      // The next owner will be told the mutex was abandoned; it still gets it.
    }
    lockFile(m_ownerFile.get(), LOCK_UN);
  }
  m_ownerThread = 0;
  m_released.notify_one();
  return {};
}

}  // namespace winsim
