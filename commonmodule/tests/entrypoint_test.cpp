// MWCommonModule's entry function and its load protocol through the host.
#include <gtest/gtest.h>

#include "EdCommandStack.h"
#include "RxModule.h"
#include "commonmoduletest.h"
#include "core/modulestate.h"
#include "kxed.h"
#include "kxhost.h"
#include "win32/module.h"

extern "C" int kxrxEntryPoint(int message, void* packet);

namespace {

using mwcommon::testing::buildBinDrive;

void noCommand() {}

TEST(CommonModuleEntry, AnswersZeroToEveryMessage) {
  for (int message = -1; message <= 20; ++message) EXPECT_EQ(kxrxEntryPoint(message, nullptr), 0) << message;
  EXPECT_EQ(kxrxEntryPoint(0x7FFFFFFF, nullptr), 0);
}

TEST(CommonModuleEntry, InitialisingUnlocksTheApplicationAndMakesItMdiAware) {
  int packet = 0;
  ASSERT_TRUE(odrxDynamicLinker()->isApplicationLocked(&packet));
  EXPECT_EQ(kxrxEntryPoint(KxRx::kInitAppMsg, &packet), 0);
  EXPECT_FALSE(odrxDynamicLinker()->isApplicationLocked(&packet));
  EXPECT_TRUE(odrxDynamicLinker()->isAppMDIAware(&packet));
  odrxDynamicLinker()->forgetApplication(&packet);
}

TEST(CommonModuleEntry, UnloadingRemovesTheCommandGroupAndKeepsTheStackCount) {
  OdEdCommandStackPtr commands = odedRegCmds();
  ASSERT_EQ(commands->addCommand(u"MWCommonModule", u"MWPROBE", u"MWPROBE", OdEdCommand::kModal, noCommand), eOk);
  const long references = commands->numRefs();
  EXPECT_EQ(kxrxEntryPoint(KxRx::kUnloadAppMsg, nullptr), 0);
  EXPECT_FALSE(commands->hasGroup(u"MWCommonModule"));
  EXPECT_EQ(commands->numRefs(), references);  // the entry function let go of its reference
  // Without the group the message does no harm.
  EXPECT_EQ(kxrxEntryPoint(KxRx::kUnloadAppMsg, nullptr), 0);
}

TEST(CommonModuleEntry, TheHostLoadsInitialisesAndUnloadsTheModule) {
  winsim::testing::TempMachine machine({}, buildBinDrive());
  kxhost::newDocument();
  ASSERT_EQ(kxhost::loadModuleByUser(u"B:\\MWCommonModule.krx"), RTNORM);
  ASSERT_EQ(kxhost::loadedModules().size(), 1u);

  // The module object the host made is this module's (a second
  // odrxCreateModuleObject hands it out again), unlocked and MDI aware.
  const HMODULE module = GetModuleHandleW(u"MWCommonModule.krx");
  ASSERT_NE(module, nullptr);
  const auto create = reinterpret_cast<OdRxModule* (*)(HINSTANCE*)>(GetProcAddress(module, "odrxCreateModuleObject"));
  ASSERT_NE(create, nullptr);
  HINSTANCE unchanged = nullptr;
  OdRxModule* object = create(&unchanged);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->sysData(), module);
  EXPECT_FALSE(odrxDynamicLinker()->isApplicationLocked(object));
  EXPECT_TRUE(odrxDynamicLinker()->isAppMDIAware(object));
  EXPECT_EQ(object->moduleName(), OdString(kxhost::loadedModules()[0]));

  ASSERT_EQ(odedRegCmds()->addCommand(u"MWCommonModule", u"MWPROBE", u"MWPROBE", OdEdCommand::kModal, noCommand), eOk);
  EXPECT_EQ(kxedArxUnload(u"MWCommonModule.krx"), RTNORM);
  EXPECT_FALSE(odedRegCmds()->hasGroup(u"MWCommonModule"));
  EXPECT_FALSE(odrxDynamicLinker()->isAppMDIAware(object));  // the host forgot the deleted object
  EXPECT_TRUE(kxhost::loadedModules().empty());
  kxhost::endSession();
}

TEST(CommonModuleState, TheHostResourceLibraryIsLoadedWithTheModule) {
  // Loaded beside this program when the module's statics were made.
  ASSERT_NE(mwcommon::moduleState().hostResources, nullptr);
  WCHAR path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(mwcommon::moduleState().hostResources, path, MAX_PATH), 0u);
  EXPECT_NE(std::u16string_view(path).find(u"koraxkwlres.dll"), std::u16string_view::npos);
}

}  // namespace
