// Process snapshots of the machine (CreateToolhelp32Snapshot).
#include <unistd.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "processobject.h"
#include "processtable.h"
#include "tlhelp32.h"
#include "win32/errors.h"
#include "winsim/handles.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace {

// Processes that exist only in the profile get ids far above the host's
// (its pids stay below 2^22), multiples of 4 as Windows's are.
constexpr DWORD kProfileProcessIdBase = 0x40000000;
constexpr LONG kNormalPriority = 8;
constexpr char16_t kIdleProcessName[] = u"[System Process]";

struct Entry {
  DWORD processId = 0;
  DWORD parentId = 0;
  DWORD threads = 1;
  std::u16string exeFile;
};

class SnapshotObject : public winsim::KernelObject {
 public:
  explicit SnapshotObject(std::vector<Entry> entries) : m_entries(std::move(entries)) {}

  BOOL fill(LPPROCESSENTRY32W entry, bool first) {
    if (!entry) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    if (entry->dwSize < sizeof(PROCESSENTRY32W)) {
      SetLastError(ERROR_BAD_LENGTH);
      return FALSE;
    }
    std::lock_guard lock(m_mutex);
    if (first) m_next = 0;
    if (m_next >= m_entries.size()) {
      SetLastError(ERROR_NO_MORE_FILES);
      return FALSE;
    }
    const Entry& e = m_entries[m_next++];
    entry->cntUsage = 0;
    entry->th32ProcessID = e.processId;
    entry->th32DefaultHeapID = 0;
    entry->th32ModuleID = 0;
    entry->cntThreads = e.threads;
    entry->th32ParentProcessID = e.parentId;
    entry->pcPriClassBase = kNormalPriority;
    entry->dwFlags = 0;
    winsim::copyTruncated(e.exeFile, entry->szExeFile, MAX_PATH);
    return TRUE;
  }

 private:
  std::mutex m_mutex;
  const std::vector<Entry> m_entries;
  std::size_t m_next = 0;
};

std::u16string fileName(std::u16string_view path) {
  const auto at = path.find_last_of(u"\\/");
  return std::u16string(at == std::u16string_view::npos ? path : path.substr(at + 1));
}

std::u16string trimmed(std::u16string_view text) {
  const auto first = text.find_first_not_of(u" \t");
  if (first == std::u16string_view::npos) return {};
  const auto last = text.find_last_not_of(u" \t");
  return std::u16string(text.substr(first, last - first + 1));
}

}  // namespace

HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID) {
  if ((dwFlags & TH32CS_SNAPPROCESS) == 0) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return INVALID_HANDLE_VALUE;
  }
  winsim::Machine* machine = winsim::currentMachine();
  if (!machine) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  winsim::reapOrphans();

  std::vector<Entry> entries;
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  entries.push_back({0, 0, processors, kIdleProcessName});

  const std::u16string running = machine->profileString(u"processes", u"running");
  DWORD nextProfileId = kProfileProcessIdBase;
  for (std::size_t start = 0; start <= running.size();) {
    std::size_t end = running.find(u',', start);
    if (end == std::u16string::npos) end = running.size();
    const std::u16string name = trimmed(std::u16string_view(running).substr(start, end - start));
    if (!name.empty()) {
      entries.push_back({nextProfileId, 0, 1, fileName(name)});
      nextProfileId += 4;
    }
    start = end + 1;
  }

  for (const auto& record : winsim::ProcessTable(machine->folder()).running()) {
    Entry entry{static_cast<DWORD>(record.pid), 0, 1, fileName(record.image)};
    if (const auto info = winsim::readHostProcess(record.pid)) {
      entry.parentId = static_cast<DWORD>(info->parent);
      entry.threads = static_cast<DWORD>(std::max(1L, info->threads));
    }
    entries.push_back(std::move(entry));
  }
  return winsim::addHandle(std::make_shared<SnapshotObject>(std::move(entries)));
}

BOOL Process32FirstW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe) {
  auto snapshot = winsim::lookupHandleAs<SnapshotObject>(hSnapshot);
  if (!snapshot) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return snapshot->fill(lppe, true);
}

BOOL Process32NextW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe) {
  auto snapshot = winsim::lookupHandleAs<SnapshotObject>(hSnapshot);
  if (!snapshot) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return snapshot->fill(lppe, false);
}
