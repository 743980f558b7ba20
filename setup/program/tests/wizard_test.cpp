// The setup program's interactive flows, run on a fresh machine as a person
// runs them: the install wizard page by page, the licence page and back, a
// failed installation ending on the error-completion page with the rollback
// started, and the maintenance flow's repair and removal. A UI script is the
// person; the transcript says which pages were shown.
#include <unistd.h>

#include "programtest.h"

namespace {

using namespace programtest;

constexpr int kWelcome = 102;
constexpr int kLicense = 103;
constexpr int kMaintenance = 108;
constexpr int kErrorComplete = 109;
constexpr int kFinish = 110;
constexpr int kCopyFiles = 111;

// The wizard's walk to the finish page: tick the licence box, keep the
// folder, install.
constexpr char kInstallToFinish[] =
    "wait-dialog 102\n"
    "click 1037\n"
    "click 1018\n"
    "wait-dialog 111\n"
    "wait-dialog 110\n";

class WizardTest : public SetupProgramTest {
 protected:
  /// A machine with the .NET Framework 4 client (unless told otherwise),
  /// which the installation looks for before it installs the spreadsheet
  /// tables.
  explicit WizardTest(const fs::path& package = WINSIM_PACKAGE_DIR, bool dotNet = true)
      : SetupProgramTest({}, package) {
    if (!dotNet) return;
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Client", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::u16string path = u"C:\\Windows\\Microsoft.NET\\Framework\\v4.0.30319\\";
    const std::u16string version = u"4.0.30319";
    const DWORD install = 1;
    RegSetValueExW(key, u"InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * 2));
    RegSetValueExW(key, u"Install", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&install), sizeof install);
    RegSetValueExW(key, u"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>((version.size() + 1) * 2));
    RegCloseKey(key);
  }

  /// Whether the finish page started the viewer's launcher: korax.exe, which
  /// kxStart.exe starts, says its command line in the transcript.
  bool viewerStarted() const {
    for (const auto& record : transcript("Process"))
      if (record.value("image", "").find("korax.exe") != std::string::npos) return true;
    return !transcript("ModuleLoad").empty();
  }

  void installWithTheWizard() {
    uiScript(std::string(kInstallToFinish) + "click 1044\nclick 1001\n");
    ASSERT_EQ(winsimRun("D:\\Setup.exe"), 0);
    ASSERT_TRUE(exists(installed(u"korax.exe")));
  }
};

TEST_F(WizardTest, TheWizardInstallsAndTheFinishPageStartsTheViewer) {
  uiScript(std::string(kInstallToFinish) + "click 1001\n");
  EXPECT_EQ(winsimRun("D:\\Setup.exe"), 0);
  EXPECT_EQ(pagesShown(), (std::vector<int>{kWelcome, kCopyFiles, kFinish}));
  for (const char16_t* name :
       {u"korax.exe", u"kxStart.exe", u"Setup.exe", u"IntallerRes.dll", u"HUninstall", u"Setup.ini", u"install.log"})
    EXPECT_TRUE(exists(installed(name))) << fs::path(name).string();
  EXPECT_EQ(stringValue(kProductKey, u"path"), kInstallDir);
  // The wizard's installation is recorded for the maintenance flow.
  EXPECT_EQ(stringValue(kUninstallEntry, u"InstallLocation"), kInstallDir);
  EXPECT_TRUE(boxes().empty());
  ASSERT_TRUE(ended(u"kxStart.exe"));
  ASSERT_TRUE(ended(u"korax.exe"));
  EXPECT_TRUE(viewerStarted());
}

TEST_F(WizardTest, TheLicencePageAndBackKeepTheChoiceAndEscapeOnTheFinishPageStartsNothing) {
  uiScript(
      "wait-dialog 102\n"
      "click 1038\n"  // the licence agreement
      "wait-dialog 103\n"
      "click 1003\n"  // accept
      "click 1004\n"  // and do not accept after all
      "click 1000\n"  // back
      "wait-dialog 102\n"
      "click 1018\n"  // install: the licence is not accepted
      "answer IDOK\n"
      "click 1038\n"
      "wait-dialog 103\n"
      "click 1003\n"
      "click 1001\n"  // install from the licence page
      "wait-dialog 111\n"
      "wait-dialog 110\n"
      "key ESCAPE\n");
  EXPECT_EQ(winsimRun("D:\\Setup.exe"), 0);
  EXPECT_EQ(pagesShown(), (std::vector<int>{kWelcome, kLicense, kWelcome, kLicense, kCopyFiles, kFinish}));
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0]["text"], "You must agree to the License Agreement before installing.");
  EXPECT_TRUE(exists(installed(u"korax.exe")));
  EXPECT_FALSE(viewerStarted());
}

