// LoadExpressRes when expressres.dll is missing: every attempt prints the
// error line, and a later attempt finds the library once it is there.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "commonmoduletest.h"
#include "core/modulestate.h"
#include "kxhost.h"

namespace {

TEST(LoadExpressRes, AMissingLibraryIsReportedAtEveryAttempt) {
  winsim::testing::TempMachine machine;
  std::filesystem::create_directories(machine.host(u"C:\\Korax"));
  ::setenv("WINSIM_IMAGE", "C:\\Korax\\korax.exe", 1);
  kxhost::clearCommandLineText();

  EXPECT_EQ(LoadExpressRes(), 1);
  EXPECT_EQ(mwcommon::moduleState().expressResources, nullptr);
  EXPECT_EQ(kxhost::commandLineText(), u"Error: Cannot load expressres.dll!\n");
  EXPECT_EQ(LoadExpressRes(), 1);
  EXPECT_EQ(kxhost::commandLineText(), u"Error: Cannot load expressres.dll!\nError: Cannot load expressres.dll!\n");

  mwcommon::testing::copyFromBuild(machine, "expressres.dll", u"C:\\Korax");
  EXPECT_EQ(LoadExpressRes(), 1);
  EXPECT_NE(mwcommon::moduleState().expressResources, nullptr);
  EXPECT_EQ(kxhost::commandLineText(), u"Error: Cannot load expressres.dll!\nError: Cannot load expressres.dll!\n");
  ::unsetenv("WINSIM_IMAGE");
}

}  // namespace
