// LoadExpressRes with the host's express module loaded: expressres.dll
// comes from the express module's folder, not from the host program's.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "commonmoduletest.h"
#include "core/modulestate.h"
#include "kxhost.h"
#include "win32/module.h"

namespace {

TEST(LoadExpressRes, TheExpressModulesFolderComesFirst) {
  winsim::testing::TempMachine machine;
  mwcommon::testing::copyFromBuild(machine, "express.krx", u"C:\\Korax\\Express");
  mwcommon::testing::copyFromBuild(machine, "expressres.dll", u"C:\\Korax\\Express");
  mwcommon::testing::copyFromBuild(machine, "expressres.dll", u"C:\\Korax");
  ::setenv("WINSIM_IMAGE", "C:\\Korax\\korax.exe", 1);
  const HMODULE express = LoadLibraryW(u"C:\\Korax\\Express\\express.krx");
  ASSERT_NE(express, nullptr);
  kxhost::clearCommandLineText();

  EXPECT_EQ(LoadExpressRes(), 1);
  ASSERT_NE(mwcommon::moduleState().expressResources, nullptr);
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(mwcommon::moduleState().expressResources, path, MAX_PATH);
  EXPECT_EQ(std::u16string(path), u"C:\\Korax\\Express\\expressres.dll");
  EXPECT_EQ(kxhost::commandLineText(), u"");
  FreeLibrary(express);
  ::unsetenv("WINSIM_IMAGE");
}

}  // namespace
