// Extension-module records and the resource chain, with a real resource
// library (expressres.dll of the build) as the extension DLL.
#include <gtest/gtest.h>

#include <filesystem>

#include "afxdll.h"
#include "testing/tempmachine.h"

namespace {

// expressres.dll's string 30200 lives in string block 30200 / 16 + 1.
const LPCWSTR kExpressStringBlock = MAKEINTRESOURCEW(30200 / 16 + 1);

class ExtensionModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::filesystem::path folder = m_machine.host(u"C:\\Lib");
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(winsim::testing::testProgramFolder() / "expressres.dll", folder / "expressres.dll");
    m_library = LoadLibraryW(u"C:\\Lib\\expressres.dll");
    ASSERT_NE(m_library, nullptr);
  }
  void TearDown() override {
    AfxTermExtensionModule(m_state);
    if (m_library) FreeLibrary(m_library);
  }

  winsim::testing::TempMachine m_machine;
  HMODULE m_library = nullptr;
  AFX_EXTENSION_MODULE m_state;
};

TEST_F(ExtensionModuleTest, InitialisesOnceForALoadedModule) {
  AFX_EXTENSION_MODULE none;
  EXPECT_FALSE(AfxInitExtensionModule(none, nullptr));
  EXPECT_FALSE(AfxInitExtensionModule(none, reinterpret_cast<HMODULE>(std::uintptr_t{0x7FFF0000})));
  EXPECT_FALSE(none.bInitialized);

  ASSERT_TRUE(AfxInitExtensionModule(m_state, m_library));
  EXPECT_TRUE(m_state.bInitialized);
  EXPECT_EQ(m_state.hModule, m_library);
  EXPECT_EQ(m_state.hResource, m_library);
  // Initialised already: nothing changes, not even for another module.
  EXPECT_TRUE(AfxInitExtensionModule(m_state, GetModuleHandleW(nullptr)));
  EXPECT_EQ(m_state.hModule, m_library);
}

TEST_F(ExtensionModuleTest, ALibraryRecordPutsTheModuleOnTheResourceChain) {
  ASSERT_EQ(FindResourceW(AfxGetResourceHandle(), kExpressStringBlock, RT_STRING), nullptr);
  EXPECT_EQ(AfxFindResourceHandle(kExpressStringBlock, RT_STRING), AfxGetResourceHandle());
  ASSERT_TRUE(AfxInitExtensionModule(m_state, m_library));
  EXPECT_EQ(AfxFindResourceHandle(kExpressStringBlock, RT_STRING), AfxGetResourceHandle());  // not on the chain yet

  new CDynLinkLibrary(m_state);
  EXPECT_EQ(AfxFindResourceHandle(kExpressStringBlock, RT_STRING), m_library);
  // Ending the record takes its library records off the chain and clears it.
  AfxTermExtensionModule(m_state);
  EXPECT_FALSE(m_state.bInitialized);
  EXPECT_EQ(m_state.hModule, nullptr);
  EXPECT_EQ(AfxFindResourceHandle(kExpressStringBlock, RT_STRING), AfxGetResourceHandle());
  AfxTermExtensionModule(m_state);  // nothing left to end
}

TEST_F(ExtensionModuleTest, EndingOneRecordLeavesTheOthersLibraries) {
  ASSERT_TRUE(AfxInitExtensionModule(m_state, m_library));
  new CDynLinkLibrary(m_state);
  AFX_EXTENSION_MODULE program;
  ASSERT_TRUE(AfxInitExtensionModule(program, GetModuleHandleW(nullptr)));
  new CDynLinkLibrary(program);
  AfxTermExtensionModule(program);
  EXPECT_EQ(AfxFindResourceHandle(kExpressStringBlock, RT_STRING), m_library);
  // With bAll, every library record goes.
  AFX_EXTENSION_MODULE last;
  ASSERT_TRUE(AfxInitExtensionModule(last, GetModuleHandleW(nullptr)));
  AfxTermExtensionModule(last, TRUE);
  EXPECT_EQ(AfxFindResourceHandle(kExpressStringBlock, RT_STRING), AfxGetResourceHandle());
}

}  // namespace
