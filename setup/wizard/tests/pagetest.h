// The fixture of the pages' tests: a fresh 64-bit machine with the setup
// program as a 32-bit program at C:\Package\Setup.exe, the real resource
// library beside it (the resource module and the text library), the example
// package's License.rtf there too, the labels' fallback hand cursor in the
// Windows folder, and a state record with its defaults. A UI script plays
// the person in front of the page; the transcript says what was shown.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "afxwin.h"
#include "setupstate.h"
#include "setuptext.h"
#include "testing/tempmachine.h"
#include "winsim/machine.h"

namespace pagetest {

namespace fs = std::filesystem;

class PageTest : public ::testing::Test {
 protected:
  explicit PageTest(const std::vector<winsim::ProfileSetting>& settings = {}) : m_machine(settings) {
    ::setenv("WINSIM_IMAGE", "C:\\Package\\Setup.exe", 1);
    ::setenv("WINSIM_UI_TIMEOUT", "5000", 1);
    winsim::setProgramBitness(winsim::Bitness::Bits32);
    SetupState() = CSetupState{};
    SetupState().productName = u"DWG Merrowin";
    SetupState().installDir = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
    const fs::path built = winsim::testing::testProgramFolder();
    fs::create_directories(host(u"C:\\Package"));
    fs::copy_file(built / "IntallerRes.dll", host(u"C:\\Package\\IntallerRes.dll"));
    fs::copy_file(fs::path(WINSIM_PACKAGE_DIR) / "License.rtf", host(u"C:\\Package\\License.rtf"));
    fs::copy_file(built / "winhlp32stub.dll", host(u"C:\\Windows\\winhlp32.exe"));
  }
  void SetUp() override {
    m_resources = LoadLibraryExW(u"C:\\Package\\IntallerRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_resources, nullptr);
    m_savedResources = AfxGetResourceHandle();
    AfxSetResourceHandle(m_resources);
    LoadTextLibrary();
  }
  void TearDown() override {
    AfxSetResourceHandle(m_savedResources);
    FreeLibrary(m_resources);
    if (HMODULE library = hTextLibrary.exchange(nullptr)) FreeLibrary(library);
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
  }
  ~PageTest() override {
    ::unsetenv("WINSIM_UI");
    ::unsetenv("WINSIM_UI_TIMEOUT");
    ::unsetenv("WINSIM_IMAGE");
    winsim::setProgramBitness(winsim::Bitness::Bits64);
  }

  fs::path host(std::u16string_view windowsPath) const { return m_machine.host(windowsPath); }
  const fs::path& machineFolder() const { return m_machine.folder(); }

  /// The person's actions for the next modal run (winsim/uiscript.h).
  void script(const std::string& text) {
    const fs::path file = m_machine.folder() / "ui" / "ui.txt";
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    ::setenv("WINSIM_UI", file.c_str(), 1);
  }

  /// The transcript's records of one kind ("MessageBox", "ScriptError", ...).
  std::vector<nlohmann::json> transcript(const std::string& kind) const {
    std::vector<nlohmann::json> records;
    std::ifstream in(m_machine.folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      nlohmann::json record = nlohmann::json::parse(line);
      if (record["kind"] == kind) records.push_back(record);
    }
    return records;
  }

 private:
  winsim::testing::TempMachine m_machine;
  HMODULE m_resources = nullptr;
  HINSTANCE m_savedResources = nullptr;
};

}  // namespace pagetest
