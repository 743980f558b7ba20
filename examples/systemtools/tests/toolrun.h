// Helpers of the system tools' tests: a machine with a package drive, a
// program started by its Windows command line and waited for, the transcript's
// message boxes, registry values.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/process.h"
#include "win32/registry.h"

namespace tooltest {

namespace fs = std::filesystem;

/// A host folder removed at the end of the scope.
class HostFolder {
 public:
  HostFolder() {
    std::string pattern = (fs::temp_directory_path() / "winsim-tools-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
  }
  ~HostFolder() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  const fs::path& path() const { return m_path; }

 private:
  fs::path m_path;
};

/// Starts a program as CreateProcessW does and waits; the exit code, or -1
/// when it cannot be started.
inline long run(std::u16string commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<long>(code);
}

/// A result as the machine's exit codes carry it (their low 8 bits).
constexpr long exitCodeOf(unsigned long result) { return static_cast<long>(result & 0xFF); }

inline void writeFile(const fs::path& host, const std::string& text) {
  fs::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary | std::ios::trunc) << text;
}

inline std::vector<nlohmann::json> messageBoxes(const winsim::testing::TempMachine& machine) {
  std::vector<nlohmann::json> boxes;
  std::ifstream in(machine.folder() / "transcript.jsonl");
  for (std::string line; std::getline(in, line);) {
    auto record = nlohmann::json::parse(line);
    if (record["kind"] == "MessageBox") boxes.push_back(record);
  }
  return boxes;
}

/// A string value, or nullopt when the key or value is missing.
inline std::optional<std::u16string> stringValue(HKEY root, std::u16string_view key, std::u16string_view name,
                                                 REGSAM view = 0) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, std::u16string(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS)
    return std::nullopt;
  char16_t data[1024];
  DWORD size = sizeof data;
  DWORD type = 0;
  const LSTATUS status =
      RegQueryValueExW(handle, std::u16string(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size < 2) return std::nullopt;
  return std::u16string(data, size / 2 - 1);
}

inline bool keyExists(HKEY root, std::u16string_view key, REGSAM view = 0) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, std::u16string(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

}  // namespace tooltest
