// What the common module's tests see of the user interface: the message
// boxes in the machine's transcript, and a UI script that answers them.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "testing/tempmachine.h"

namespace mwcommon::testing {

/// The transcript's records of one kind ("MessageBox", "CommandLine"), in order.
inline std::vector<nlohmann::json> transcriptRecords(const winsim::testing::TempMachine& machine,
                                                     const std::string& kind) {
  std::vector<nlohmann::json> records;
  std::ifstream in(machine.folder() / "transcript.jsonl");
  for (std::string line; std::getline(in, line);) {
    nlohmann::json record = nlohmann::json::parse(line, nullptr, false);
    if (!record.is_discarded() && record.value("kind", "") == kind) records.push_back(record);
  }
  return records;
}

/// A UI script for the machine (one command a line), in force until the
/// object goes.
class UiScript {
 public:
  UiScript(const winsim::testing::TempMachine& machine, const std::string& lines) {
    const std::filesystem::path path = machine.folder() / "ui-script.txt";
    std::ofstream(path) << lines;
    ::setenv("WINSIM_UI", path.c_str(), 1);
  }
  ~UiScript() { ::unsetenv("WINSIM_UI"); }
  UiScript(const UiScript&) = delete;
  UiScript& operator=(const UiScript&) = delete;
};

}  // namespace mwcommon::testing
