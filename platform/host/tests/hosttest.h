// What the host's tests share: a fresh machine and a fresh host session for
// each test, and the host's test modules copied into the machine.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "DbDatabase.h"
#include "kxhost.h"
#include "testing/tempmachine.h"
#include "winsim/text.h"

namespace kxhost::testing {

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setCommandLineToStdout(false);
    clearCommandLineText();
  }
  void TearDown() override {
    endSession();
    setCommandLineToStdout(true);
  }

  /// Copies a built file (a module, a resource library) into a machine folder
  /// and gives its Windows path there.
  std::u16string install(const std::string& file, std::u16string_view folder = u"C:\\Modules") {
    const std::filesystem::path target = m_machine.host(folder);
    std::filesystem::create_directories(target);
    std::filesystem::copy_file(std::filesystem::path(KX_BUILD_BIN) / file, target / file,
                               std::filesystem::copy_options::overwrite_existing);
    return std::u16string(folder) + u"\\" + winsim::fromUtf8(file);
  }

  /// Whether the command line has shown this text since the test began.
  bool shown(std::u16string_view text) const { return commandLineText().find(text) != std::u16string::npos; }

  winsim::testing::TempMachine m_machine;
};

}  // namespace kxhost::testing
