// A program's and a module's own resources: this test program carries
// programresources.rc (winsim_program_resources), resourcemodule.krx carries
// resourcemodule.rc, and both are found through the ordinary resource
// functions on their handles.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "resourcetest.h"
#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "win32/image.h"
#include "win32/module.h"
#include "win32/user.h"
#include "winsim/windowing.h"

namespace {

using winsim::testing::TempMachine;

std::u16string loadText(HMODULE module, UINT id) {
  WCHAR text[128] = {};
  const int length = LoadStringW(module, id, text, 128);
  return std::u16string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

struct Bytes {
  const std::uint8_t* data = nullptr;
  DWORD size = 0;
};

Bytes resourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  return Bytes{static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found))),
               SizeofResource(module, found)};
}

std::uint16_t word(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.data[at] | b.data[at + 1] << 8);
}
std::uint32_t dword(const Bytes& b, std::size_t at) { return word(b, at) | std::uint32_t{word(b, at + 2)} << 16; }

const LPCWSTR kRcData = MAKEINTRESOURCEW(10);  // RT_RCDATA

INT_PTR quietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

/// WINSIM_IMAGE for one test, as `winsim run` sets it for a program.
class ProgramImage {
 public:
  explicit ProgramImage(const char* windowsPath) { ::setenv("WINSIM_IMAGE", windowsPath, 1); }
  ~ProgramImage() { ::unsetenv("WINSIM_IMAGE"); }
  ProgramImage(const ProgramImage&) = delete;
  ProgramImage& operator=(const ProgramImage&) = delete;
};

}  // namespace

TEST(ProgramResources, TheProgramsIconLoadsThroughItsOwnHandle) {
  HMODULE program = GetModuleHandleW(nullptr);
  const Bytes group = resourceBytes(program, MAKEINTRESOURCEW(IDI_TEST_PROGRAM), RT_GROUP_ICON);
  ASSERT_NE(group.data, nullptr) << GetLastError();
  // The icon directory: reserved 0, type 1, three images (32, 16 and 48 pixels).
  ASSERT_GE(group.size, 6u + 3 * 14);
  EXPECT_EQ(word(group, 0), 0);
  EXPECT_EQ(word(group, 2), 1);
  ASSERT_EQ(word(group, 4), 3);
  const int expectedSizes[] = {32, 16, 48};
  for (int i = 0; i < 3; ++i) {
    const std::size_t entry = 6 + 14 * static_cast<std::size_t>(i);
    EXPECT_EQ(group.data[entry], expectedSizes[i]);
    const WORD imageId = word(group, entry + 12);
    const Bytes image = resourceBytes(program, MAKEINTRESOURCEW(imageId), RT_ICON);
    ASSERT_NE(image.data, nullptr) << "image " << imageId;
    EXPECT_EQ(image.size, dword(group, entry + 8));
    // A 32-bit DIB of twice the height: the picture and its AND mask.
    EXPECT_EQ(dword(image, 0), 40u);
    EXPECT_EQ(static_cast<int>(dword(image, 4)), expectedSizes[i]);
    EXPECT_EQ(static_cast<int>(dword(image, 8)), 2 * expectedSizes[i]);
    EXPECT_EQ(word(image, 14), 32);
  }
  // The null handle names the program too.
  EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(IDI_TEST_PROGRAM), RT_GROUP_ICON), nullptr);
}

TEST(ProgramResources, TheProgramsIconLoadsAsAWindowIcon) {
  // The standard size for the big window icon, the nearest image for the small one.
  struct Case {
    int asked, expected;
  } const kCases[] = {{0, 32}, {16, 16}, {48, 48}};
  for (const Case& c : kCases) {
    auto icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TEST_PROGRAM), IMAGE_ICON, c.asked, c.asked, 0));
    ASSERT_NE(icon, nullptr) << c.asked << " " << GetLastError();
    ICONINFO parts{};
    ASSERT_TRUE(GetIconInfo(icon, &parts));
    BITMAP colour{};
    ASSERT_TRUE(GetObjectW(parts.hbmColor, sizeof colour, &colour));
    EXPECT_EQ(colour.bmWidth, c.expected);
    EXPECT_EQ(colour.bmHeight, c.expected);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    DestroyIcon(icon);
  }
  EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TEST_PROGRAM)), nullptr);
}

