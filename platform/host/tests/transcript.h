// Reading a machine's transcript in the host's tests.
#pragma once

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "testing/tempmachine.h"

namespace kxhost::testing {

/// The records of the transcript of one kind, in order.
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

/// The ModuleLoad and ModuleUnload records as "load PATH" / "unload PATH".
inline std::vector<std::string> moduleEvents(const winsim::testing::TempMachine& machine) {
  std::vector<std::string> events;
  std::ifstream in(machine.folder() / "transcript.jsonl");
  for (std::string line; std::getline(in, line);) {
    nlohmann::json record = nlohmann::json::parse(line, nullptr, false);
    if (record.is_discarded()) continue;
    const std::string kind = record.value("kind", "");
    if (kind == "ModuleLoad") events.push_back("load " + record.value("path", ""));
    if (kind == "ModuleUnload") events.push_back("unload " + record.value("path", ""));
  }
  return events;
}

}  // namespace kxhost::testing