TEST_F(WizardTest, CancelOnTheWelcomePageEndsOnTheErrorPageWithoutInstalling) {
  uiScript("wait-dialog 102\nclick 2\nwait-dialog 109\nclick 1001\n");
  EXPECT_EQ(winsimRun("D:\\Setup.exe"), 0);
  EXPECT_EQ(pagesShown(), (std::vector<int>{kWelcome, kErrorComplete}));
  EXPECT_FALSE(exists(kInstallDir));
  EXPECT_FALSE(keyExists(kProductKey));
}

TEST_F(WizardTest, MaintenanceRepairsThenRemovesTheProduct) {
  installWithTheWizard();
  fs::remove(m_machine.host(installed(u"korax.exe")));

  // Repair: the copy-files page installs again.
  uiScript("wait-dialog 108\nclick 1012\nclick 1001\nwait-dialog 111\nwait-dialog 110\nkey ESCAPE\n");
  EXPECT_EQ(winsimRun("D:\\Setup.exe"), 0);
  EXPECT_TRUE(exists(installed(u"korax.exe"))) << "repaired";

  // Removal: the page asks, then the uninstaller asks and reports.
  uiScript("wait-dialog 108\nclick 1001\nanswer IDYES\nanswer IDYES\nanswer IDOK\n");
  EXPECT_EQ(winsimRun("D:\\Setup.exe"), 0);
  ASSERT_TRUE(ended(u"HUninstall.exe"));
  EXPECT_FALSE(exists(kInstallDir));
  const auto shown = boxes();
  ASSERT_GE(shown.size(), 1u);
  EXPECT_EQ(shown[0]["text"], "\nAre you sure you want to uninstall this product?\n");
  EXPECT_EQ(shown[0]["caption"], "DWG Merrowin");
  const auto pages = pagesShown();
  EXPECT_EQ(std::count(pages.begin(), pages.end(), kMaintenance), 2);
}

/// A copy of the example package that lacks the registration tool, so the
/// installation fails after the payload and the shell extension's folder are
/// in place. The machine has no .NET Framework: the spreadsheet tables, which
/// would make that folder first, are not installed, so the folder is the
/// installation's own and the log records it for the rollback.
fs::path failingPackage() {
  char pattern[] = "/tmp/failing-package-XXXXXX";
  const fs::path folder = ::mkdtemp(pattern);
  fs::copy(WINSIM_PACKAGE_DIR, folder, fs::copy_options::recursive);
  fs::remove(folder / "files" / "WriteRegister.exe");
  return folder;
}

class FailedInstallationTest : public WizardTest {
 protected:
  FailedInstallationTest() : FailedInstallationTest(failingPackage()) {}
  ~FailedInstallationTest() override { fs::remove_all(m_package); }

 private:
  explicit FailedInstallationTest(const fs::path& package) : WizardTest(package, false), m_package(package) {}

 protected:
  const fs::path m_package;
};

TEST_F(FailedInstallationTest, EndsOnTheErrorPageWithTheRollbackStarted) {
  uiScript(
      "wait-dialog 102\nclick 1037\nclick 1018\nwait-dialog 111\n"
      "wait-dialog 109\nclick 1001\n");
  EXPECT_EQ(winsimRun("D:\\Setup.exe"), 0);
  EXPECT_EQ(pagesShown(), (std::vector<int>{kWelcome, kCopyFiles, kErrorComplete}));
  // The rollback: the uninstaller started quietly from the package with the
  // installation's log.
  ASSERT_TRUE(ended(u"HUninstall.exe"));
  EXPECT_TRUE(fs::exists(m_package / "install.log"));
  EXPECT_FALSE(exists(installed(u"korax.exe")));
  EXPECT_FALSE(keyExists(kUninstallEntry));
  EXPECT_FALSE(viewerStarted());
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0]["text"],
            "Please install the Microsoft .NET Framework 4.0 correctly , and then use the VazeRivIrira.");
  EXPECT_EQ(shown[1]["text"], "File :'D:\\files\\WriteRegister.exe' does not exist!");
  EXPECT_EQ(shown[2]["text"], "WriteRegister.exe,Failed to install,Please reinstall!");
}

}  // namespace