TEST(ProgramResources, TheProgramsStringsAndDialogsLoad) {
  HMODULE program = GetModuleHandleW(nullptr);
  EXPECT_EQ(loadText(program, IDS_TEST_PROGRAM_NAME), u"The program's own string");
  EXPECT_EQ(loadText(nullptr, IDS_TEST_SHARED_ID), u"Program");
  WCHAR buffer[8] = {};
  SetLastError(0);
  EXPECT_EQ(LoadStringW(program, 9, buffer, 8), 0);  // in the block of 7 and 8, but not there
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);

  TempMachine machine;
  HWND dialog = CreateDialogParamW(program, MAKEINTRESOURCEW(IDD_TEST_PROGRAM), nullptr, quietProc, 0);
  ASSERT_NE(dialog, nullptr) << GetLastError();
  EXPECT_EQ(winsim::dialogTemplateId(dialog), IDD_TEST_PROGRAM);
  WCHAR text[32] = {};
  GetDlgItemTextW(dialog, IDC_TEST_PROGRAM_TEXT, text, 32);
  EXPECT_EQ(std::u16string(text), u"From the program");
  DestroyWindow(dialog);
}

TEST(ProgramResources, StayTheProgramsWhenItRunsUnderAWindowsName) {
  TempMachine machine;
  ProgramImage image("C:\\Package\\Setup.exe");
  HMODULE program = GetModuleHandleW(nullptr);
  EXPECT_EQ(GetModuleHandleW(u"Setup.exe"), program);
  EXPECT_EQ(loadText(program, IDS_TEST_PROGRAM_NAME), u"The program's own string");
  // Loading the program by its name, as a data file too, gives the program.
  EXPECT_EQ(LoadLibraryExW(u"Setup.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE), program);
  EXPECT_NE(FindResourceW(program, MAKEINTRESOURCEW(IDI_TEST_PROGRAM), RT_GROUP_ICON), nullptr);
}

TEST(ProgramResources, AModulesOwnResourcesLoadThroughItsHandle) {
  TempMachine machine;
  const auto built = winsim::testing::testProgramFolder() / "resourcemodule.krx";
  ASSERT_TRUE(std::filesystem::exists(built)) << "build resources_testmodule first";
  const auto target = machine.host(u"C:\\Tools\\resourcemodule.krx");
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::copy_file(built, target);

  HMODULE module = LoadLibraryW(u"C:\\Tools\\resourcemodule.krx");
  ASSERT_NE(module, nullptr) << GetLastError();
  // Its DllMain found them already while it attached.
  auto attachText = reinterpret_cast<const char16_t* (*)()>(GetProcAddress(module, "resourceModuleAttachText"));
  ASSERT_NE(attachText, nullptr);
  EXPECT_EQ(std::u16string(attachText()), u"The module's own string");

  // Each handle reads its own resources under the same ids.
  EXPECT_EQ(loadText(module, IDS_TEST_SHARED_ID), u"Module");
  EXPECT_EQ(loadText(GetModuleHandleW(nullptr), IDS_TEST_SHARED_ID), u"Program");
  const Bytes data = resourceBytes(module, MAKEINTRESOURCEW(IDR_TEST_MODULE_DATA), kRcData);
  ASSERT_NE(data.data, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data), 11), "module data");
  SetLastError(0);
  EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(IDI_TEST_PROGRAM), RT_GROUP_ICON), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
  // A resource of one module is not one of the other.
  HRSRC moduleString = FindResourceW(module, MAKEINTRESOURCEW(1), RT_STRING);
  ASSERT_NE(moduleString, nullptr);
  EXPECT_EQ(LoadResource(GetModuleHandleW(nullptr), moduleString), nullptr);

  EXPECT_TRUE(FreeLibrary(module));
  SetLastError(0);
  EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(IDR_TEST_MODULE_DATA), kRcData), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(ProgramResources, AModuleWithoutResourcesStillHasNone) {
  TempMachine machine;
  const auto target = machine.host(u"C:\\Tools\\testmodule.krx");
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::copy_file(winsim::testing::testProgramFolder() / "testmodule.krx", target);
  HMODULE module = LoadLibraryW(u"C:\\Tools\\testmodule.krx");
  ASSERT_NE(module, nullptr) << GetLastError();
  SetLastError(0);
  EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(1), RT_STRING), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(module));
}
