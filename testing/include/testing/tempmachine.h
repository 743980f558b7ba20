// A fresh simulated machine in a temporary folder, current for the test's
// duration and removed afterwards.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "winsim/machine.h"

namespace winsim::testing {

class TempMachine {
 public:
  explicit TempMachine(const std::vector<ProfileSetting>& settings = {}, const std::vector<DriveMapping>& drives = {});
  ~TempMachine();
  TempMachine(const TempMachine&) = delete;
  TempMachine& operator=(const TempMachine&) = delete;

  Machine& machine() { return *m_machine; }
  const std::filesystem::path& folder() const { return m_folder; }
  /// The host path of a Windows path of this machine (the test fails when it
  /// does not resolve).
  std::filesystem::path host(std::u16string_view windowsPath) const;
  /// Copies a built test program (testing/programs/NAME.cpp) into the machine
  /// at `windowsPath`, runnable.
  void installProgram(const std::string& name, std::u16string_view windowsPath) const;

 private:
  std::filesystem::path m_folder;
  std::shared_ptr<Machine> m_machine;
};

/// Folder of the built test programs.
std::filesystem::path testProgramFolder();

}  // namespace winsim::testing
