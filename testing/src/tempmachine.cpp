#include "testing/tempmachine.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "winsim/systemprograms.h"

namespace winsim::testing {

namespace fs = std::filesystem;

TempMachine::TempMachine(const std::vector<ProfileSetting>& settings, const std::vector<DriveMapping>& drives) {
  std::string pattern = (fs::temp_directory_path() / "winsim-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  m_folder = fs::path(pattern) / "machine";
  auto machine = Machine::create(m_folder, settings, drives);
  if (!machine) throw std::runtime_error("cannot create machine: " + machine.error().message);
  m_machine = machine.value();
  // As `winsim new` does: the system tools (msiexec, regsvr32) of every machine.
  if (auto installed = installSystemPrograms(*m_machine); !installed)
    throw std::runtime_error("cannot install the system programs: " + installed.error().message);
  setCurrentMachine(m_machine);
  ::setenv("WINSIM_MACHINE", m_folder.c_str(), 1);
}

TempMachine::~TempMachine() {
  setCurrentMachine(nullptr);
  ::unsetenv("WINSIM_MACHINE");
  std::error_code ec;
  fs::remove_all(m_folder.parent_path(), ec);
}

fs::path TempMachine::host(std::u16string_view windowsPath) const {
  auto path = m_machine->hostPath(windowsPath);
  EXPECT_TRUE(path.ok());
  return path.ok() ? path.value() : fs::path();
}

void TempMachine::installProgram(const std::string& name, std::u16string_view windowsPath) const {
  const fs::path target = host(windowsPath);
  fs::create_directories(target.parent_path());
  fs::copy_file(testProgramFolder() / ("winsim-" + name), target, fs::copy_options::overwrite_existing);
  fs::permissions(target, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add);
}

fs::path testProgramFolder() { return fs::path(WINSIM_TEST_PROGRAMS); }

}  // namespace winsim::testing
