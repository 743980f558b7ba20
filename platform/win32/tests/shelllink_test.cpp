#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "shobjidl.h"
#include "testing/tempmachine.h"
#include "win32/com.h"
#include "win32/errors.h"
#include "win32/registry.h"
#include "winsim/text.h"

namespace {

namespace fs = std::filesystem;
using winsim::testing::TempMachine;

std::vector<BYTE> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

DWORD u32(const std::vector<BYTE>& b, std::size_t at) {
  return b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) | (static_cast<DWORD>(b.at(at + 3)) << 24);
}
WORD u16(const std::vector<BYTE>& b, std::size_t at) { return static_cast<WORD>(b.at(at) | (b.at(at + 1) << 8)); }

std::string cString(const std::vector<BYTE>& b, std::size_t at) {
  std::string text;
  while (b.at(at) != 0) text.push_back(static_cast<char>(b.at(at++)));
  return text;
}

std::u16string wideString(const std::vector<BYTE>& b, std::size_t at) {
  std::u16string text;
  while (u16(b, at) != 0) {
    text.push_back(u16(b, at));
    at += 2;
  }
  return text;
}

/// What a .lnk file says, read by offsets as the format defines them.
struct ParsedLink {
  DWORD flags = 0;
  DWORD attributes = 0;
  DWORD fileSize = 0;
  DWORD iconIndex = 0;
  DWORD showCommand = 0;
  std::string localBasePath;
  std::u16string localBasePathUnicode;
  std::vector<std::u16string> strings;  // StringData in file order
  std::size_t end = 0;                  // offset after the terminal block
};

ParsedLink parseLink(const std::vector<BYTE>& b) {
  ParsedLink link;
  EXPECT_EQ(u32(b, 0), 0x4Cu);
  const std::array<BYTE, 16> clsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
  EXPECT_TRUE(std::equal(clsid.begin(), clsid.end(), b.begin() + 4));
  link.flags = u32(b, 0x14);
  link.attributes = u32(b, 0x18);
  link.fileSize = u32(b, 0x34);
  link.iconIndex = u32(b, 0x38);
  link.showCommand = u32(b, 0x3C);
  std::size_t at = 0x4C;
  EXPECT_EQ(link.flags & 0x1, 0u) << "no item id list is written";
  if (link.flags & 0x2) {
    const DWORD size = u32(b, at);
    const DWORD headerSize = u32(b, at + 4);
    EXPECT_GE(headerSize, 0x24u);
    EXPECT_EQ(u32(b, at + 8), 1u);  // VolumeIDAndLocalBasePath
    const DWORD volume = u32(b, at + 12);
    EXPECT_EQ(u32(b, at + volume + 4), 3u);  // DRIVE_FIXED
    link.localBasePath = cString(b, at + u32(b, at + 16));
    EXPECT_EQ(cString(b, at + u32(b, at + 24)), "");  // CommonPathSuffix
    link.localBasePathUnicode = wideString(b, at + u32(b, at + 28));
    EXPECT_EQ(wideString(b, at + u32(b, at + 32)), u"");
    at += size;
  }
  for (DWORD flag : {0x4u, 0x8u, 0x10u, 0x20u, 0x40u}) {
    if (!(link.flags & flag)) continue;
    const WORD count = u16(b, at);
    std::u16string text;
    for (WORD i = 0; i < count; ++i) text.push_back(u16(b, at + 2 + 2 * i));
    link.strings.push_back(text);
    at += 2 + 2u * count;
  }
  EXPECT_EQ(u32(b, at), 0u);  // terminal block
  link.end = at + 4;
  return link;
}

/// COM for the calling thread, for the length of a test.
struct ComThread {
  ComThread() { EXPECT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  ~ComThread() { CoUninitialize(); }
};

/// A new link object and its file interface.
struct Link {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  Link() {
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    if (link) {
      EXPECT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    }
  }
  ~Link() {
    if (file) file->Release();
    if (link) link->Release();
  }
};

/// lnkinfo's report of a link file, or nothing when the tool is missing.
std::optional<std::string> lnkinfo(const fs::path& file) {
  if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0) return std::nullopt;
  const std::string command = "lnkinfo '" + file.string() + "' 2>&1";
  std::string output;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    ::pclose(pipe);
  }
  return output;
}

