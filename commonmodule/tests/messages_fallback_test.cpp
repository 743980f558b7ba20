// The module's messages when expressres.dll cannot be found: each message
// tries to load it again, says so on the command line, and then uses its
// English text. (The library's handle lives for the process, so this case
// has a program of its own.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "HvDbUtilsMessages.h"
#include "commonmoduletest.h"
#include "core/modulestate.h"
#include "kxed.h"
#include "kxhost.h"
#include "uitranscript.h"

namespace {

class MessagesFallbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kxhost::setCommandLineToStdout(false);
    // Neither the express module nor the host program's folder has it.
    ::setenv("WINSIM_IMAGE", "C:\\Korax\\korax.exe", 1);
    kxhost::newDocument();
    kxhost::clearCommandLineText();
    ASSERT_EQ(mwcommon::moduleState().expressResources, nullptr);
  }
  void TearDown() override {
    kxhost::endSession();
    ::unsetenv("WINSIM_IMAGE");
    kxhost::setCommandLineToStdout(true);
  }

  /// The transcript's command-line lines and boxes, in the order shown.
  std::vector<std::string> shown() const {
    std::vector<std::string> events;
    std::ifstream in(m_machine.folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      const nlohmann::json record = nlohmann::json::parse(line, nullptr, false);
      if (record.is_discarded()) continue;
      const std::string kind = record.value("kind", "");
      if (kind == "CommandLine") events.push_back("line " + record.value("text", ""));
      if (kind == "MessageBox") events.push_back("box " + record.value("text", ""));
    }
    return events;
  }

  winsim::testing::TempMachine m_machine;
};

TEST_F(MessagesFallbackTest, StubAlertShowsTheEnglishTextAfterTheFailedLoad) {
  HvDbUtils::StubAlert(u"PlotSheets");
  HvDbUtils::StubAlert(u"PlotSheets");
  const std::vector<std::string> expected = {
      "line Error: Cannot load expressres.dll!\n", "box Function not implemented: PlotSheets",
      "line Error: Cannot load expressres.dll!\n", "box Function not implemented: PlotSheets"};
  EXPECT_EQ(shown(), expected);
}

TEST_F(MessagesFallbackTest, HandleMessagesUseTheirEnglishTextToo) {
  OdDbObjectId id;
  EXPECT_EQ(HvDbUtils::HandleStrToObjId(nullptr, u"FFFFF", id, true), eAmbiguousOutput);
  EXPECT_EQ(kxhost::commandLineText(),
            std::u16string(u"Error: Cannot load expressres.dll!\n"
                           u"\nError: Handle string cannot be converted to database object ID (") +
                koraxErrorStatusText(eUnknownHandle) + u")");
  // Without a message there is no attempt to load the library.
  kxhost::clearCommandLineText();
  EXPECT_EQ(HvDbUtils::HandleStrToObjId(nullptr, u"FFFFF", id, false), eAmbiguousOutput);
  EXPECT_EQ(kxhost::commandLineText(), u"");
}

}  // namespace
