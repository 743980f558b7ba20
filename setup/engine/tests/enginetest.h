// The fixture of the engine's tests: a fresh 64-bit machine, the setup
// program as a 32-bit program at C:\Package\Setup.exe (so its folder is the
// package folder and its title "Setup"), a state record with its defaults and
// no text library loaded.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "setupstate.h"
#include "setuptext.h"
#include "testing/tempmachine.h"
#include "winsim/machine.h"

namespace enginetest {

namespace fs = std::filesystem;

inline constexpr char kProgramImage[] = "C:\\Package\\Setup.exe";

class EngineTest : public ::testing::Test {
 protected:
  explicit EngineTest(const std::vector<winsim::ProfileSetting>& settings = {}) : m_machine(settings) {
    ::setenv("WINSIM_IMAGE", kProgramImage, 1);
    winsim::setProgramBitness(winsim::Bitness::Bits32);
    SetupState() = CSetupState{};
    fs::create_directories(host(u"C:\\Package"));
  }
  ~EngineTest() override {
    if (HMODULE library = hTextLibrary.exchange(nullptr)) FreeLibrary(library);
    winsim::setProgramBitness(winsim::Bitness::Bits64);
    ::unsetenv("WINSIM_IMAGE");
  }

  winsim::Machine& machine() { return m_machine.machine(); }
  fs::path host(std::u16string_view windowsPath) const { return m_machine.host(windowsPath); }

  /// Puts a built resource library (bin/NAME) into the package folder as
  /// IntallerRes.dll, where the setup program looks for it first.
  void installTextLibrary(const char* builtName = "IntallerRes.dll") {
    fs::copy_file(winsim::testing::testProgramFolder() / builtName, host(u"C:\\Package\\IntallerRes.dll"),
                  fs::copy_options::overwrite_existing);
  }

  void writeFile(std::u16string_view windowsPath, const std::string& bytes) {
    const fs::path path = host(windowsPath);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }

  std::string readFile(std::u16string_view windowsPath) const {
    std::ifstream in(host(windowsPath), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  /// The message boxes shown so far, from the machine's transcript.
  std::vector<nlohmann::json> messageBoxes() const {
    std::vector<nlohmann::json> boxes;
    std::ifstream in(m_machine.folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      nlohmann::json record = nlohmann::json::parse(line);
      if (record["kind"] == "MessageBox") boxes.push_back(record);
    }
    return boxes;
  }

  /// The install log's records (the text between the 0D 0D 0A breaks), in
  /// the ANSI bytes they were written with.
  std::vector<std::string> logRecords(std::u16string_view logPath) const {
    const std::string bytes = readFile(logPath);
    std::vector<std::string> records;
    const std::string breakBytes = "\r\r\n";
    EXPECT_EQ(bytes.compare(0, breakBytes.size(), breakBytes), 0) << "the log begins with a break";
    std::size_t at = breakBytes.size();
    while (at <= bytes.size()) {
      const std::size_t next = bytes.find(breakBytes, at);
      records.push_back(bytes.substr(at, next == std::string::npos ? std::string::npos : next - at));
      if (next == std::string::npos) break;
      at = next + breakBytes.size();
    }
    return records;
  }

 private:
  winsim::testing::TempMachine m_machine;
};

/// UTF-8 of wide text, for comparing with the transcript.
inline std::string utf8(std::u16string_view text) {
  std::string out;
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  out.resize(size > 0 ? size : 0);
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace enginetest