TEST(Com, InitialisationCountsPerThread) {
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
  std::thread other([] {
    // Another thread starts uninitialised and may choose its own model.
    IUnknown* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
  });
  other.join();
  CoUninitialize();
  CoUninitialize();
  CoUninitialize();  // one too many: nothing happens
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE), S_OK);
  CoUninitialize();
  int reserved = 0;
  EXPECT_EQ(CoInitializeEx(&reserved, COINIT_APARTMENTTHREADED), E_INVALIDARG);
}

TEST(Com, CreateInstanceRefusals) {
  ComThread com;
  void* object = reinterpret_cast<void*>(1);
  IUnknown* outer = reinterpret_cast<IUnknown*>(8);
  const GUID unknown = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IMalloc, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr), E_POINTER);
}

TEST(Com, ClsidFromProgIdReadsTheProgramsView) {
  TempMachine machine;
  const GUID installer = {0x000C1090, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  struct Case {
    const char16_t* stored;  // null: no key
    HRESULT result;
  } const kCases[] = {
      {u"{000C1090-0000-0000-C000-000000000046}", S_OK},
      {u"{000c1090-0000-0000-c000-000000000046}", S_OK},
      {u"000C1090-0000-0000-C000-000000000046", CO_E_CLASSSTRING},
      {u"{000C1090-0000-0000-C000-00000000004G}", CO_E_CLASSSTRING},
      {u"{000C1090+0000-0000-C000-000000000046}", CO_E_CLASSSTRING},
      {nullptr, CO_E_CLASSSTRING},
  };
  for (const auto& c : kCases) {
    RegDeleteKeyW(HKEY_CLASSES_ROOT, u"WindowsInstaller.Installer\\CLSID");
    if (c.stored) {
      HKEY key = nullptr;
      ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"WindowsInstaller.Installer\\CLSID", 0, nullptr, 0, KEY_WRITE,
                                nullptr, &key, nullptr),
                ERROR_SUCCESS);
      const std::u16string value = c.stored;
      RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * 2));
      RegCloseKey(key);
    }
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"WindowsInstaller.Installer", &clsid), c.result) << (c.stored ? "stored" : "none");
    EXPECT_TRUE(IsEqualGUID(clsid, c.result == S_OK ? installer : GUID{}));
  }
  // The 32-bit view has its own classes: the key written by a 64-bit program
  // is not seen by a 32-bit one.
  winsim::setProgramBitness(winsim::Bitness::Bits32);
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(u"WindowsInstaller.Installer", &clsid), CO_E_CLASSSTRING);
  winsim::setProgramBitness(winsim::Bitness::Bits64);
  EXPECT_EQ(CLSIDFromProgID(nullptr, &clsid), E_INVALIDARG);
}

