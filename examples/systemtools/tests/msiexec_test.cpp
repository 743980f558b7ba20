// msiexec of every new machine: /i installs a package for real, /x removes it
// again by product code or by package, in the forms the setup program and an
// uninstall entry use; the exit code is the installer's result.
#include <gtest/gtest.h>

#include "msi.h"
#include "testing/tempmachine.h"
#include "toolrun.h"
#include "win32/files.h"

namespace {

using tooltest::exitCodeOf;
using tooltest::run;
using winsim::testing::TempMachine;

constexpr char16_t kCode[] = u"{1D2B4F0A-4C6E-4A8B-9D1F-2E3C4B5A6978}";

class MsiexecTest : public ::testing::Test {
 protected:
  MsiexecTest() : m_machine({}, {{'D', m_folder.path()}}) {
    tooltest::writeFile(m_folder.path() / "tool.msi",
                        "[Package]\n"
                        "ProductCode = {1D2B4F0A-4C6E-4A8B-9D1F-2E3C4B5A6978}\n"
                        "ProductName = Sample Tool\n"
                        "Manufacturer = Halvorn\n"
                        "[Properties]\n"
                        "TARGETDIR = [ProgramFilesFolder]Halvorn\\Tool\n"
                        "[Files]\n"
                        "file = [TARGETDIR]tool.txt | text=the tool\n"
                        "file = [TARGETDIR]bin\\tool.exe | source=payload\\tool.exe\n"
                        "[Registry]\n"
                        "value = HKLM\\SOFTWARE\\Halvorn\\Tool | Path | REG_SZ | [TARGETDIR]\n");
    tooltest::writeFile(m_folder.path() / "payload" / "tool.exe", "program bytes");
    tooltest::writeFile(m_folder.path() / "broken.msi",
                        "[Package]\nProductCode = {2D2B4F0A-4C6E-4A8B-9D1F-2E3C4B5A6978}\n"
                        "[Files]\nfile = [TARGETDIR]x.txt | text=x\n[Fault]\nresult = 1603\nmessage = Broken.\n");
  }

  bool exists(const char16_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }
  std::optional<std::u16string> path() {
    return tooltest::stringValue(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn\\Tool", u"Path", KEY_WOW64_32KEY);
  }

  tooltest::HostFolder m_folder;
  TempMachine m_machine;
};

TEST_F(MsiexecTest, InstallsAndRemovesByProductCode) {
  ASSERT_EQ(run(u"msiexec /i D:\\tool.msi /qn"), 0);
  EXPECT_TRUE(exists(u"C:\\Program Files (x86)\\Halvorn\\Tool\\tool.txt"));
  EXPECT_TRUE(exists(u"C:\\Program Files (x86)\\Halvorn\\Tool\\bin\\tool.exe"));
  EXPECT_EQ(path(), u"C:\\Program Files (x86)\\Halvorn\\Tool\\");

  // The setup program's own form: dashes, two blanks after the name.
  EXPECT_EQ(run(u"msiexec  -x " + std::u16string(kCode) + u" -q"), 0);
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Halvorn"));
  EXPECT_FALSE(path().has_value());
  EXPECT_FALSE(tooltest::keyExists(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Halvorn", KEY_WOW64_32KEY));
  EXPECT_TRUE(tooltest::messageBoxes(m_machine).empty());
}

TEST_F(MsiexecTest, TakesPropertiesAndRemovesByPackageOrUninstallString) {
  ASSERT_EQ(run(u"msiexec /passive /i \"D:\\tool.msi\" TARGETDIR=\"D:\\My Tools\" /norestart"), 0);
  EXPECT_TRUE(exists(u"D:\\My Tools\\tool.txt"));
  EXPECT_EQ(path(), u"D:\\My Tools\\");
  EXPECT_EQ(run(u"msiexec /x D:\\tool.msi /quiet"), 0);
  EXPECT_FALSE(exists(u"D:\\My Tools"));

  ASSERT_EQ(run(u"msiexec /i D:\\tool.msi /qn"), 0);
  const auto uninstall = tooltest::stringValue(
      HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::u16string(kCode),
      u"UninstallString", KEY_WOW64_32KEY);
  ASSERT_TRUE(uninstall.has_value());
  EXPECT_EQ(run(*uninstall + u" /qn"), 0);
  EXPECT_FALSE(path().has_value());
}

TEST_F(MsiexecTest, ExitsWithTheInstallersResult) {
  EXPECT_EQ(run(u"msiexec /i D:\\broken.msi /qn"), exitCodeOf(ERROR_INSTALL_FAILURE));
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Halvorn"));
  EXPECT_EQ(run(u"msiexec /i D:\\missing.msi /qn"), exitCodeOf(ERROR_INSTALL_PACKAGE_OPEN_FAILED));
  EXPECT_EQ(run(u"msiexec /x " + std::u16string(kCode) + u" /qn"), exitCodeOf(ERROR_UNKNOWN_PRODUCT));
  EXPECT_EQ(run(u"msiexec /qn"), exitCodeOf(ERROR_INVALID_COMMAND_LINE));
  EXPECT_EQ(run(u"msiexec /i D:\\tool.msi /qn /bogus"), exitCodeOf(ERROR_INVALID_COMMAND_LINE));
  EXPECT_TRUE(tooltest::messageBoxes(m_machine).empty());
}

TEST_F(MsiexecTest, WithoutQuietOptionsShowsWhatWentWrong) {
  EXPECT_EQ(run(u"msiexec /i D:\\broken.msi"), exitCodeOf(ERROR_INSTALL_FAILURE));
  EXPECT_EQ(run(u"msiexec /x " + std::u16string(kCode)), exitCodeOf(ERROR_UNKNOWN_PRODUCT));
  const auto boxes = tooltest::messageBoxes(m_machine);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0]["caption"], "Windows Installer");
  EXPECT_EQ(boxes[0]["text"], "Broken.");
  EXPECT_EQ(boxes[1]["text"], "This action is only valid for products that are currently installed.");
}

}  // namespace
