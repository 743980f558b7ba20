#include "filesshare.h"

#include <mutex>
#include <unordered_map>

namespace winsim::files {

namespace {

struct OpenRecord {
  FileIdentity file;
  ShareRequest request;
};

std::mutex g_mutex;
std::unordered_map<std::uint64_t, OpenRecord> g_opens;
std::uint64_t g_nextTicket = 1;

bool sameFile(const FileIdentity& a, const FileIdentity& b) { return a.device == b.device && a.inode == b.inode; }

bool compatible(const ShareRequest& held, const ShareRequest& wanted) {
  if (wanted.read && !held.shareRead) return false;
  if (wanted.write && !held.shareWrite) return false;
  if (held.read && !wanted.shareRead) return false;
  if (held.write && !wanted.shareWrite) return false;
  return true;
}

}  // namespace

bool acquireOpen(const FileIdentity& file, const ShareRequest& request, std::uint64_t& ticket) {
  std::lock_guard lock(g_mutex);
  for (const auto& [id, open] : g_opens)
    if (sameFile(open.file, file) && !compatible(open.request, request)) return false;
  ticket = g_nextTicket++;
  g_opens.emplace(ticket, OpenRecord{file, request});
  return true;
}

void releaseOpen(std::uint64_t ticket) {
  std::lock_guard lock(g_mutex);
  g_opens.erase(ticket);
}

bool mayDelete(const FileIdentity& file) {
  std::lock_guard lock(g_mutex);
  for (const auto& [id, open] : g_opens)
    if (sameFile(open.file, file)) return false;
  return true;
}

}  // namespace winsim::files
