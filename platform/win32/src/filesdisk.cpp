// Disk space, the temporary folder and the current folder.
#include "filesdisk.h"

#include <sys/statvfs.h>

#include <algorithm>

#include "filespath.h"
#include "win32/files.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim::files {

std::optional<ULONGLONG> freeBytes(char16_t drive) {
  Machine* machine = currentMachine();
  if (!machine) return std::nullopt;
  const long long value = machine->profileInt(u"disk", std::u16string(1, upperCase(drive)), -1);
  if (value < 0) return std::nullopt;
  return static_cast<ULONGLONG>(value);
}

}  // namespace winsim::files

namespace {

/// Windows' rule for the calls that fill a caller's buffer with a path: the
/// length without the terminator when it fits, else the size needed with it.
DWORD copyPathOut(const std::u16string& path, DWORD capacity, LPWSTR buffer) {
  if (path.size() + 1 > capacity || !buffer) return static_cast<DWORD>(path.size() + 1);
  winsim::copyTruncated(path, buffer, capacity);
  return static_cast<DWORD>(path.size());
}

}  // namespace

BOOL GetDiskFreeSpaceExW(LPCWSTR lpDirectoryName, PULARGE_INTEGER lpFreeBytesAvailableToCaller,
                         PULARGE_INTEGER lpTotalNumberOfBytes, PULARGE_INTEGER lpTotalNumberOfFreeBytes) {
  using namespace winsim::files;
  winsim::Machine* machine = winsim::currentMachine();
  if (!machine) return failWith(ERROR_PATH_NOT_FOUND);
  const std::u16string folder = lpDirectoryName ? std::u16string(lpDirectoryName) : machine->currentFolder();
  auto path = resolvePath(folder);
  if (!path) return failWith(path.error().code);
  const HostEntry entry = statHost(path->host);
  if (entry.kind == Kind::Missing) return failWith(ERROR_PATH_NOT_FOUND);
  if (entry.kind != Kind::Folder) return failWith(ERROR_DIRECTORY);
  const auto free = freeBytes(path->drive());
  // A drive the profile gives no free space for is like a drive without a
  // medium: it is there but cannot be asked.
  if (!free) return failWith(ERROR_NOT_READY);
  ULONGLONG total = *free;
  if (struct statvfs volume; ::statvfs(path->host.c_str(), &volume) == 0)
    total = std::max<ULONGLONG>(total, static_cast<ULONGLONG>(volume.f_blocks) * volume.f_frsize);
  if (lpFreeBytesAvailableToCaller) lpFreeBytesAvailableToCaller->QuadPart = *free;
  if (lpTotalNumberOfBytes) lpTotalNumberOfBytes->QuadPart = total;
  if (lpTotalNumberOfFreeBytes) lpTotalNumberOfFreeBytes->QuadPart = *free;
  return TRUE;
}

DWORD GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
  winsim::Machine* machine = winsim::currentMachine();
  if (!machine) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  // Windows falls back to its own folder when no temporary folder is set.
  std::u16string temp = machine->profileString(u"folders", u"temp");
  if (temp.empty()) temp = machine->profileString(u"folders", u"windows", u"C:\\Windows");
  if (temp.back() != u'\\') temp += u'\\';
  return copyPathOut(temp, nBufferLength, lpBuffer);
}

DWORD GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer) {
  winsim::Machine* machine = winsim::currentMachine();
  if (!machine) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  return copyPathOut(machine->currentFolder(), nBufferLength, lpBuffer);
}

BOOL SetCurrentDirectoryW(LPCWSTR lpPathName) {
  using namespace winsim::files;
  auto path = resolvePath(lpPathName);
  if (!path) return failWith(path.error().code);
  const HostEntry entry = statHost(path->host);
  if (entry.kind == Kind::Missing) return failWith(missingError(*path));
  if (entry.kind != Kind::Folder) return failWith(ERROR_DIRECTORY);
  if (auto changed = winsim::currentMachine()->setCurrentFolder(path->full); !changed)
    return failWith(changed.error().code);
  return TRUE;
}
