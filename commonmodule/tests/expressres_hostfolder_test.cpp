// LoadExpressRes without the host's express module: expressres.dll is
// looked for beside the host program. (Its handle lives for the process, so
// each case of LoadExpressRes has a test program of its own.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include "commonmoduletest.h"
#include "core/modulestate.h"
#include "kxhost.h"
#include "win32/module.h"

namespace {

TEST(LoadExpressRes, WithoutTheExpressModuleLoadsFromTheHostProgramsFolder) {
  winsim::testing::TempMachine machine;
  mwcommon::testing::copyFromBuild(machine, "expressres.dll", u"C:\\Korax");
  ::setenv("WINSIM_IMAGE", "C:\\Korax\\korax.exe", 1);
  ASSERT_EQ(GetModuleHandleW(u"express.krx"), nullptr);
  kxhost::clearCommandLineText();

  EXPECT_EQ(LoadExpressRes(), 1);
  const HINSTANCE resources = mwcommon::moduleState().expressResources;
  ASSERT_NE(resources, nullptr);
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(resources, path, MAX_PATH);
  EXPECT_EQ(std::u16string(path), u"C:\\Korax\\expressres.dll");
  WCHAR text[64] = {};
  EXPECT_GT(LoadStringW(resources, 30202, text, 64), 0);
  EXPECT_EQ(std::u16string(text), u"Lock failed%d\n");

  // Loaded once: a second call keeps the handle and says nothing.
  EXPECT_EQ(LoadExpressRes(), 1);
  EXPECT_EQ(mwcommon::moduleState().expressResources, resources);
  EXPECT_EQ(kxhost::commandLineText(), u"");
  ::unsetenv("WINSIM_IMAGE");
}

}  // namespace
