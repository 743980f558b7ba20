// The host side of the registry: file identity, flock, and the atomic
// replacement of MACHINE/registry.reg.
#include "registrystore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>

#include "registrylocation.h"
#include "win32/errors.h"

namespace winsim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRegistryFile = "registry.reg";
constexpr const char* kLockFile = "registry.lock";
constexpr const char* kTemporarySuffix = ".tmp";

/// Identifies one version of the file: every write renames a new file into
/// place, so a new version has a new inode (and new times even when the
/// kernel reuses the inode).
struct FileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  bool operator==(const FileStamp& o) const {
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
           changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
  }
};

FileStamp stampOf(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return FileStamp{true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

FILETIME fileTimeOf(const FileStamp& stamp) {
  // FILETIME counts 100 ns from 1601-01-01; the host counts from 1970.
  constexpr std::uint64_t kEpochDifference = 11644473600ULL;
  const std::uint64_t ticks =
      stamp.exists ? (static_cast<std::uint64_t>(stamp.modified.tv_sec) + kEpochDifference) * 10000000ULL +
                         static_cast<std::uint64_t>(stamp.modified.tv_nsec) / 100
                   : 0;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

Error ioError(const std::string& what, const fs::path& path) {
  return makeError(ERROR_REGISTRY_IO_FAILED, what + " " + path.string() + ": " + std::strerror(errno));
}

/// An flock held on the machine's registry lock file; released on destruction
/// (and by the kernel when the process dies, however it dies).
class RegistryLock {
 public:
  static Expected<RegistryLock> acquire(const Machine& machine, int operation) {
    const fs::path folder = machine.stateFile("state");
    std::error_code ec;
    fs::create_directories(folder, ec);
    const fs::path path = folder / kLockFile;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return ioError("cannot open", path);
    RegistryLock lock(fd);
    while (::flock(fd, operation) != 0) {
      if (errno != EINTR) return ioError("cannot lock", path);
    }
    return lock;
  }

  RegistryLock(RegistryLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  RegistryLock& operator=(RegistryLock&&) = delete;
  ~RegistryLock() {
    if (m_fd >= 0) ::close(m_fd);
  }

 private:
  explicit RegistryLock(int fd) : m_fd(fd) {}
  int m_fd = -1;
};

/// Temporary files left by writers that died before their rename. Only
/// called under the exclusive lock, so no live writer owns one.
void removeStaleTemporaries(const fs::path& folder) {
  const std::string prefix = std::string(kRegistryFile) + ".";
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > prefix.size() + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
        name.compare(name.size() - 4, 4, kTemporarySuffix) == 0)
      ::unlink(it->path().c_str());
  }
}

Status writeAll(int fd, std::string_view bytes, const fs::path& path) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return ioError("cannot write", path);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

/// Writes the new file beside the old one, flushes it and renames it into
/// place: readers and a crash see the old file or the new one, never a part.
Status replaceFile(const fs::path& target, std::string_view bytes) {
  const fs::path folder = target.parent_path();
  removeStaleTemporaries(folder);
  const fs::path temp = folder / (target.filename().string() + "." + std::to_string(::getpid()) + kTemporarySuffix);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return ioError("cannot create", temp);
  Status written = writeAll(fd, bytes, temp);
  if (written && ::fsync(fd) != 0) written = ioError("cannot flush", temp);
  if (::close(fd) != 0 && written) written = ioError("cannot close", temp);
  if (written && ::rename(temp.c_str(), target.c_str()) != 0) written = ioError("cannot replace", target);
  if (!written) {
    ::unlink(temp.c_str());
    return written;
  }
  // The rename itself reaches the disk with the folder.
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

struct Cache {
  fs::path folder;
  bool loaded = false;
  bool has32BitView = true;
  FileStamp stamp;
  RegistryTree tree;
  std::optional<Error> damage;
};

std::mutex g_mutex;
Cache g_cache;  // guarded by g_mutex

/// Brings the cache up to the file (lock held).
Status refresh(const Machine& machine, bool has32BitView) {
  const fs::path file = machine.stateFile(kRegistryFile);
  const FileStamp stamp = stampOf(file);
  if (g_cache.loaded && g_cache.folder == machine.folder() && g_cache.stamp == stamp &&
      g_cache.has32BitView == has32BitView)
    return g_cache.damage ? Status(*g_cache.damage) : Status();

  g_cache = Cache{};
  g_cache.folder = machine.folder();
  g_cache.has32BitView = has32BitView;
  g_cache.stamp = stamp;
  auto tree = readRegistryFile(file);
  if (!tree) {
    // A file that cannot be read is not cached: the next access tries again.
    if (tree.error().code != ERROR_REGISTRY_CORRUPT) return tree.error();
    g_cache.damage = tree.error();
    g_cache.loaded = true;
    return tree.error();
  }
  g_cache.tree = std::move(tree.value());
  addFixedKeys(g_cache.tree, has32BitView);
  g_cache.loaded = true;
  return {};
}

Error noMachine() { return makeError(ERROR_CANTOPEN, "no machine: WINSIM_MACHINE is not set"); }

}  // namespace

Status readRegistry(const std::function<Status(const RegistryTree&, const RegistryContext&)>& work) {
  Machine* machine = currentMachine();
  if (!machine) return noMachine();
  const bool has32BitView = machineHas32BitView(*machine);
  std::lock_guard guard(g_mutex);
  auto lock = RegistryLock::acquire(*machine, LOCK_SH);
  if (!lock) return lock.error();
  if (auto fresh = refresh(*machine, has32BitView); !fresh) return fresh;
  return work(g_cache.tree, RegistryContext{*machine, has32BitView, fileTimeOf(g_cache.stamp)});
}

Status changeRegistry(const std::function<Expected<RegistryChange>(RegistryTree&, const RegistryContext&)>& work) {
  Machine* machine = currentMachine();
  if (!machine) return noMachine();
  const bool has32BitView = machineHas32BitView(*machine);
  std::lock_guard guard(g_mutex);
  auto lock = RegistryLock::acquire(*machine, LOCK_EX);
  if (!lock) return lock.error();
  if (auto fresh = refresh(*machine, has32BitView); !fresh) return fresh;

  auto change = work(g_cache.tree, RegistryContext{*machine, has32BitView, fileTimeOf(g_cache.stamp)});
  if (!change) {
    g_cache.loaded = false;
    return change.error();
  }
  if (change.value() == RegistryChange::None) return {};

  const fs::path file = machine->stateFile(kRegistryFile);
  const std::string bytes = serializeRegistryFile(g_cache.tree);
  Status written =
      bytes.size() > kMaxRegistryFileBytes
          ? Status(makeError(ERROR_NOT_ENOUGH_MEMORY,
                             "the registry would grow past " + std::to_string(kMaxRegistryFileBytes) + " bytes"))
          : replaceFile(file, bytes);
  if (!written) {
    g_cache.loaded = false;
    return written;
  }
  g_cache.stamp = stampOf(file);
  return {};
}

}  // namespace winsim
