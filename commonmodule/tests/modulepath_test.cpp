// The module's own folder and the installation folder above it, for the
// module as the host loaded it.
#include <gtest/gtest.h>

#include "HvDbUtilsFiles.h"
#include "commonmoduletest.h"
#include "kxed.h"
#include "kxhost.h"

namespace {

TEST(ModulePath, TheFoldersOfTheLoadedModule) {
  // Drive D: is the build folder, so the module lies in D:\bin.
  winsim::testing::TempMachine machine({}, {{'D', mwcommon::testing::kBuildBin.parent_path()}});
  kxhost::newDocument();
  ASSERT_EQ(kxhost::loadModuleByUser(u"D:\\bin\\MWCommonModule.krx"), RTNORM);
  EXPECT_EQ(HvDbUtils::GetModulePath(), u"D:\\bin");
  EXPECT_EQ(HvDbUtils::GetSetupPath(), u"D:");
  kxhost::endSession();
}

}  // namespace
