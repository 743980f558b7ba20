// What the tests of the storage functions (xdata, files and folders) share: a
// drawing with the module's message library loaded from the machine, let go
// again at the end so that each test has its own, and the message boxes of
// the machine's transcript.
#pragma once

#include <utility>

#include "commonmoduletest.h"
#include "core/modulestate.h"
#include "entityfixture.h"
#include "uitranscript.h"
#include "win32/module.h"

namespace mwcommon::testing {

class StorageTest : public DrawingTest {
 protected:
  void SetUp() override {
    kxhost::setCommandLineToStdout(false);
    DrawingTest::SetUp();
    copyFromBuild(machine(), "expressres.dll", u"C:\\Korax");
    HINSTANCE& resources = moduleState().expressResources;
    ASSERT_EQ(resources, nullptr);
    resources = LoadLibraryW(u"C:\\Korax\\expressres.dll");
    ASSERT_NE(resources, nullptr);
  }
  void TearDown() override {
    HINSTANCE& resources = moduleState().expressResources;
    if (resources) FreeLibrary(std::exchange(resources, nullptr));
    DrawingTest::TearDown();
    kxhost::setCommandLineToStdout(true);
  }

  /// The texts of the message boxes shown so far.
  std::vector<std::string> boxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : transcriptRecords(machine(), "MessageBox")) texts.push_back(box.value("text", ""));
    return texts;
  }
};

}  // namespace mwcommon::testing
