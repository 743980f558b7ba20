// The machine's Windows Installer: installing packages for real (files,
// registry values in the package's view, the product's record), the messages
// its UI handlers get, faults with rollback, repairs, removals and the UI level.
#include "msi.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "testing/tempmachine.h"
#include "win32/files.h"
#include "win32/handleapi.h"
#include "win32/module.h"
#include "win32/msgbox.h"
#include "win32/registry.h"
#include "win32/synch.h"
#include "winsim/text.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using winsim::testing::TempMachine;

constexpr char16_t kCode[] = u"{7DB4C454-5CBC-48FF-B070-7FED49DD181E}";
constexpr char16_t kPackage[] = u"D:\\Msi\\product.msi";

/// One message as a handler saw it.
struct Seen {
  UINT type;
  std::optional<std::u16string> text;
};

/// An external UI handler that records what it sees and answers `answer`
/// (or IDCANCEL to the message kind `cancelOn`).
struct Recorder {
  std::vector<Seen> seen;
  int answer = IDOK;
  UINT cancelOn = 0xFFFFFFFF;

  static int handler(LPVOID context, UINT type, LPCWSTR text) {
    auto* self = static_cast<Recorder*>(context);
    self->seen.push_back({type, text ? std::optional<std::u16string>(text) : std::nullopt});
    return (type & 0xFF000000u) == self->cancelOn ? IDCANCEL : self->answer;
  }
  std::vector<Seen> ofKind(UINT kind) const {
    std::vector<Seen> out;
    for (const auto& s : seen)
      if ((s.type & 0xFF000000u) == kind) out.push_back(s);
    return out;
  }
};

class MsiTest : public ::testing::Test {
 protected:
  MsiTest() : m_machine({}, {{'D', m_package.path()}}) {
    MsiSetExternalUIW(nullptr, 0, nullptr);
    MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
  }
  ~MsiTest() override {
    MsiSetExternalUIW(nullptr, 0, nullptr);
    MsiSetInternalUI(INSTALLUILEVEL_DEFAULT, nullptr);
  }

  /// A host folder for drive D, removed with the test.
  struct Folder {
    fs::path folder;
    Folder() {
      std::string pattern = (fs::temp_directory_path() / "winsim-msi-XXXXXX").string();
      if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
      folder = pattern;
    }
    ~Folder() {
      std::error_code ec;
      fs::remove_all(folder, ec);
    }
    const fs::path& path() const { return folder; }
  };

