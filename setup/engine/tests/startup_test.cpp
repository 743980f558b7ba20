// The application object's start-up: each check refuses with its message in
// the framework's box, in the checks' order; the bitness combinations; and
// when every check passes, the flow runs (here with scripted pages, and with
// no arguments, as a person starts the program).
#include <gtest/gtest.h>
#include <stdlib.h>

#include "koraxinstallerapp.h"
#include "registrytest.h"
#include "scriptedpages.h"
#include "setuptest.h"

namespace {

namespace fs = std::filesystem;
using enginetest::ScriptedPages;
using enginetest::utf8;
using winsim::ProfileSetting;

// The program is started without arguments: the process's command line is
// read once, so it is set before any test runs.
const bool kCommandLineSet = ::setenv("WINSIM_CMDLINE", "\"C:\\Package\\Setup.exe\"", 1) == 0;

constexpr char kNotAdministrator[] =
    "You do not have sufficient security privileges to install software on this computer.Please contact your "
    "system administrator or log off and log-in again as an administrator.";
constexpr char kAlreadyRunning[] =
    "Another instance of this setup is already running. Please wait for the other instance to finish and then try "
    "again.";
constexpr char kViewerRunning[] = "DWG Merrowin is running,please close the application and then try again.";
constexpr char kNoSetupIni[] = "Error:The lack of configuration file :Setup.ini";
constexpr char k64BitInstalled[] =
    "A 64-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 32-bit version.";
constexpr char k32BitInstalled[] =
    "A 32-bit version of DWG Merrowin has been installed , Please uninstall it before installing the 64-bit version.";

constexpr char kSetupIni[] = "[SETUP]\r\nWOW64=0\r\n[RES]\r\nLANGUAGE=en_US\r\n";

/// The uninstall entry of a recorded installation, as WriteUninstallEntry
/// leaves it (32-bit view).
void recordInstallation(const char16_t* platform, const char16_t* location = u"D:\\Recorded") {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                            u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\DWG Merrowin_en_us", 0, nullptr,
                            0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  for (const auto& [name, text] : {std::pair{u"Platfrom", platform}, std::pair{u"InstallLocation", location}}) {
    const std::u16string value = text;
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * 2));
  }
  RegCloseKey(key);
}

class StartupTest : public enginetest::SetupTest {
 protected:
  explicit StartupTest(const std::vector<ProfileSetting>& settings = {}) : SetupTest(settings) {
    EXPECT_TRUE(kCommandLineSet);
  }

  /// Runs the application's InitInstance and ExitInstance as the program's
  /// entry does; the pages answer nothing, so a flow shows one page and ends.
  void start() {
    CKoraxInstallerApp app(m_pages);
    EXPECT_FALSE(app.InitInstance());
    app.ExitInstance();
  }
  /// The texts of the boxes shown.
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& box : messageBoxes()) out.push_back(box["text"]);
    return out;
  }
  const std::vector<std::string>& shown() const { return m_pages.shown(); }

  ScriptedPages m_pages;
};

TEST_F(StartupTest, WhenEveryCheckPassesTheFlowRuns) {
  writeFile(u"C:\\Package\\Setup.ini", kSetupIni);
  start();
  EXPECT_TRUE(texts().empty());
  EXPECT_EQ(shown(), (std::vector<std::string>{"welcome", "error"}));
  EXPECT_TRUE(SetupState().os64);
  EXPECT_EQ(utf8(SetupState().installDir.GetString()), "C:\\Program Files (x86)\\Halvorn\\Merrowin");
  EXPECT_EQ(SetupState().mode, ModeInstall);
}

TEST_F(StartupTest, AMissingSetupIniEndsTheStart) {
  start();
  const auto boxes = messageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"], kNoSetupIni);
  EXPECT_EQ(boxes[0]["caption"], "Setup");
  EXPECT_EQ(boxes[0]["style"], "0x00000030");  // OK with the framework's warning icon
  EXPECT_TRUE(shown().empty());
}

TEST_F(StartupTest, ASecondSetupIsRefused) {
  writeFile(u"C:\\Package\\Setup.ini", kSetupIni);
  HANDLE first = CreateMutexW(nullptr, TRUE, u"DWG Merrowin");
  ASSERT_NE(first, nullptr);
  start();
  EXPECT_EQ(texts(), (std::vector<std::string>{kAlreadyRunning}));
  EXPECT_TRUE(shown().empty());
  CloseHandle(first);

  // The refused start held the mutex only while it ran; the next one passes,
  // and holds it while its flow runs.
  m_pages.onShow("welcome", [] {
    HANDLE second = CreateMutexW(nullptr, TRUE, u"DWG Merrowin");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(second);
  });
  start();
  EXPECT_EQ(texts().size(), 1u);
  EXPECT_EQ(shown(), (std::vector<std::string>{"welcome", "error"}));
}

TEST_F(StartupTest, ResourceHandleIsTheLibraryWhileTheFlowRuns) {
  writeFile(u"C:\\Package\\Setup.ini", kSetupIni);
  installTextLibrary();
  const HINSTANCE before = AfxGetResourceHandle();
  HINSTANCE during = nullptr;
  m_pages.onShow("welcome", [&] { during = AfxGetResourceHandle(); });
  start();
  EXPECT_NE(during, before);
  WCHAR text[64] = {};
  EXPECT_GT(LoadStringW(during, 2038, text, 64), 0) << "the pages' resources come from IntallerRes.dll";
  EXPECT_EQ(AfxGetResourceHandle(), before) << "ExitInstance gives the framework its module back";
}

