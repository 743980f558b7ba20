// The install procedure with the example package's real installers: a real
// window on the test thread receives what the procedure, running on its own
// thread as on the install thread, posts; the notices in order, the message
// boxes, and what lands on the machine.
#include "installprocedure.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "productkey.h"
#include "registrytest.h"
#include "setupmessages.h"
#include "setuptest.h"
#include "uninstall.h"

namespace {

namespace fs = std::filesystem;
using enginetest::kInstallDir;
using enginetest::registerNetClient;
using winsim::ProfileSetting;
using Notices = std::vector<UINT>;

constexpr UINT B = WM_SETUP_BEGIN, SB = WM_SETUP_STEP_BEGIN, SD = WM_SETUP_STEP_DONE, DONE = WM_SETUP_DONE,
               FAILED = WM_SETUP_FAILED;

/// Windows Installer's record of the installed payload (32-bit view).
constexpr char16_t kPayloadRecord[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{7DB4C454-5CBC-48FF-B070-7FED49DD181E}";

constexpr char kFailureStyle[] = "0x00051010";  // error icon, system-modal, set-foreground, topmost

class InstallProcedureTest : public enginetest::SetupTest {
 public:
  using SetupTest::host;

 protected:
  explicit InstallProcedureTest(const std::vector<ProfileSetting>& settings = {}) : SetupTest(settings) {
    copyPackage();
    installTextLibrary();
    writeFile(u"C:\\Package\\Setup.ini", "[SETUP]\r\nWOW64=0\r\n[RES]\r\nLANGUAGE=en_US\r\n");
    CSetupState& state = SetupState();
    state.productName = u"DWG Merrowin";
    state.companyName = u"Halvorn";
    state.version = u"16.0";
    state.language = u"en_US";
    state.languageKey = u"en_us";
    state.lcid = u"1033";
    state.os64 = machine().profileString(u"system", u"processor") != u"x86";
    state.installDir = state.os64 ? kInstallDir : u"C:\\Program Files\\Halvorn\\Merrowin";
    state.mode = ModeInstall;
  }

  /// What the welcome page does before the copy-files page starts the
  /// procedure: the product key names the folder the payload installs into.
  void acceptFolder() { WriteProductKey(); }

  /// Runs the procedure on its own thread, reporting to a window of this
  /// thread, and returns the notices the window received up to the end
  /// message (and any that came after it).
  Notices runProcedure() {
    HWND page = CreateWindowExW(0, u"Static", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(page, nullptr);
    std::thread worker([page] { OnStartInstall(page); });
    Notices notices;
    MSG message;
    while (GetMessageW(&message, page, WM_SETUP_BEGIN, WM_SETUP_STEP_DONE) > 0) {
      notices.push_back(message.message);
      if (message.message == WM_SETUP_DONE || message.message == WM_SETUP_FAILED) break;
    }
    worker.join();
    while (PeekMessageW(&message, page, 0, 0, PM_REMOVE)) notices.push_back(message.message);
    DestroyWindow(page);
    return notices;
  }

  std::vector<std::string> boxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : messageBoxes()) texts.push_back(box["text"]);
    return texts;
  }

  std::u16string installed(std::u16string_view name) const {
    return std::u16string(kInstallDir) + u"\\" + std::u16string(name);
  }
};

TEST_F(InstallProcedureTest, AFullRunInstallsEverything) {
  registerNetClient();
  acceptFolder();
  EXPECT_EQ(runProcedure(), (Notices{B, SB, SD,        // Windows Installer 3.1
                                     SB, SD,           // runtimes, 32-bit
                                     SB, SD,           // runtimes, 64-bit
                                     SB, SD,           // msxml6.msi
                                     SB, SD,           // korax_global.exe
                                     SB, SD,           // korax_local.exe
                                     SB, SD,           // XlsTable_CHS.msi
                                     SB, SD, DONE}));  // own files ... uninstall entry
  EXPECT_TRUE(messageBoxes().empty());

  // The payload, the setup program's own files, and no payload uninstaller.
  for (const char16_t* name : {u"korax.exe", u"kxStart.exe", u"dwgthumb.dll", u"Lang\\en-US\\korax.txt",
                               u"IntallerRes.dll", u"Setup.ini", u"HUninstall", u"install.log"})
    EXPECT_TRUE(exists(installed(name))) << enginetest::utf8(name);
  EXPECT_FALSE(exists(installed(u"uninst.exe")));
  EXPECT_FALSE(exists(installed(u"HUninstall.exe")));
  // The shell extension, copied and registered.
  EXPECT_TRUE(exists(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\dwgthumb.dll"));
  EXPECT_TRUE(exists(u"C:\\Program Files (x86)\\Common Files\\Halvorn\\XlsTable"));
  // The registration tool ran with the 32-bit package's arguments.
  EXPECT_EQ(enginetest::readValue(u"SOFTWARE\\Winsim\\StandIns\\WriteRegister.exe", u"PLATFROM")->text, u"x86");
  EXPECT_EQ(enginetest::readValue(u"SOFTWARE\\Winsim\\StandIns\\WriteRegister.exe", u"TARGETDIR")->text, kInstallDir);
  // The uninstall entry, its records and the shortcuts.
  EXPECT_EQ(enginetest::readValue(u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_en_us",
                                  u"InstallLocation")
                ->text,
            kInstallDir);
  EXPECT_TRUE(exists(u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk"));
  const auto records = logRecords(installed(u"install.log"));
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back(), "File: wrote 341000 to \"C:\\Program Files (x86)\\Halvorn\\Merrowin\\HUninstall\"");
}

TEST_F(InstallProcedureTest, TheShellExtensionFolderIsLoggedWhenTheProcedureCreatesIt) {
  // Without .NET no spreadsheet tables are installed, so the procedure makes
  // Common Files\Halvorn itself and logs it first.
  acceptFolder();
  runProcedure();
  const auto records = logRecords(installed(u"install.log"));
  ASSERT_GE(records.size(), 2u);
  EXPECT_EQ(records[0], "CreateDirectory: \"C:\\Program Files (x86)\\Common Files\\Halvorn\" (0)");
  EXPECT_EQ(records[1], "CreateDirectory: \"C:\\Program Files (x86)\\Common Files\\Halvorn\" created");
}

TEST_F(InstallProcedureTest, AFailureBeforeTheLogLeavesNothingToRollBack) {
  // The local payload is missing: the global one is installed, and no record
  // has been written yet, so the rollback cannot start the uninstaller.
  fs::remove(host(u"C:\\Package\\files\\korax_local.exe"));
  acceptFolder();
  EXPECT_EQ(runProcedure().back(), FAILED);
  EXPECT_TRUE(exists(installed(u"korax.exe")));
  EXPECT_FALSE(RollBackInstall());
  EXPECT_TRUE(exists(installed(u"korax.exe")));
}

TEST_F(InstallProcedureTest, ALaterFailureIsRolledBackByTheUninstaller) {
  // The registration tool is missing: the shell extension folder has been
  // created and logged, so the package's uninstaller can take the
  // installation away again.
  fs::remove(host(u"C:\\Package\\files\\WriteRegister.exe"));
  acceptFolder();
  EXPECT_EQ(runProcedure().back(), FAILED);
  ASSERT_TRUE(exists(installed(u"korax.exe")));
  ASSERT_TRUE(enginetest::readValue(kPayloadRecord, u"DisplayName"));
  EXPECT_TRUE(RollBackInstall());
  EXPECT_TRUE(enginetest::ended(u"HUninstall.exe"));
  EXPECT_TRUE(exists(u"C:\\Package\\install.log"));
  EXPECT_FALSE(exists(kInstallDir));
  EXPECT_FALSE(enginetest::readValue(kPayloadRecord, u"DisplayName")) << "the payload's product is removed";
  // The uninstaller ran quietly: only the failure's boxes were shown.
  EXPECT_EQ(boxTexts().size(), 3u);
}

struct ProcedureCase {
  const char* name;
  std::vector<ProfileSetting> settings;
  std::function<void(InstallProcedureTest&)> prepare;
  Notices expected;
  std::vector<std::string> boxes;
};

void PrintTo(const ProcedureCase& c, std::ostream* os) { *os << c.name; }

class ProcedureCaseTest : public InstallProcedureTest, public ::testing::WithParamInterface<ProcedureCase> {
 protected:
  ProcedureCaseTest() : InstallProcedureTest(GetParam().settings) {}
};

TEST_P(ProcedureCaseTest, PostsItsNoticesAndShowsItsMessages) {
  acceptFolder();
  GetParam().prepare(*this);
  EXPECT_EQ(runProcedure(), GetParam().expected);
  EXPECT_EQ(boxTexts(), GetParam().boxes);
  const auto boxes = messageBoxes();
  if (!boxes.empty() && GetParam().expected.back() == FAILED) {
    EXPECT_EQ(boxes.back()["caption"], "DWG Merrowin");
    EXPECT_EQ(boxes.back()["style"], kFailureStyle);
  }
}

/// Windows Installer 3.1 is there already: its class id can be looked up.
void windowsInstallerPresent(InstallProcedureTest&) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"WindowsInstaller.Installer\\CLSID", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string id = u"{000C1090-0000-0000-C000-000000000046}";
  RegSetValueExW(key, u"", 0, REG_SZ, reinterpret_cast<const BYTE*>(id.c_str()),
                 static_cast<DWORD>((id.size() + 1) * 2));
  RegCloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ProcedureCaseTest,
    ::testing::Values(
        ProcedureCase{"WindowsInstallerPresent",
                      {},
                      [](InstallProcedureTest& t) {
                        windowsInstallerPresent(t);
                        registerNetClient(u"4.5.50709");
                      },
                      {B, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, DONE},
                      {}},
        ProcedureCase{"NoNetFramework",
                      {},
                      [](InstallProcedureTest& t) { windowsInstallerPresent(t); },
                      {B, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, DONE},
                      {"Please install the Microsoft .NET Framework 4.0 correctly , and then use the VazeRivIrira."}},
        ProcedureCase{"NetFrameworkTooOld",
                      {},
                      [](InstallProcedureTest& t) {
                        windowsInstallerPresent(t);
                        registerNetClient(u"4.0.30318");
                      },
                      {B, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, DONE},
                      {"Please install the Microsoft .NET Framework 4.0 correctly , and then use the VazeRivIrira."}},
        ProcedureCase{"MissingLocalPayload",
                      {},
                      [](InstallProcedureTest& t) {
                        windowsInstallerPresent(t);
                        fs::remove(t.host(u"C:\\Package\\files\\korax_local.exe"));
                      },
                      {B, SB, SD, SB, SD, SB, SD, SB, SD, SB, FAILED},
                      {"File :'C:\\Package\\files\\korax_local.exe' does not exist!",
                       "korax_local.exe,Failed to install,Please reinstall!"}},
        ProcedureCase{"MissingRuntime",
                      {},
                      [](InstallProcedureTest& t) { fs::remove(t.host(u"C:\\Package\\Msi\\vcredist_x86_10.exe")); },
                      {B, SB, SD, SB, FAILED},
                      {"File :'C:\\Package\\Msi\\vcredist_x86_10.exe' does not exist!",
                       "vcredist_x86_10.exe,Failed to install,Please reinstall!"}},
        ProcedureCase{"FailingMsxml32IsIgnored",
                      {},
                      [](InstallProcedureTest& t) {
                        windowsInstallerPresent(t);
                        registerNetClient();
                        fs::remove(t.host(u"C:\\Package\\Msi\\msxml6.msi"));  // missing: text 2012, then go on
                      },
                      {B, SB, SD, SB, SD, SB, SB, SD, SB, SD, SB, SD, SB, SD, DONE},
                      {"Msi Install Failed!"}},
        ProcedureCase{"RemoveModeDoesNothing",
                      {},
                      [](InstallProcedureTest&) { SetupState().mode = ModeRemove; },
                      {B, DONE},
                      {}},
        ProcedureCase{"Package64FailingMsxml64",
                      {},
                      [](InstallProcedureTest& t) {
                        windowsInstallerPresent(t);
                        SetupState().package64 = 1;
                        std::ofstream(t.host(u"C:\\Package\\Msi\\msxml6_x64.msi"), std::ios::app)
                            << "\n[Fault]\nresult = 1603\nmessage = Error 1722. There is a problem with this Windows "
                               "Installer package.\nkind = error\nstyle = 0x10\n";
                      },
                      {B, SB, SD, SB, FAILED},
                      {"Error 1722. There is a problem with this Windows Installer package.", "Msi Install Failed!",
                       "msxml6_x64.msi,Failed to install,Please reinstall!"}},
        ProcedureCase{"MissingRegistrationTool64",
                      {},
                      [](InstallProcedureTest& t) {
                        windowsInstallerPresent(t);
                        registerNetClient();
                        SetupState().package64 = 1;
                        fs::remove(t.host(u"C:\\Package\\files\\WriteRegister_x64.exe"));
                      },
                      {B, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, SB, FAILED},
                      {"File :'C:\\Package\\files\\WriteRegister_x64.exe' does not exist!",
                       "WriteRegister_x64.exe,Failed to install,Please reinstall!"}},
        ProcedureCase{"Regsvr32CannotStart",
                      {},
                      [](InstallProcedureTest& t) {
                        windowsInstallerPresent(t);
                        registerNetClient();
                        fs::remove(t.host(u"C:\\Windows\\System32\\regsvr32.exe"));
                        fs::remove(t.host(u"C:\\Windows\\SysWOW64\\regsvr32.exe"));
                      },
                      {B, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, SB, FAILED},
                      {"dwgthumb.dll,Failed to Register,Please reinstall!"}},
        ProcedureCase{"Windows32BitInstallsOneRuntime",
                      {{"system", "processor", "x86"}},
                      [](InstallProcedureTest& t) {
                        windowsInstallerPresent(t);
                        registerNetClient();
                      },
                      {B, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, SB, SD, DONE},
                      {}}),
    [](const ::testing::TestParamInfo<ProcedureCase>& info) { return std::string(info.param.name); });

TEST(NetFramework4Client, Versions) {
  struct Case {
    const char16_t* version;
    DWORD install;
    bool present;
  } cases[] = {
      {u"4.0.30319", 1, true}, {u"4.0.30318", 1, false}, {u"4.0.30319.1", 1, true}, {u"4.5", 1, true},
      {u"5", 1, true},         {u"4", 1, false},         {u"3.5.30729", 1, false},  {u"4.0.30319", 0, false},
      {u"4.1.0", 1, true},     {u"x.y", 1, false},
  };
  winsim::setProgramBitness(winsim::Bitness::Bits32);
  for (const auto& c : cases) {
    winsim::testing::TempMachine machine;
    registerNetClient(c.version, c.install);
    EXPECT_EQ(IsNetFramework4ClientPresent() != FALSE, c.present) << enginetest::utf8(c.version);
  }
  winsim::testing::TempMachine machine;
  EXPECT_FALSE(IsNetFramework4ClientPresent()) << "no key";
  winsim::setProgramBitness(winsim::Bitness::Bits64);
}

}  // namespace