  void write(std::u16string_view windowsPath, const std::string& text) {
    const fs::path host = m_machine.host(windowsPath);
    fs::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary | std::ios::trunc) << text;
  }
  std::string read(std::u16string_view windowsPath) {
    std::ifstream in(m_machine.host(windowsPath), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  bool exists(std::u16string_view windowsPath) {
    return GetFileAttributesW(std::u16string(windowsPath).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  /// A value as text (strings) or decimal (numbers); nullopt when missing.
  static std::optional<std::u16string> value(std::u16string_view key, std::u16string_view name,
                                             REGSAM view = KEY_WOW64_64KEY, HKEY root = HKEY_LOCAL_MACHINE) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, std::u16string(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS)
      return std::nullopt;
    BYTE data[4096];
    DWORD size = sizeof data;
    DWORD type = 0;
    const LSTATUS status = RegQueryValueExW(handle, std::u16string(name).c_str(), nullptr, &type, data, &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS) return std::nullopt;
    if (type == REG_DWORD) return winsim::fromUtf8(std::to_string(data[0] | (data[1] << 8) | (data[2] << 16)));
    return std::u16string(reinterpret_cast<const char16_t*>(data), size / 2 - 1);
  }
  static bool keyExists(std::u16string_view key, REGSAM view = KEY_WOW64_64KEY) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, std::u16string(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS)
      return false;
    RegCloseKey(handle);
    return true;
  }
  static void setValue(std::u16string_view key, std::u16string_view name, std::u16string_view text,
                       REGSAM view = KEY_WOW64_64KEY) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, std::u16string(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                              nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(handle, std::u16string(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                   static_cast<DWORD>((text.size() + 1) * 2));
    RegCloseKey(handle);
  }

  std::vector<json> boxes() const {
    std::vector<json> records;
    std::ifstream in(m_machine.folder() / "transcript.jsonl");
    for (std::string line; std::getline(in, line);) {
      json record = json::parse(line);
      if (record["kind"] == "MessageBox") records.push_back(record);
    }
    return records;
  }

  static std::string product(const std::string& platform = "x86", const std::string& more = "") {
    return "[Package]\n"
           "ProductCode = {7DB4C454-5CBC-48FF-B070-7FED49DD181E}\n"
           "ProductName = DWG Merrowin\n"
           "ProductVersion = 16.0.0\n"
           "Manufacturer = Halvorn\n"
           "Platform = " +
           platform +
           "\n"
           "Language = 2052\n"
           "Codepage = 936\n"
           "[Properties]\n"
           "TARGETDIR = [ProgramFilesFolder]Halvorn\\Merrowin\n"
           "[Files]\n"
           "file = [TARGETDIR]korax.exe | source=payload\\korax.exe\n"
           "file = [TARGETDIR]Lang\\readme.txt | text=line one\\nline two\n"
           "[Registry]\n"
           "value = HKLM\\SOFTWARE\\Halvorn\\Viewer | InstallDir | REG_SZ | [TARGETDIR]\n"
           "value = HKLM\\SOFTWARE\\Halvorn\\Viewer | Count | REG_DWORD | 0x10\n"
           "value = HKCR\\Merrowin.Drawing\\CLSID | | REG_SZ | {9A4C3A2E-6B1D-4F7A-8C55-3D2E1B0A7F61}\n" +
           more;
  }
  void writeProduct(const std::string& text) {
    write(kPackage, text);
    write(u"D:\\Msi\\payload\\korax.exe", "the viewer");
  }

  Folder m_package;
  TempMachine m_machine;
};

TEST_F(MsiTest, InstallsA32BitPackageIntoThe32BitViewAndFolders) {
  writeProduct(product());
  ASSERT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_SUCCESS);

  EXPECT_EQ(read(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\korax.exe"), "the viewer");
  EXPECT_EQ(read(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\Lang\\readme.txt"), "line one\nline two");
  EXPECT_EQ(value(u"SOFTWARE\\WOW6432Node\\Halvorn\\Viewer", u"InstallDir"),
            u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\");
  EXPECT_EQ(value(u"SOFTWARE\\Halvorn\\Viewer", u"InstallDir", KEY_WOW64_32KEY),
            u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\");
  EXPECT_EQ(value(u"SOFTWARE\\WOW6432Node\\Halvorn\\Viewer", u"Count"), u"16");
  EXPECT_FALSE(keyExists(u"SOFTWARE\\Halvorn"));
  EXPECT_EQ(value(u"SOFTWARE\\WOW6432Node\\Classes\\Merrowin.Drawing\\CLSID", u""),
            u"{9A4C3A2E-6B1D-4F7A-8C55-3D2E1B0A7F61}");

  // The product's record: its uninstall entry in the package's view, and the
  // installer's own record.
  const std::u16string entry = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::u16string(kCode);
  EXPECT_EQ(value(entry, u"DisplayName", KEY_WOW64_32KEY), u"DWG Merrowin");
  EXPECT_EQ(value(entry, u"InstallLocation", KEY_WOW64_32KEY), u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\");
  EXPECT_EQ(value(entry, u"InstallSource", KEY_WOW64_32KEY), u"D:\\Msi\\");
  EXPECT_EQ(value(entry, u"UninstallString", KEY_WOW64_32KEY), u"MsiExec.exe /X" + std::u16string(kCode));
  EXPECT_FALSE(keyExists(entry, KEY_WOW64_64KEY));
  EXPECT_EQ(value(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Products\\" + std::u16string(kCode),
                  u"PackagePath"),
            kPackage);
}

TEST_F(MsiTest, InstallsA64BitPackageIntoThe64BitViewAndFolders) {
  std::string text = product("x64");
  text.replace(text.find("[ProgramFilesFolder]"), 20, "[ProgramFiles64Folder]");
  writeProduct(text);
  ASSERT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(read(u"C:\\Program Files\\Halvorn\\Merrowin\\korax.exe"), "the viewer");
  EXPECT_EQ(value(u"SOFTWARE\\Halvorn\\Viewer", u"InstallDir"), u"C:\\Program Files\\Halvorn\\Merrowin\\");
  EXPECT_FALSE(keyExists(u"SOFTWARE\\WOW6432Node\\Halvorn"));
  EXPECT_TRUE(
      keyExists(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::u16string(kCode), KEY_WOW64_64KEY));
}

TEST_F(MsiTest, SendsItsMessagesToTheExternalHandlerInOrder) {
  writeProduct(product());
  Recorder recorder;
  MsiSetExternalUIW(&Recorder::handler, 0x7FFF, &recorder);
  ASSERT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_SUCCESS);

  ASSERT_GE(recorder.seen.size(), 6u);
  EXPECT_EQ(recorder.seen.front().type, static_cast<UINT>(INSTALLMESSAGE_INITIALIZE));
  EXPECT_FALSE(recorder.seen.front().text.has_value());
  EXPECT_EQ(recorder.seen.back().type, static_cast<UINT>(INSTALLMESSAGE_TERMINATE));
  EXPECT_FALSE(recorder.seen.back().text.has_value());
  const auto common = recorder.ofKind(INSTALLMESSAGE_COMMONDATA);
  ASSERT_EQ(common.size(), 2u);
  EXPECT_EQ(common[0].text, u"1: 0 2: 2052 3: 936");
  EXPECT_EQ(common[1].text, u"1: 1 2: DWG Merrowin");
  const auto starts = recorder.ofKind(INSTALLMESSAGE_ACTIONSTART);
  ASSERT_GE(starts.size(), 3u);
  EXPECT_EQ(starts[0].text->substr(0, 7), u"Action ");
  EXPECT_NE(starts[1].text->find(u": InstallFiles. Copying new files"), std::u16string::npos);
  const auto data = recorder.ofKind(INSTALLMESSAGE_ACTIONDATA);
  ASSERT_EQ(data.size(), 5u);
  EXPECT_EQ(data[0].text, u"File: korax.exe,  Directory: C:\\Program Files (x86)\\Halvorn\\Merrowin\\,  Size: 10");
  EXPECT_EQ(data[2].text,
            u"Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvorn\\Viewer, Name: InstallDir, Value: C:\\Program Files "
            u"(x86)\\Halvorn\\Merrowin\\");
  const auto progress = recorder.ofKind(INSTALLMESSAGE_PROGRESS);
  ASSERT_EQ(progress.size(), 7u);  // the reset, one a file and value, one for the registration
  EXPECT_EQ(progress[0].text, u"1: 0 2: 6 3: 0 4: 0");
  EXPECT_EQ(progress[1].text, u"1: 2 2: 1");
  const auto info = recorder.ofKind(INSTALLMESSAGE_INFO);
  ASSERT_EQ(info.size(), 1u);
  EXPECT_EQ(info[0].text, u"Product: DWG Merrowin -- Installation completed successfully.");
  EXPECT_TRUE(recorder.ofKind(INSTALLMESSAGE_ERROR).empty());
}

TEST_F(MsiTest, HonoursTheHandlersFilter) {
  writeProduct(product());
  Recorder recorder;
  MsiSetExternalUIW(&Recorder::handler, INSTALLLOGMODE_ACTIONSTART | INSTALLLOGMODE_TERMINATE, &recorder);
  ASSERT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_SUCCESS);
  ASSERT_FALSE(recorder.seen.empty());
  for (const auto& seen : recorder.seen) {
    const UINT kind = seen.type & 0xFF000000u;
    EXPECT_TRUE(kind == INSTALLMESSAGE_ACTIONSTART || kind == INSTALLMESSAGE_TERMINATE) << std::hex << seen.type;
  }
  EXPECT_EQ(MsiSetExternalUIW(nullptr, 0, nullptr), &Recorder::handler);
}

TEST_F(MsiTest, AFaultRollsEverythingBackAndReturnsItsResult) {
  // What was there before the installation must be there after it.
  write(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\korax.exe", "an older viewer");
  setValue(u"SOFTWARE\\WOW6432Node\\Halvorn\\Viewer", u"InstallDir", u"D:\\Old");
  writeProduct(product("x86",
                       "[Fault]\nresult = 1603\nmessage = Error 1722. There is a problem with this Windows Installer "
                       "package.\nstyle = 0x11\n"));
  Recorder recorder;
  MsiSetExternalUIW(&Recorder::handler, 0x7FDF, &recorder);
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_INSTALL_FAILURE);

  const auto errors = recorder.ofKind(INSTALLMESSAGE_ERROR);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].type, static_cast<UINT>(INSTALLMESSAGE_ERROR | 0x11));
  EXPECT_EQ(errors[0].text, u"Error 1722. There is a problem with this Windows Installer package.");
  EXPECT_EQ(recorder.ofKind(INSTALLMESSAGE_INFO).back().text, u"Product: DWG Merrowin -- Installation failed.");

  EXPECT_EQ(read(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\korax.exe"), "an older viewer");
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\korax.exe.msi-rollback"));
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\Lang"));
  EXPECT_EQ(value(u"SOFTWARE\\WOW6432Node\\Halvorn\\Viewer", u"InstallDir"), u"D:\\Old");
  EXPECT_FALSE(value(u"SOFTWARE\\WOW6432Node\\Halvorn\\Viewer", u"Count").has_value());
  EXPECT_FALSE(keyExists(u"SOFTWARE\\WOW6432Node\\Classes\\Merrowin.Drawing"));
  EXPECT_FALSE(
      keyExists(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Products\\" + std::u16string(kCode)));
  EXPECT_FALSE(
      keyExists(u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::u16string(kCode)));
}

TEST_F(MsiTest, ARebootRequestKeepsTheInstallation) {
  writeProduct(product("x86", "[Fault]\nresult = 3010\n"));
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_SUCCESS_REBOOT_REQUIRED);
  EXPECT_TRUE(exists(u"C:\\Program Files (x86)\\Halvorn\\Merrowin\\korax.exe"));
  EXPECT_TRUE(
      keyExists(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Products\\" + std::u16string(kCode)));
}

TEST_F(MsiTest, AnsweringCancelStopsAndRollsBack) {
  writeProduct(product());
  Recorder recorder;
  recorder.cancelOn = INSTALLMESSAGE_ACTIONDATA;
  MsiSetExternalUIW(&Recorder::handler, 0x7FFF, &recorder);
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_INSTALL_USEREXIT);
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Halvorn"));
  EXPECT_FALSE(keyExists(u"SOFTWARE\\WOW6432Node\\Halvorn"));
}

TEST_F(MsiTest, ReportsPackagesItCannotUse) {
  EXPECT_EQ(MsiInstallProductW(u"D:\\Msi\\missing.msi", nullptr), ERROR_INSTALL_PACKAGE_OPEN_FAILED);
  EXPECT_EQ(MsiInstallProductW(u"D:\\", nullptr), ERROR_INSTALL_PACKAGE_OPEN_FAILED);
  EXPECT_EQ(MsiInstallProductW(nullptr, nullptr), ERROR_INVALID_PARAMETER);
  write(u"D:\\Msi\\binary.msi", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
  EXPECT_EQ(MsiInstallProductW(u"D:\\Msi\\binary.msi", nullptr), ERROR_INSTALL_PACKAGE_INVALID);
  writeProduct(product());
  EXPECT_EQ(MsiInstallProductW(kPackage, u"TARGETDIR=\"unclosed"), ERROR_INVALID_COMMAND_LINE);
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Halvorn"));
}

TEST_F(MsiTest, RefusesA64BitPackageOnA32BitMachine) {
  ASSERT_TRUE(m_machine.machine().setProfileValue(u"system", u"processor", u"x86").ok());
  writeProduct(product("x64"));
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_INSTALL_PLATFORM_UNSUPPORTED);
}

TEST_F(MsiTest, TheCommandLineWinsOverASearchWhichWinsOverThePackage) {
  const std::string text = product() + "[Search]\nTARGETDIR = HKLM\\SOFTWARE\\Halvorn\\Setup | path\n";
  writeProduct(text);
  setValue(u"SOFTWARE\\Halvorn\\Setup", u"path", u"D:\\Found", KEY_WOW64_32KEY);
  ASSERT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(read(u"D:\\Found\\korax.exe"), "the viewer");
  ASSERT_EQ(MsiInstallProductW(kPackage, u"TARGETDIR=\"D:\\Given Folder\""), ERROR_SUCCESS);
  EXPECT_EQ(read(u"D:\\Given Folder\\korax.exe"), "the viewer");
  EXPECT_EQ(value(u"SOFTWARE\\WOW6432Node\\Halvorn\\Viewer", u"InstallDir"), u"D:\\Given Folder\\");
}

TEST_F(MsiTest, ARepairInstallsAgainAndARemovalTakesAllOfItAway) {
  writeProduct(product());
  ASSERT_EQ(MsiInstallProductW(kPackage, u"TARGETDIR=D:\\First"), ERROR_SUCCESS);
  ASSERT_EQ(MsiInstallProductW(kPackage, u"TARGETDIR=D:\\Second"), ERROR_SUCCESS);
  EXPECT_TRUE(exists(u"D:\\First\\korax.exe"));
  EXPECT_TRUE(exists(u"D:\\Second\\korax.exe"));
  // A value that another program put into the product's key keeps the key.
  setValue(u"SOFTWARE\\WOW6432Node\\Halvorn\\Viewer", u"UserChoice", u"kept");

  EXPECT_EQ(MsiConfigureProductW(kCode, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT), ERROR_SUCCESS);
  EXPECT_FALSE(exists(u"D:\\First"));
  EXPECT_FALSE(exists(u"D:\\Second"));
  EXPECT_FALSE(value(u"SOFTWARE\\WOW6432Node\\Halvorn\\Viewer", u"InstallDir").has_value());
  EXPECT_EQ(value(u"SOFTWARE\\WOW6432Node\\Halvorn\\Viewer", u"UserChoice"), u"kept");
  EXPECT_FALSE(keyExists(u"SOFTWARE\\WOW6432Node\\Classes\\Merrowin.Drawing"));
  EXPECT_FALSE(
      keyExists(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Products\\" + std::u16string(kCode)));
  EXPECT_FALSE(
      keyExists(u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + std::u16string(kCode)));
  EXPECT_EQ(MsiConfigureProductW(kCode, INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT), ERROR_UNKNOWN_PRODUCT);
}

TEST_F(MsiTest, RemovesByPackageWithRemoveAll) {
  writeProduct(product());
  EXPECT_EQ(MsiInstallProductW(kPackage, u"REMOVE=ALL"), ERROR_UNKNOWN_PRODUCT);
  ASSERT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(MsiInstallProductW(kPackage, u"REMOVE=ALL"), ERROR_SUCCESS);
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Halvorn"));
  EXPECT_EQ(MsiConfigureProductW(u"not a code", INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(MsiConfigureProductW(kCode, INSTALLLEVEL_DEFAULT, INSTALLSTATE_LOCAL), ERROR_CALL_NOT_IMPLEMENTED);
}

TEST_F(MsiTest, AFullDiskFailsWithAnErrorAndLeavesNothing) {
  ASSERT_TRUE(m_machine.machine().setProfileValue(u"disk", u"C", u"0").ok());
  writeProduct(product());
  Recorder recorder;
  MsiSetExternalUIW(&Recorder::handler, 0x7FDF, &recorder);
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_INSTALL_FAILURE);
  const auto errors = recorder.ofKind(INSTALLMESSAGE_ERROR);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].text->substr(0, 11), u"Error 1310.");
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Halvorn"));
}

TEST_F(MsiTest, ADeniedKeyFailsWithAnErrorAndRollsBack) {
  ASSERT_TRUE(m_machine.machine().setProfileValue(u"registry", u"deny", u"HKCR\\Merrowin.Drawing").ok());
  writeProduct(product("x64"));
  Recorder recorder;
  MsiSetExternalUIW(&Recorder::handler, 0x7FDF, &recorder);
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_INSTALL_FAILURE);
  const auto errors = recorder.ofKind(INSTALLMESSAGE_ERROR);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].text->substr(0, 11), u"Error 1402.");
  EXPECT_FALSE(keyExists(u"SOFTWARE\\Halvorn"));
  EXPECT_FALSE(exists(u"C:\\Program Files (x86)\\Halvorn"));
}

TEST_F(MsiTest, OneInstallationAtATime) {
  writeProduct(product());
  std::promise<void> holding;
  std::promise<void> done;
  std::thread other([&] {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, u"_MSIExecute");
    holding.set_value();
    done.get_future().wait();
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  });
  holding.get_future().wait();
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_INSTALL_ALREADY_RUNNING);
  done.set_value();
  other.join();
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_SUCCESS);
}

TEST_F(MsiTest, TheInternalUiShowsWhatNoHandlerTakes) {
  writeProduct(product("x86", "[Fault]\nresult = 1603\nmessage = It failed.\n"));
  MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_INSTALL_FAILURE);
  EXPECT_TRUE(boxes().empty());

  MsiSetInternalUI(static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_BASIC | INSTALLUILEVEL_PROGRESSONLY), nullptr);
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_INSTALL_FAILURE);
  EXPECT_TRUE(boxes().empty());

  // A handler that answers 0 leaves the message to the internal UI.
  Recorder recorder;
  recorder.answer = 0;
  MsiSetExternalUIW(&Recorder::handler, INSTALLLOGMODE_ERROR, &recorder);
  MsiSetInternalUI(INSTALLUILEVEL_FULL, nullptr);
  EXPECT_EQ(MsiInstallProductW(kPackage, nullptr), ERROR_INSTALL_FAILURE);
  EXPECT_EQ(recorder.ofKind(INSTALLMESSAGE_ERROR).size(), 1u);
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0]["caption"], "Windows Installer");
  EXPECT_EQ(shown[0]["text"], "It failed.");
  EXPECT_EQ(shown[0]["style"], "0x00000010");
}