struct RefusalCase {
  const char* name;
  std::vector<ProfileSetting> settings;
  const char* expected;  // null: the checks pass
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class StartupRefusalTest : public StartupTest, public ::testing::WithParamInterface<RefusalCase> {
 protected:
  StartupRefusalTest() : StartupTest(GetParam().settings) {}
};

TEST_P(StartupRefusalTest, ShowsItsMessage) {
  writeFile(u"C:\\Package\\Setup.ini", kSetupIni);
  start();
  if (GetParam().expected) {
    EXPECT_EQ(texts(), (std::vector<std::string>{GetParam().expected}));
    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(enginetest::readValue(u"SOFTWARE\\Halvorn\\DWG Merrowin\\DWG Merrowin_Setup\\", u"path"));
  } else {
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(shown(), (std::vector<std::string>{"welcome", "error"}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Checks, StartupRefusalTest,
    ::testing::Values(
        RefusalCase{"elevated administrator", {}, nullptr},
        // Windows 7: an administrator whose token is not elevated is refused.
        RefusalCase{"not elevated", {{"user", "elevated", "0"}}, kNotAdministrator},
        RefusalCase{"not an administrator", {{"user", "admin", "0"}, {"user", "elevated", "0"}}, kNotAdministrator},
        // Before Windows 6.0 membership of Administrators counts.
        RefusalCase{"XP administrator", {{"system", "version", "5.1"}, {"user", "elevated", "0"}}, nullptr},
        RefusalCase{"XP user", {{"system", "version", "5.1"}, {"user", "admin", "0"}}, kNotAdministrator},
        RefusalCase{"viewer running", {{"processes", "running", "explorer.exe,korax.exe"}}, kViewerRunning},
        // The viewer's name is compared with its letter case.
        RefusalCase{"KORAX.EXE running", {{"processes", "running", "KORAX.EXE"}}, nullptr},
        RefusalCase{"administrator check first",
                    {{"user", "elevated", "0"}, {"processes", "running", "korax.exe"}},
                    kNotAdministrator}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

struct BitnessCase {
  const char* processor;
  int wow64;
  const char16_t* recorded;  // Platfrom of a recorded installation, or null
  const char* expected;      // the message, or null
  const char* firstPage;     // the flow's first page when the checks pass
};

void PrintTo(const BitnessCase& c, std::ostream* os) {
  *os << c.processor << ", WOW64=" << c.wow64 << ", recorded " << (c.recorded ? enginetest::utf8(c.recorded) : "none");
}

class BitnessTest : public StartupTest, public ::testing::WithParamInterface<BitnessCase> {
 protected:
  BitnessTest() : StartupTest({{"system", "processor", GetParam().processor}}) {}
};

TEST_P(BitnessTest, Checks) {
  const BitnessCase& c = GetParam();
  writeFile(u"C:\\Package\\Setup.ini",
            "[SETUP]\r\nWOW64=" + std::to_string(c.wow64) + "\r\n[RES]\r\nLANGUAGE=en_US\r\n");
  if (c.recorded) recordInstallation(c.recorded);
  start();
  if (c.expected) {
    EXPECT_EQ(texts(), (std::vector<std::string>{c.expected}));
    EXPECT_TRUE(shown().empty());
  } else {
    EXPECT_TRUE(texts().empty());
    ASSERT_FALSE(shown().empty());
    EXPECT_EQ(shown()[0], c.firstPage);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, BitnessTest,
    ::testing::Values(
        // The 64-bit package on a 32-bit system (text 2024, whose words are 2011's).
        BitnessCase{"x86", 1, nullptr, k64BitInstalled, nullptr},
        BitnessCase{"x86", 1, u"x86", k64BitInstalled, nullptr},
        // The 32-bit package on a 32-bit system never meets a message.
        BitnessCase{"x86", 0, nullptr, nullptr, "welcome"}, BitnessCase{"x86", 0, u"x86", nullptr, "maintenance"},
        BitnessCase{"x86", 0, u"x64", nullptr, "maintenance"},
        // 64-bit Windows.
        BitnessCase{"x64", 0, nullptr, nullptr, "welcome"}, BitnessCase{"x64", 0, u"x86", nullptr, "maintenance"},
        BitnessCase{"x64", 0, u"x64", k64BitInstalled, nullptr}, BitnessCase{"x64", 1, u"x64", nullptr, "maintenance"},
        BitnessCase{"x64", 1, u"x86", k32BitInstalled, nullptr}, BitnessCase{"x64", 1, nullptr, nullptr, "welcome"},
        // WOW64=2 takes the 32-bit folder but counts as the 64-bit package.
        BitnessCase{"x64", 2, u"x86", k32BitInstalled, nullptr}, BitnessCase{"x64", 2, u"x64", nullptr, "maintenance"},
        BitnessCase{"ia64", 0, u"x64", k64BitInstalled, nullptr}),
    [](const ::testing::TestParamInfo<BitnessCase>& info) {
      const BitnessCase& c = info.param;
      return std::string(c.processor) + "_wow64_" + std::to_string(c.wow64) + "_recorded_" +
             (c.recorded ? enginetest::utf8(c.recorded) : std::string("none"));
    });

}  // namespace