TEST(ShellLink, SavesALinkFileThatReadersFollow) {
  TempMachine machine;
  ComThread com;
  writeText(machine.host(u"C:\\Apps\\Tool\\tool.exe"), "12345");
  fs::create_directories(machine.host(u"C:\\Links"));
  Link link;
  ASSERT_NE(link.file, nullptr);
  EXPECT_EQ(link.file->IsDirty(), S_FALSE);
  EXPECT_EQ(link.link->SetPath(u"C:\\apps\\Tool\\tool.exe"), S_OK);
  EXPECT_EQ(link.link->SetWorkingDirectory(u"C:\\Apps\\Tool"), S_OK);
  EXPECT_EQ(link.link->SetArguments(u"-x \"a b\""), S_OK);
  EXPECT_EQ(link.link->SetDescription(u"The tool"), S_OK);
  EXPECT_EQ(link.link->SetIconLocation(u"C:\\Apps\\Tool\\tool.exe", 2), S_OK);
  EXPECT_EQ(link.link->SetShowCmd(3), S_OK);
  EXPECT_EQ(link.file->IsDirty(), S_OK);
  EXPECT_EQ(link.file->Save(u"C:\\Links\\Tool.lnk", TRUE), S_OK);
  EXPECT_EQ(link.file->IsDirty(), S_FALSE);

  const fs::path host = machine.host(u"C:\\Links\\Tool.lnk");
  const std::vector<BYTE> bytes = readBytes(host);
  const ParsedLink parsed = parseLink(bytes);
  EXPECT_EQ(parsed.flags, 0x2u | 0x4u | 0x10u | 0x20u | 0x40u | 0x80u);
  EXPECT_EQ(parsed.attributes, FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(parsed.fileSize, 5u);
  EXPECT_EQ(parsed.iconIndex, 2u);
  EXPECT_EQ(parsed.showCommand, 3u);
  // SetPath keeps the path as written: the full form of what it was given.
  EXPECT_EQ(parsed.localBasePath, "C:\\apps\\Tool\\tool.exe");
  EXPECT_EQ(parsed.localBasePathUnicode, u"C:\\apps\\Tool\\tool.exe");
  EXPECT_EQ(parsed.strings,
            (std::vector<std::u16string>{u"The tool", u"C:\\Apps\\Tool", u"-x \"a b\"", u"C:\\Apps\\Tool\\tool.exe"}));
  EXPECT_EQ(parsed.end, bytes.size());

  WCHAR text[MAX_PATH];
  EXPECT_EQ(link.link->GetPath(text, MAX_PATH, nullptr, 0), S_OK);
  EXPECT_EQ(std::u16string(text), u"C:\\apps\\Tool\\tool.exe");
  LPOLESTR current = nullptr;
  EXPECT_EQ(link.file->GetCurFile(&current), S_OK);
  EXPECT_EQ(std::u16string(current), u"C:\\Links\\Tool.lnk");
  CoTaskMemFree(current);

  const auto report = lnkinfo(host);
  if (!report) GTEST_SKIP() << "lnkinfo (liblnk-utils) is not installed: the independent reading is skipped";
  EXPECT_NE(report->find("Local path"), std::string::npos) << *report;
  EXPECT_NE(report->find(": C:\\apps\\Tool\\tool.exe"), std::string::npos) << *report;
  EXPECT_NE(report->find("Working directory"), std::string::npos) << *report;
  EXPECT_NE(report->find(": C:\\Apps\\Tool\n"), std::string::npos) << *report;
  EXPECT_NE(report->find(": -x \"a b\""), std::string::npos) << *report;
  EXPECT_NE(report->find(": The tool"), std::string::npos) << *report;
  EXPECT_EQ(report->find("Error"), std::string::npos) << *report;
}

TEST(ShellLink, MinimalLinkHasOnlyPathAndWorkingFolder) {
  TempMachine machine;
  ComThread com;
  fs::create_directories(machine.host(u"C:\\Users\\Public\\Desktop"));
  Link link;
  // A target that does not exist yet: zero attributes, times and size.
  EXPECT_EQ(link.link->SetPath(u"C:\\Program Files\\Halvorn\\Merrowin\\kxStart.exe"), S_OK);
  EXPECT_EQ(link.link->SetWorkingDirectory(u"C:\\Program Files\\Halvorn\\Merrowin"), S_OK);
  EXPECT_EQ(link.file->Save(u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk", TRUE), S_OK);
  const fs::path host = machine.host(u"C:\\Users\\Public\\Desktop\\DWG Merrowin.lnk");
  const auto bytes = readBytes(host);
  const ParsedLink parsed = parseLink(bytes);
  EXPECT_EQ(parsed.flags, 0x2u | 0x10u | 0x80u);
  EXPECT_EQ(parsed.attributes, 0u);
  EXPECT_EQ(parsed.fileSize, 0u);
  EXPECT_EQ(parsed.showCommand, 1u);
  EXPECT_EQ(parsed.localBasePath, "C:\\Program Files\\Halvorn\\Merrowin\\kxStart.exe");
  EXPECT_EQ(parsed.strings, (std::vector<std::u16string>{u"C:\\Program Files\\Halvorn\\Merrowin"}));
  if (const auto report = lnkinfo(host)) {
    EXPECT_NE(report->find(": C:\\Program Files\\Halvorn\\Merrowin\\kxStart.exe"), std::string::npos) << *report;
    EXPECT_NE(report->find(": C:\\Program Files\\Halvorn\\Merrowin\n"), std::string::npos) << *report;
  }
}

TEST(ShellLink, LocalBasePathIsInTheAnsiCodePage) {
  TempMachine machine({{"system", "codepage", "936"}});
  ComThread com;
  fs::create_directories(machine.host(u"C:\\Links"));
  Link link;
  EXPECT_EQ(link.link->SetPath(u"C:\\软件\\看图.exe"), S_OK);
  EXPECT_EQ(link.file->Save(u"C:\\Links\\看图.lnk", FALSE), S_OK);
  const ParsedLink parsed = parseLink(readBytes(machine.host(u"C:\\Links\\看图.lnk")));
  EXPECT_EQ(parsed.localBasePath, "C:\\\xC8\xED\xBC\xFE\\\xBF\xB4\xCD\xBC.exe");  // GBK, two bytes a character
  EXPECT_EQ(parsed.localBasePathUnicode, u"C:\\软件\\看图.exe");
  LPOLESTR current = reinterpret_cast<LPOLESTR>(1);
  EXPECT_EQ(link.file->GetCurFile(&current), S_FALSE);  // not remembered
  EXPECT_EQ(current, nullptr);
}

TEST(ShellLink, SaveFailuresLeaveNoFile) {
  TempMachine machine;
  ComThread com;
  Link link;
  EXPECT_EQ(link.link->SetPath(u"C:\\Apps\\tool.exe"), S_OK);
  EXPECT_EQ(link.file->Save(u"C:\\Missing\\Tool.lnk", TRUE), HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(fs::exists(machine.host(u"C:\\Missing")));
  EXPECT_EQ(link.file->Save(nullptr, TRUE), E_INVALIDARG);  // nothing remembered

  ASSERT_TRUE(machine.machine().setProfileValue(u"disk", u"C", u"0").ok());
  fs::create_directories(machine.host(u"C:\\Links"));
  EXPECT_EQ(link.file->Save(u"C:\\Links\\Tool.lnk", TRUE), HRESULT_FROM_WIN32(ERROR_DISK_FULL));
  EXPECT_FALSE(fs::exists(machine.host(u"C:\\Links\\Tool.lnk")));
}

TEST(ShellLink, RefusesTextBeyondItsLimits) {
  TempMachine machine;
  ComThread com;
  Link link;
  const std::u16string longest = u"C:\\" + std::u16string(MAX_PATH - 4, u'a');  // 259 characters
  EXPECT_EQ(link.link->SetPath(longest.c_str()), S_OK);
  EXPECT_EQ(link.link->SetPath((longest + u"b").c_str()), E_INVALIDARG);
  EXPECT_EQ(link.link->SetWorkingDirectory((longest + u"b").c_str()), E_INVALIDARG);
  EXPECT_EQ(link.link->SetArguments(std::u16string(INFOTIPSIZE, u'x').c_str()), E_INVALIDARG);
  EXPECT_EQ(link.link->SetDescription(nullptr), E_INVALIDARG);
  EXPECT_EQ(link.link->SetPath(u"\\\\server\\share\\x.exe"), E_INVALIDARG);
  WCHAR small[8];
  EXPECT_EQ(link.link->GetPath(small, 8, nullptr, 0), S_OK);  // the path that stayed, cut to fit
  EXPECT_EQ(std::u16string(small), u"C:\\aaaa");
}

}  // namespace
