// The installer runners: the command lines they start, how they wait, what
// counts as success, their progress notices and their messages. The installers
// are small scripts of the machine that record how they were started.
#include "installers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "enginetest.h"
#include "msilibrary.h"
#include "setupmessages.h"
#include "setupstate.h"
#include "win32/user.h"

namespace {

namespace fs = std::filesystem;
using enginetest::utf8;

class InstallersTest : public enginetest::EngineTest {
 protected:
  InstallersTest() {
    m_window = CreateWindowExW(0, u"Static", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  ~InstallersTest() override {
    notices();  // what a test left unread goes with its window
    DestroyWindow(m_window);
  }

  /// A program of the machine: a shell script that writes its Windows command
  /// line into C:\record.txt, after `before` (more shell commands), and exits
  /// with `exitCode`.
  void writeInstaller(std::u16string_view windowsPath, int exitCode = 0, const std::string& before = "") {
    writeFile(windowsPath, "#!/bin/sh\n" + before + "\nprintf '%s' \"$WINSIM_CMDLINE\" > '" + record().string() +
                               "'\nexit " + std::to_string(exitCode) + "\n");
    fs::permissions(host(windowsPath), fs::perms::owner_exec, fs::perm_options::add);
  }
  fs::path record() const { return host(u"C:\\record.txt"); }
  std::string recorded() const { return fs::exists(record()) ? readFile(u"C:\\record.txt") : "(not started)"; }

  /// The notices posted to the progress window so far.
  std::vector<UINT> notices() {
    std::vector<UINT> seen;
    MSG message;
    while (PeekMessageW(&message, m_window, 0, 0, PM_REMOVE)) seen.push_back(message.message);
    return seen;
  }

  HWND m_window = nullptr;
};

const std::vector<UINT> kBeganAndDone = {WM_SETUP_STEP_BEGIN, WM_SETUP_STEP_DONE};
const std::vector<UINT> kBeganOnly = {WM_SETUP_STEP_BEGIN};

TEST_F(InstallersTest, PassiveAndQuietRunnersStartTheirCommandLines) {
  struct Case {
    BOOL (*runner)(LPCWSTR, HWND);
    const char16_t* path;
    const char* commandLine;
  } cases[] = {
      {RunPassiveInstaller, u"C:\\Package\\files\\korax_global.exe",
       "\"C:\\Package\\files\\korax_global.exe\" -passive -norestart"},
      {RunQuietInstaller, u"C:\\Package\\Msi\\vcredist_x86_10.exe",
       "\"C:\\Package\\Msi\\vcredist_x86_10.exe\" -q -norestart"},
      {RunQuietInstaller, u"C:\\Package Folder\\Msi\\vcredist_x64_10.exe",
       "\"C:\\Package Folder\\Msi\\vcredist_x64_10.exe\" -q -norestart"},
  };
  for (const auto& c : cases) {
    writeInstaller(c.path);
    EXPECT_TRUE(c.runner(c.path, m_window));
    EXPECT_EQ(recorded(), c.commandLine);
    EXPECT_EQ(notices(), kBeganAndDone);
    fs::remove(record());
  }
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(InstallersTest, WaitsForTheInstallerAndIgnoresItsExitCode) {
  // The installer takes a while and writes its record last: the runner returns
  // only after that, and an exit code of 7 is still a success.
  writeInstaller(u"C:\\Package\\files\\korax_local.exe", 7, "sleep 0.3");
  EXPECT_TRUE(RunPassiveInstaller(u"C:\\Package\\files\\korax_local.exe", m_window));
  EXPECT_TRUE(fs::exists(record()));
  EXPECT_EQ(notices(), kBeganAndDone);
}

TEST_F(InstallersTest, AMissingInstallerShowsText2005WithItsPath) {
  EXPECT_FALSE(RunQuietInstaller(u"C:\\Package\\Msi\\vcredist_x86_10.exe", m_window));
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"], "File :'C:\\Package\\Msi\\vcredist_x86_10.exe' does not exist!");
  EXPECT_EQ(boxes[0]["caption"], "Setup");
  EXPECT_EQ(notices(), kBeganOnly);
}

TEST_F(InstallersTest, AnInstallerThatCannotStartFailsSilently) {
  writeFile(u"C:\\Package\\files\\korax_global.exe", "not a program");  // no run bit: not runnable
  EXPECT_FALSE(RunPassiveInstaller(u"C:\\Package\\files\\korax_global.exe", m_window));
  EXPECT_TRUE(messageBoxes().empty());
  EXPECT_EQ(notices(), kBeganOnly);
}

TEST_F(InstallersTest, ACommandLineThatDoesNotFitIsRefusedNotCut) {
  // 2 quotes + path + " -q -norestart" (14) + terminator must fit 260.
  const std::u16string folder = u"C:\\" + std::u16string(200, u'f');
  const std::u16string fits = folder + u"\\" + std::u16string(243 - folder.size() - 1 - 4, u'a') + u".exe";
  const std::u16string tooLong = folder + u"\\" + std::u16string(244 - folder.size() - 1 - 4, u'a') + u".exe";
  ASSERT_EQ(fits.size() + 2 + 14 + 1, 260u);
  writeInstaller(fits);
  writeInstaller(tooLong);
  EXPECT_TRUE(RunQuietInstaller(fits.c_str(), m_window));
  EXPECT_TRUE(fs::exists(record()));
  fs::remove(record());
  EXPECT_FALSE(RunQuietInstaller(tooLong.c_str(), m_window));
  EXPECT_FALSE(fs::exists(record()));
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(InstallersTest, WithoutAProgressWindowNothingIsPosted) {
  writeInstaller(u"C:\\Package\\files\\korax_global.exe");
  EXPECT_TRUE(RunPassiveInstaller(u"C:\\Package\\files\\korax_global.exe", nullptr));
  MSG message;
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_SETUP_BEGIN, WM_SETUP_STEP_DONE, PM_REMOVE)) << message.message;
  EXPECT_TRUE(notices().empty());
}

TEST_F(InstallersTest, TheRegistrationToolGetsTheInstallationsArguments) {
  struct Case {
    const char16_t* languageKey;
    const char16_t* installDir;
    int package64;
    int num;
    int classicWorkspace;
    const char16_t* expected;
  } cases[] = {
      {u"zh_cn", u"D:\\Apps\\Viewer\\\\\\", 0, 1, 1,
       u"\"C:\\Package\\files\\WriteRegister.exe\" lang=zh-cn TARGETDIR=\"D:\\Apps\\Viewer\" PRODUCTNAME=\"DWG "
       u"Merrowin\" VERSION=16.0 PLATFROM=x86 NUM=1 WorkspaceName=0 MerrowinName=\"DWG梅罗温看图\" "
       u"MerrowinPath=\"D:\\Apps\\Viewer\" -q"},
      {u"en_us", u"C:\\Program Files\\Halvorn\\Merrowin", 1, 12, 0,
       u"\"C:\\Package\\files\\WriteRegister.exe\" lang=en-us TARGETDIR=\"C:\\Program Files\\Halvorn\\Merrowin\" "
       u"PRODUCTNAME=\"DWG Merrowin\" VERSION=16.0 PLATFROM=x64 NUM=12 WorkspaceName=1 MerrowinName=\"DWG梅罗温看图\" "
       u"MerrowinPath=\"C:\\Program Files\\Halvorn\\Merrowin\" -q"},
      {u"", u"C:\\X", 2, 0, 5,
       u"\"C:\\Package\\files\\WriteRegister.exe\" lang= TARGETDIR=\"C:\\X\" PRODUCTNAME=\"DWG Merrowin\" VERSION=16.0 "
       u"PLATFROM=x64 NUM=0 WorkspaceName=0 MerrowinName=\"DWG梅罗温看图\" MerrowinPath=\"C:\\X\" -q"},
  };
  for (const auto& c : cases) {
    CSetupState& state = SetupState();
    state.languageKey = c.languageKey;
    state.installDir = c.installDir;
    state.version = u"16.0";
    state.package64 = c.package64;
    state.num = c.num;
    state.classicWorkspace = c.classicWorkspace;
    EXPECT_EQ(utf8(static_cast<LPCWSTR>(BuildRegistrationCommandLine(u"C:\\Package\\files\\WriteRegister.exe"))),
              utf8(c.expected));
  }
  // The state itself keeps its folder as it was.
  EXPECT_EQ(CString(SetupState().installDir), CString(u"C:\\X"));
}

TEST_F(InstallersTest, TheRegistrationToolRunsHiddenWithoutNotices) {
  CSetupState& state = SetupState();
  state.languageKey = u"zh_cn";
  state.installDir = u"C:\\Program Files (x86)\\Halvorn\\Merrowin";
  state.version = u"16.0";
  writeInstaller(u"C:\\Package\\files\\WriteRegister.exe", 3, "sleep 0.2");
  EXPECT_TRUE(RunRegistrationTool(u"C:\\Package\\files\\WriteRegister.exe", m_window));
  EXPECT_EQ(recorded(),
            utf8(static_cast<LPCWSTR>(BuildRegistrationCommandLine(u"C:\\Package\\files\\WriteRegister.exe"))));
  EXPECT_TRUE(notices().empty());

  EXPECT_FALSE(RunRegistrationTool(u"C:\\Package\\files\\WriteRegister_x64.exe", m_window));
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"], "File :'C:\\Package\\files\\WriteRegister_x64.exe' does not exist!");
  EXPECT_TRUE(notices().empty());
}

TEST_F(InstallersTest, TheShellExtensionIsRegisteredSilentlyThroughRegsvr32) {
  // A regsvr32 of our own in the system folder, to see how it is started.
  writeInstaller(u"C:\\Windows\\System32\\regsvr32.exe", 5);
  writeFile(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\dwgthumb.dll", "library");
  EXPECT_TRUE(RegisterShellExtension(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\dwgthumb.dll"));
  EXPECT_EQ(recorded(), "regsvr32 \"C:\\Program Files (x86)\\Common Files\\Halvorn\\dwgthumb.dll\" -s");
  fs::remove(record());

  // A missing library: nothing to do, and that is no failure.
  EXPECT_TRUE(RegisterShellExtension(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\missing.dll"));
  EXPECT_FALSE(fs::exists(record()));

  // Without regsvr32 the registration fails.
  fs::remove(host(u"C:\\Windows\\System32\\regsvr32.exe"));
  EXPECT_FALSE(RegisterShellExtension(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\dwgthumb.dll"));
  EXPECT_TRUE(messageBoxes().empty());
  EXPECT_TRUE(notices().empty());
}

class MsiPackageTest : public InstallersTest {
 protected:
  ~MsiPackageTest() override { FreeMsiLibrary(); }

  /// A package of the machine's Windows Installer that writes one file and
  /// ends with `fault` (a [Fault] section, or nothing).
  void writePackage(std::u16string_view windowsPath, const std::string& fault = "") {
    writeFile(windowsPath,
              "[Package]\nProductCode = {3C1B5E2D-7A4F-4B6C-8D9E-0F1A2B3C4D5E}\nProductName = Sample\n"
              "[Files]\nfile = [WindowsFolder]sample.txt | text=installed\n" +
                  fault);
  }
  bool installed() { return fs::exists(host(u"C:\\Windows\\sample.txt")); }
  std::vector<std::string> boxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : messageBoxes())
      texts.push_back(box["caption"].get<std::string>() + ": " + box["text"].get<std::string>());
    return texts;
  }
};

TEST_F(MsiPackageTest, ASuccessfulPackageIsInstalled) {
  writePackage(u"C:\\Package\\Msi\\msxml6.msi");
  EXPECT_TRUE(RunMsiPackage(u"C:\\Package\\Msi\\msxml6.msi", m_window));
  EXPECT_TRUE(installed());
  EXPECT_EQ(notices(), kBeganAndDone);
  EXPECT_TRUE(messageBoxes().empty());
}

TEST_F(MsiPackageTest, FailuresAreReportedUnlessThePackageIsExempt) {
  struct Case {
    const char16_t* path;
    const char* fault;  // null: the package is missing
    bool reported;
  } cases[] = {
      {u"C:\\Package\\Msi\\product.msi", "[Fault]\nresult = 1603\n", true},
      {u"C:\\Package\\Msi\\product.msi", "[Fault]\nresult = 3010\n", true},  // a reboot request is a failure
      {u"C:\\Package\\Msi\\msxml6.msi", "[Fault]\nresult = 1603\n", false},
      {u"C:\\Package\\Msi\\msxml6.msi", nullptr, true},
      {u"C:\\Package\\Msi\\MSXML6_X64.msi", "[Fault]\nresult = 1603\n", true},
      {u"C:\\Package\\Msi\\XlsTable_CHS.msi", "[Fault]\nresult = 1603\n", false},
      {u"C:\\Package\\Msi\\XlsTable_CHS.msi", nullptr, false},
      {u"C:\\Package\\Msi\\xlstable_eng.msi", nullptr, false},
  };
  std::size_t shown = 0;
  for (const auto& c : cases) {
    const fs::path file = host(c.path);
    if (c.fault) writePackage(c.path, c.fault);
    EXPECT_FALSE(RunMsiPackage(c.path, m_window)) << utf8(c.path);
    EXPECT_EQ(notices(), kBeganOnly);
    const auto texts = boxTexts();
    ASSERT_EQ(texts.size(), shown + (c.reported ? 1 : 0)) << utf8(c.path);
    if (c.reported) {
      EXPECT_EQ(texts.back(), "Setup: Msi Install Failed!");
    }
    shown = texts.size();
    fs::remove(file);
  }
}

TEST_F(MsiPackageTest, TheInstallersErrorMessageReachesTheHandlersBox) {
  writePackage(u"C:\\Package\\Msi\\product.msi",
               "[Fault]\nresult = 1603\nmessage = Error 1722. There is a problem with this Windows Installer "
               "package.\nstyle = 0x11\n");
  EXPECT_FALSE(RunMsiPackage(u"C:\\Package\\Msi\\product.msi", m_window));
  EXPECT_FALSE(installed());
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0]["caption"], "Error");
  EXPECT_EQ(boxes[0]["text"], "Error 1722. There is a problem with this Windows Installer package.");
  EXPECT_EQ(boxes[0]["style"], "0x00000011");
  EXPECT_EQ(boxes[1]["text"], "Msi Install Failed!");
}

}  // namespace
