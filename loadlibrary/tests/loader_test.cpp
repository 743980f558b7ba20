// MWLoadLibrary as the host loads it: its entry function, SECURELOAD, and
// GetPluginId.
#include <gtest/gtest.h>

#include "RxModule.h"
#include "kxed.h"
#include "kxhost.h"
#include "layout.h"
#include "win32/module.h"

namespace {

using namespace mwloadlibrary::testing;

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kxhost::setCommandLineToStdout(false);
    kxhost::newDocument();
    installProduct(m_machine);
  }
  void TearDown() override {
    kxhost::endSession();
    kxhost::setCommandLineToStdout(true);
  }
  winsim::testing::TempMachine m_machine;
};

short secureLoad() {
  resbuf value{};
  kxedGetVar(u"SECURELOAD", &value);
  return value.resval.rint;
}

TEST_F(LoaderTest, StartingRelaxesSecureLoadAndBringsTheToolUp) {
  ASSERT_EQ(secureLoad(), 1);
  ASSERT_EQ(kxhost::loadModuleByUser(kLoader), RTNORM);
  EXPECT_EQ(secureLoad(), 0);
  EXPECT_EQ(kxhost::loadedModules(),
            std::vector<OdString>({OdString(kLoader), OdString(kCommonModule), OdString(kExtensionTool)}));
  EXPECT_NE(GetModuleHandleW(u"BCGCBPRO2510u100.dll"), nullptr);

  // The tool's command is there.
  EXPECT_TRUE(kxhost::runCommandInput(u"MWHELLO Reader\n"));
  EXPECT_NE(kxhost::commandLineText().find(u"Hello, Reader, from MWExtensionTool with " + kCommonModule),
            std::u16string::npos);

  EXPECT_EQ(kxedArxUnload(kLoader.c_str()), RTNORM);
  EXPECT_TRUE(kxhost::loadedModules().empty());
  EXPECT_EQ(GetModuleHandleW(u"BCGCBPRO2510u100.dll"), nullptr);
  EXPECT_EQ(secureLoad(), 0);  // not restored
  EXPECT_EQ(moduleEvents(m_machine),
            std::vector<std::string>({load(kLoader), load(kCommonModule), load(kExtensionTool), unload(kCommonModule),
                                      unload(kExtensionTool), unload(kLoader)}));
}

TEST_F(LoaderTest, WithoutTheLoaderSecureLoadKeepsTheModulesOut) {
  // The same modules, asked for by the host's own LOAD command: SECURELOAD 1
  // asks, and the default answer is No.
  EXPECT_FALSE(kxhost::runCommandInput(u"LOAD \"" + kCommonModule + u"\"\n"));
  EXPECT_TRUE(kxhost::loadedModules().empty());
}

TEST_F(LoaderTest, ReportsPluginNumber51) {
  const HMODULE loader = LoadLibraryW(kLoader.c_str());
  ASSERT_NE(loader, nullptr);
  const auto getPluginId = reinterpret_cast<bool (*)(OdInt32*)>(GetProcAddress(loader, "GetPluginId"));
  ASSERT_NE(getPluginId, nullptr);
  OdInt32 id = -1;
  EXPECT_TRUE(getPluginId(&id));
  EXPECT_EQ(id, 51);
  id = 0;
  EXPECT_TRUE(getPluginId(&id));
  EXPECT_EQ(id, 51);
  EXPECT_FALSE(getPluginId(nullptr));
  // Its export table is its entry functions and the plug-in number.
  for (const char* name : {"kxrxEntryPoint", "odrxCreateModuleObject", "odrxGetAPIVersion"})
    EXPECT_NE(GetProcAddress(loader, name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(loader, "_ZN13mwloadlibrary12loadSequenceEP11HINSTANCE__"), nullptr);
  FreeLibrary(loader);
}

TEST_F(LoaderTest, TheEntryFunctionAnswersZeroToEveryMessage) {
  const HMODULE loader = LoadLibraryW(kLoader.c_str());
  ASSERT_NE(loader, nullptr);
  const auto entry = reinterpret_cast<int (*)(int, void*)>(GetProcAddress(loader, "kxrxEntryPoint"));
  ASSERT_NE(entry, nullptr);
  for (int message : {0, 3, 4, 5, 6, 7, 8, 9, 42, -1}) EXPECT_EQ(entry(message, nullptr), 0) << message;
  EXPECT_TRUE(kxhost::loadedModules().empty());  // none of them loads anything
  FreeLibrary(loader);
}

}  // namespace
