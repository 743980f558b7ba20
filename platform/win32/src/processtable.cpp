#include "processtable.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "win32/errors.h"
#include "winsim/text.h"

namespace winsim {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTempMarker = ".tmp";

std::string recordName(pid_t pid, unsigned long long startTime) {
  return std::to_string(pid) + "-" + std::to_string(startTime);
}

/// Parses "PID-STARTTIME".
std::optional<std::pair<pid_t, unsigned long long>> parseRecordName(const std::string& name) {
  const auto dash = name.find('-');
  if (dash == std::string::npos || dash == 0 || dash + 1 >= name.size()) return std::nullopt;
  if (!std::all_of(name.begin(), name.end(), [](char c) { return c == '-' || (c >= '0' && c <= '9'); }))
    return std::nullopt;
  if (name.find('-', dash + 1) != std::string::npos || dash > 9 || name.size() - dash - 1 > 19) return std::nullopt;
  return std::make_pair(static_cast<pid_t>(std::stol(name.substr(0, dash))), std::stoull(name.substr(dash + 1)));
}

bool isRunning(pid_t pid, unsigned long long startTime) {
  const auto info = readHostProcess(pid);
  return info && info->startTime == startTime && info->state != 'Z' && info->state != 'X';
}

// A program whose layer finds WINSIM_IMAGE set was started as a program of a
// machine; it enters itself in that machine's table, so that a program started
// by other means than CreateProcessW (a script, a test) shows in snapshots too.
// Only the environment and the C++ library are used: this runs while the
// layer's other globals may not be constructed yet.
const bool g_registered = [] {
  const char* machine = std::getenv("WINSIM_MACHINE");
  const char* image = std::getenv("WINSIM_IMAGE");
  if (!machine || !*machine || !image || !*image) return false;
  const auto self = readHostProcess(::getpid());
  if (!self) return false;
  return ProcessTable(machine).add({::getpid(), self->startTime, fromUtf8(image)}).ok();
}();

}  // namespace

std::optional<HostProcessInfo> readHostProcess(pid_t pid) {
  if (pid <= 0) return std::nullopt;
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return std::nullopt;
  // The command name (field 2) is in parentheses and may hold blanks and
  // parentheses itself: the fields that follow start after the last ')'.
  const auto close = line.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(line.substr(close + 1));
  HostProcessInfo info;
  std::string skip;
  fields >> info.state >> info.parent;
  for (int field = 5; field <= 19; ++field) fields >> skip;  // pgrp .. nice
  fields >> info.threads >> skip >> info.startTime;          // 20, 21, 22
  if (!fields) return std::nullopt;
  return info;
}

ProcessTable::ProcessTable(const fs::path& machineFolder) : m_folder(machineFolder / "state" / "processes") {}

Status ProcessTable::add(const ProcessRecord& record) const {
  std::error_code ec;
  fs::create_directories(m_folder, ec);
  const fs::path path = m_folder / recordName(record.pid, record.startTime);
  const fs::path temp = path.string() + std::string(kTempMarker) + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << toUtf8(record.image);
    out.flush();
    if (!out) return makeError(ERROR_WRITE_FAULT, "cannot write the process table in " + m_folder.string());
  }
  fs::rename(temp, path, ec);
  if (ec) {
    fs::remove(temp, ec);
    return makeError(ERROR_WRITE_FAULT, "cannot write the process table in " + m_folder.string());
  }
  return {};
}

void ProcessTable::remove(pid_t pid, unsigned long long startTime) const {
  std::error_code ec;
  fs::remove(m_folder / recordName(pid, startTime), ec);
}

std::vector<ProcessRecord> ProcessTable::running() const {
  std::vector<ProcessRecord> records;
  std::error_code ec;
  for (fs::directory_iterator it(m_folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (const auto temp = name.find(kTempMarker); temp != std::string::npos) {
      // Left by a writer that died between writing and renaming.
      const std::string writer = name.substr(temp + kTempMarker.size());
      if (!writer.empty() && writer.size() < 10 &&
          std::all_of(writer.begin(), writer.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
          !readHostProcess(std::stoi(writer))) {
        std::error_code ignored;
        fs::remove(it->path(), ignored);
      }
      continue;
    }
    const auto key = parseRecordName(name);
    if (!key) continue;
    if (!isRunning(key->first, key->second)) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
      continue;
    }
    std::ifstream in(it->path(), std::ios::binary);
    std::ostringstream image;
    image << in.rdbuf();
    records.push_back({key->first, key->second, fromUtf8(image.str())});
  }
  std::sort(records.begin(), records.end(), [](const ProcessRecord& a, const ProcessRecord& b) {
    return a.startTime != b.startTime ? a.startTime < b.startTime : a.pid < b.pid;
  });
  return records;
}

}  // namespace winsim
