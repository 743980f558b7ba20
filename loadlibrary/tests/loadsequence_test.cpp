// The loader's load and unload sequences, run here with the host in this
// process on the installed layout, so that the handle list can be seen.
#include "loadsequence.h"

#include <gtest/gtest.h>

#include "kxed.h"
#include "kxhost.h"
#include "layout.h"
#include "win32/module.h"

namespace {

using namespace mwloadlibrary::testing;

class LoadSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kxhost::setCommandLineToStdout(false);
    kxhost::newDocument();
    // What the loader's entry function does before the sequence.
    resbuf value{};
    value.restype = RTSHORT;
    value.resval.rint = 0;
    kxedSetVar(u"SECURELOAD", &value);
  }
  void TearDown() override {
    if (m_loader) FreeLibrary(m_loader);
    kxhost::endSession();
    kxhost::setCommandLineToStdout(true);
  }
  /// The loader module itself, for its instance handle (its file name gives
  /// the folders).
  HINSTANCE loader() {
    if (!m_loader) m_loader = LoadLibraryW(kLoader.c_str());
    EXPECT_NE(m_loader, nullptr);
    return m_loader;
  }

  winsim::testing::TempMachine m_machine;
  HMODULE m_loader = nullptr;
};

TEST_F(LoadSequenceTest, FoldersComeFromTheModulesFileName) {
  installProduct(m_machine);
  EXPECT_EQ(mwloadlibrary::moduleFolder(loader()), CString(kToolFolder.c_str()));
  EXPECT_EQ(mwloadlibrary::installationFolder(CString(kToolFolder.c_str())), CString(kInstallation.c_str()));
  EXPECT_EQ(mwloadlibrary::installationFolder(u"C:"), CString(u""));
  EXPECT_EQ(mwloadlibrary::installationFolder(u""), CString(u""));
  EXPECT_EQ(mwloadlibrary::moduleFolder(reinterpret_cast<HINSTANCE>(std::uintptr_t{0x7FFF0000})), CString(u""));
}

TEST_F(LoadSequenceTest, TheInstalledLayoutLoadsThePackAndBothModulesInOrder) {
  installProduct(m_machine);
  mwloadlibrary::loadSequence(loader());
  EXPECT_EQ(kxhost::loadedModules(), std::vector<OdString>({OdString(kCommonModule), OdString(kExtensionTool)}));
  const HMODULE pack = GetModuleHandleW(u"BCGCBPRO2510u100.dll");
  ASSERT_NE(pack, nullptr);
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(pack, path, MAX_PATH);
  EXPECT_EQ(std::u16string(path), kPack);
  EXPECT_EQ(mwloadlibrary::libraryHandles(), std::vector<HINSTANCE>({pack}));

  mwloadlibrary::unloadSequence(loader());
  EXPECT_TRUE(kxhost::loadedModules().empty());
  EXPECT_EQ(GetModuleHandleW(u"BCGCBPRO2510u100.dll"), nullptr);
  EXPECT_EQ(moduleEvents(m_machine), std::vector<std::string>({load(kCommonModule), load(kExtensionTool),
                                                               unload(kCommonModule), unload(kExtensionTool)}));
}

TEST_F(LoadSequenceTest, APackTheHostLoadedIsUsedAndNotReleased) {
  installProduct(m_machine);
  const HMODULE hostsPack = LoadLibraryW(kPack.c_str());
  ASSERT_NE(hostsPack, nullptr);
  mwloadlibrary::loadSequence(loader());
  EXPECT_TRUE(mwloadlibrary::libraryHandles().empty());
  EXPECT_EQ(kxhost::loadedModules().size(), 2u);
  mwloadlibrary::unloadSequence(loader());
  EXPECT_EQ(GetModuleHandleW(u"BCGCBPRO2510u100.dll"), hostsPack);
  EXPECT_TRUE(FreeLibrary(hostsPack));
  EXPECT_EQ(GetModuleHandleW(u"BCGCBPRO2510u100.dll"), nullptr);  // the host's one reference was all
}

TEST_F(LoadSequenceTest, LoadUnloadLoadKeepsAtMostOnePackHandle) {
  installProduct(m_machine);
  mwloadlibrary::loadSequence(loader());
  mwloadlibrary::unloadSequence(loader());
  mwloadlibrary::loadSequence(loader());
  EXPECT_EQ(mwloadlibrary::libraryHandles().size(), 1u);
  EXPECT_EQ(kxhost::loadedModules().size(), 2u);
  // A second start without a stop (the host never sends one: it does not
  // initialise a module twice) finds the pack loaded and records nothing, so
  // the handle of the first start is forgotten, not doubled.
  mwloadlibrary::loadSequence(loader());
  EXPECT_TRUE(mwloadlibrary::libraryHandles().empty());
  mwloadlibrary::unloadSequence(loader());
  EXPECT_TRUE(kxhost::loadedModules().empty());
  const HMODULE forgotten = GetModuleHandleW(u"BCGCBPRO2510u100.dll");
  ASSERT_NE(forgotten, nullptr);
  EXPECT_TRUE(FreeLibrary(forgotten));
  EXPECT_EQ(GetModuleHandleW(u"BCGCBPRO2510u100.dll"), nullptr);
}

TEST_F(LoadSequenceTest, AMissingPackOrModuleStopsNothingElse) {
  installProduct(m_machine, Pack::Missing);
  std::filesystem::remove(m_machine.host(kExtensionTool));
  kxhost::clearCommandLineText();
  mwloadlibrary::loadSequence(loader());
  EXPECT_TRUE(mwloadlibrary::libraryHandles().empty());
  EXPECT_EQ(GetModuleHandleW(u"BCGCBPRO2510u100.dll"), nullptr);
  EXPECT_NE(kxhost::commandLineText().find(u"Cannot load " + kExtensionTool), std::u16string::npos);
  EXPECT_EQ(kxhost::loadedModules(), std::vector<OdString>({OdString(kCommonModule)}));
  // Unloading what is not loaded is passed over.
  mwloadlibrary::unloadSequence(loader());
  EXPECT_EQ(moduleEvents(m_machine), std::vector<std::string>({load(kCommonModule), unload(kCommonModule)}));
}

}  // namespace
