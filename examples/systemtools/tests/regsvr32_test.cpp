// regsvr32 of every new machine: it calls a library's registration entry
// points, reports a library without them, and is silent with /s; its exit
// codes are regsvr32's.
#include <gtest/gtest.h>

#include "testing/tempmachine.h"
#include "toolrun.h"

namespace {

namespace fs = std::filesystem;
using tooltest::run;
using winsim::testing::TempMachine;

constexpr char16_t kServerKey[] = u"CLSID\\{9A4C3A2E-6B1D-4F7A-8C55-3D2E1B0A7F61}\\InprocServer32";
constexpr char16_t kHandlerKey[] = u".dwg\\ShellEx\\{E357FCCD-A995-4576-B01F-234630154E96}";

class Regsvr32Test : public ::testing::Test {
 protected:
  void copy(const fs::path& built, std::u16string_view windowsPath) {
    const fs::path target = m_machine.host(windowsPath);
    fs::create_directories(target.parent_path());
    fs::copy_file(built, target, fs::copy_options::overwrite_existing);
  }
  static fs::path bin() { return winsim::testing::testProgramFolder(); }

  TempMachine m_machine;
};

TEST_F(Regsvr32Test, RegistersAndUnregistersALibraryWithItsEntryPoints) {
  copy(fs::path(WINSIM_PACKAGE_DIR) / "files" / "korax_global" / "dwgthumb.dll",
       u"C:\\Program Files\\Common Files\\Halvorn\\dwgthumb.dll");
  EXPECT_EQ(run(u"regsvr32 \"C:\\Program Files\\Common Files\\Halvorn\\dwgthumb.dll\" -s"), 0);
  EXPECT_EQ(tooltest::stringValue(HKEY_CLASSES_ROOT, kServerKey, u""),
            u"C:\\Program Files\\Common Files\\Halvorn\\dwgthumb.dll");
  EXPECT_EQ(tooltest::stringValue(HKEY_CLASSES_ROOT, kHandlerKey, u""), u"{9A4C3A2E-6B1D-4F7A-8C55-3D2E1B0A7F61}");
  EXPECT_TRUE(tooltest::messageBoxes(m_machine).empty());

  EXPECT_EQ(run(u"regsvr32 /u \"C:\\Program Files\\Common Files\\Halvorn\\dwgthumb.dll\""), 0);
  EXPECT_FALSE(tooltest::keyExists(HKEY_CLASSES_ROOT, kServerKey));
  EXPECT_FALSE(tooltest::keyExists(HKEY_CLASSES_ROOT, kHandlerKey));
  const auto boxes = tooltest::messageBoxes(m_machine);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["caption"], "RegSvr32");
  EXPECT_EQ(boxes[0]["text"],
            "DllUnregisterServer in C:\\Program Files\\Common Files\\Halvorn\\dwgthumb.dll succeeded.");
}

TEST_F(Regsvr32Test, ALibraryWithoutTheEntryPointIsReported) {
  // Resource-only PE libraries, of both bitnesses: their code never runs here.
  copy(bin() / "expressres.dll", u"C:\\Tools\\expressres.dll");
  copy(bin() / "IntallerRes.dll", u"C:\\Tools\\IntallerRes.dll");
  EXPECT_EQ(run(u"regsvr32 /s C:\\Tools\\expressres.dll"), 4);
  EXPECT_EQ(run(u"regsvr32 -s \"C:\\Tools\\IntallerRes.dll\""), 4);
  EXPECT_TRUE(tooltest::messageBoxes(m_machine).empty());

  EXPECT_EQ(run(u"regsvr32 C:\\Tools\\expressres.dll"), 4);
  const auto boxes = tooltest::messageBoxes(m_machine);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"],
            "The module \"C:\\Tools\\expressres.dll\" was loaded but the entry-point DllRegisterServer was not found."
            "\n\nMake sure that \"C:\\Tools\\expressres.dll\" is a valid DLL or OCX file and then try again.");
}

TEST_F(Regsvr32Test, ExitCodesOfLibrariesThatDoNotLoadAndOfBadCommandLines) {
  EXPECT_EQ(run(u"regsvr32 /s C:\\Tools\\missing.dll"), 3);
  tooltest::writeFile(m_machine.host(u"C:\\Tools\\text.dll"), "not a library");
  EXPECT_EQ(run(u"regsvr32 /s C:\\Tools\\text.dll"), 3);
  EXPECT_EQ(run(u"regsvr32 /s"), 1);
  EXPECT_EQ(run(u"regsvr32 /s /z C:\\Tools\\text.dll"), 1);
  EXPECT_TRUE(tooltest::messageBoxes(m_machine).empty());
  EXPECT_EQ(run(u"regsvr32 C:\\Tools\\missing.dll"), 3);
  const auto boxes = tooltest::messageBoxes(m_machine);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"].get<std::string>().rfind("The module \"C:\\Tools\\missing.dll\" failed to load.", 0), 0u);
}

}  // namespace