TEST(MsiUiLevel, ReturnsThePreviousLevelAndKeepsItForUnknownOnes) {
  const INSTALLUILEVEL start = MsiSetInternalUI(INSTALLUILEVEL_BASIC, nullptr);
  EXPECT_EQ(MsiSetInternalUI(INSTALLUILEVEL_NOCHANGE, nullptr), INSTALLUILEVEL_BASIC);
  const auto withFlags = static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_NONE | INSTALLUILEVEL_SOURCERESONLY);
  EXPECT_EQ(MsiSetInternalUI(withFlags, nullptr), INSTALLUILEVEL_BASIC);
  EXPECT_EQ(MsiSetInternalUI(static_cast<INSTALLUILEVEL>(7), nullptr), INSTALLUILEVEL_NOCHANGE);
  EXPECT_EQ(MsiSetInternalUI(static_cast<INSTALLUILEVEL>(0x1000 | INSTALLUILEVEL_BASIC), nullptr),
            INSTALLUILEVEL_NOCHANGE);
  EXPECT_EQ(MsiSetInternalUI(INSTALLUILEVEL_NOCHANGE, nullptr), withFlags);

  // The owner window is swapped only when asked for.
  HWND owner = reinterpret_cast<HWND>(0x1234);
  MsiSetInternalUI(INSTALLUILEVEL_NOCHANGE, &owner);
  HWND back = nullptr;
  MsiSetInternalUI(INSTALLUILEVEL_NOCHANGE, &back);
  EXPECT_EQ(back, reinterpret_cast<HWND>(0x1234));
  HWND none = nullptr;
  MsiSetInternalUI(start, &none);
}

TEST(MsiModule, IsFoundByItsBareNameWithItsExports) {
  HMODULE msi = LoadLibraryW(u"msi.dll");
  ASSERT_NE(msi, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(msi, "MsiSetInternalUI")),
            reinterpret_cast<void*>(&MsiSetInternalUI));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(msi, "MsiSetExternalUIW")),
            reinterpret_cast<void*>(&MsiSetExternalUIW));
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(msi, "MsiInstallProductW")),
            reinterpret_cast<void*>(&MsiInstallProductW));
  EXPECT_NE(GetProcAddress(msi, "MsiConfigureProductW"), nullptr);
  EXPECT_EQ(GetProcAddress(msi, "MsiInstallProductA"), nullptr);
  EXPECT_TRUE(FreeLibrary(msi));
}

}  // namespace
