#include "winsim/handles.h"

#include <mutex>
#include <unordered_map>

#include "win32/errors.h"
#include "win32/handleapi.h"

namespace winsim {

namespace {

std::mutex g_mutex;
std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> g_table;
// Handles are multiples of 4, as on Windows, and never reused within a
// process, so a stale handle cannot reach a newer object.
std::uintptr_t g_next = 0x100;

}  // namespace

HANDLE addHandle(std::shared_ptr<KernelObject> object) {
  std::lock_guard lock(g_mutex);
  const std::uintptr_t value = g_next;
  g_next += 4;
  g_table.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> lookupHandle(HANDLE handle) {
  std::lock_guard lock(g_mutex);
  auto it = g_table.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == g_table.end() ? nullptr : it->second;
}

bool removeHandle(HANDLE handle) {
  std::shared_ptr<KernelObject> object;  // destroyed outside the lock
  std::lock_guard lock(g_mutex);
  auto it = g_table.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == g_table.end()) return false;
  object = std::move(it->second);
  g_table.erase(it);
  return true;
}

}  // namespace winsim

BOOL CloseHandle(HANDLE handle) {
  if (!winsim::removeHandle(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
