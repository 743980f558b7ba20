// Special folders, the shell allocator and the shell's path tests.
#include "shlobj.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "objbase.h"
#include "shlwapi.h"
#include "testing/tempmachine.h"
#include "win32/files.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace {

using winsim::testing::TempMachine;

/// The path of a special folder, or "(failed)".
std::u16string specialFolder(int csidl) {
  PIDLIST_ABSOLUTE items = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &items))) return u"(failed)";
  WCHAR path[MAX_PATH];
  const BOOL ok = SHGetPathFromIDListW(items, path);
  CoTaskMemFree(items);
  return ok ? std::u16string(path) : u"(failed)";
}

class BitnessScope {
 public:
  explicit BitnessScope(winsim::Bitness bitness) : m_saved(winsim::programBitness()) {
    winsim::setProgramBitness(bitness);
  }
  ~BitnessScope() { winsim::setProgramBitness(m_saved); }

 private:
  winsim::Bitness m_saved;
};

TEST(SpecialFolders, TheFourFoldersOfASixtyFourBitMachine) {
  TempMachine machine({{"user", "name", "Ada"}});
  struct Case {
    int csidl;
    winsim::Bitness bitness;
    const char16_t* expected;
  } const cases[] = {
      {CSIDL_COMMON_DESKTOPDIRECTORY, winsim::Bitness::Bits32, u"C:\\Users\\Public\\Desktop"},
      {CSIDL_COMMON_PROGRAMS, winsim::Bitness::Bits32, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
      {CSIDL_PROGRAM_FILES_COMMON, winsim::Bitness::Bits32, u"C:\\Program Files (x86)\\Common Files"},
      {CSIDL_PROGRAM_FILES_COMMON, winsim::Bitness::Bits64, u"C:\\Program Files\\Common Files"},
      {CSIDL_PROGRAM_FILES, winsim::Bitness::Bits32, u"C:\\Program Files (x86)"},
      {CSIDL_PROGRAM_FILES, winsim::Bitness::Bits64, u"C:\\Program Files"},
      {CSIDL_PERSONAL, winsim::Bitness::Bits32, u"C:\\Users\\Ada\\Documents"},
      {CSIDL_DESKTOPDIRECTORY, winsim::Bitness::Bits64, u"C:\\Users\\Ada\\Desktop"},
      {CSIDL_WINDOWS, winsim::Bitness::Bits32, u"C:\\Windows"},
      {CSIDL_SYSTEM, winsim::Bitness::Bits32, u"C:\\Windows\\System32"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "csidl 0x" << std::hex << c.csidl << " bits "
                                    << (c.bitness == winsim::Bitness::Bits32 ? 32 : 64));
    BitnessScope bitness(c.bitness);
    EXPECT_EQ(winsim::toUtf8(specialFolder(c.csidl)), winsim::toUtf8(c.expected));
  }
}

TEST(SpecialFolders, AThirtyTwoBitMachineHasOneProgramFilesFolder) {
  TempMachine machine({{"system", "processor", "x86"}});
  BitnessScope bitness(winsim::Bitness::Bits32);
  EXPECT_EQ(winsim::toUtf8(specialFolder(CSIDL_PROGRAM_FILES_COMMON)), "C:\\Program Files\\Common Files");
}

TEST(SpecialFolders, FollowTheProfileAndRefuseUnknownFolders) {
  TempMachine machine({{"folders", "common_desktop", "D:\\Shared\\Desk\\"}, {"disk", "D", "100"}});
  EXPECT_EQ(winsim::toUtf8(specialFolder(CSIDL_COMMON_DESKTOPDIRECTORY)), "D:\\Shared\\Desk");
  PIDLIST_ABSOLUTE items = reinterpret_cast<PIDLIST_ABSOLUTE>(1);
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, 0x7777, &items), E_INVALIDARG);
  EXPECT_EQ(items, nullptr);
  ASSERT_TRUE(machine.machine().setProfileValue(u"folders", u"documents", u""));
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items), E_FAIL);
  WCHAR path[MAX_PATH] = u"x";
  EXPECT_FALSE(SHGetPathFromIDListW(nullptr, path));
  EXPECT_EQ(path[0], 0);
}

TEST(SpecialFolders, TheItemListIsOneItemAFolder) {
  TempMachine machine;
  PIDLIST_ABSOLUTE items = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, &items), S_OK);
  // C:\ + Users + Public + Desktop, then the ending item of size 0.
  int count = 0;
  const BYTE* item = reinterpret_cast<const BYTE*>(items);
  for (USHORT cb; (cb = static_cast<USHORT>(item[0] | (item[1] << 8))) != 0; item += cb) ++count;
  EXPECT_EQ(count, 4);

  IMalloc* malloc = nullptr;
  ASSERT_EQ(SHGetMalloc(&malloc), S_OK);
  ASSERT_NE(malloc, nullptr);
  EXPECT_EQ(malloc->GetSize(items), static_cast<SIZE_T>(item - reinterpret_cast<const BYTE*>(items) + 2));
  malloc->Free(items);  // the list is the caller's, freed by the shell allocator
  malloc->Release();
}

TEST(ShellAllocator, AllocatesReallocatesAndAnswersForItsInterfaces) {
  IMalloc* malloc = nullptr;
  ASSERT_EQ(SHGetMalloc(&malloc), S_OK);
  auto* block = static_cast<char*>(malloc->Alloc(16));
  ASSERT_NE(block, nullptr);
  std::memcpy(block, "0123456789abcdef", 16);
  block = static_cast<char*>(malloc->Realloc(block, 4096));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::string(block, 16), "0123456789abcdef");
  EXPECT_EQ(malloc->GetSize(block), 4096u);
  malloc->Free(block);
  malloc->Free(nullptr);

  void* same = nullptr;
  EXPECT_EQ(malloc->QueryInterface(IID_IMalloc, &same), S_OK);
  EXPECT_EQ(same, malloc);
  static_cast<IMalloc*>(same)->Release();
  const IID other = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
  EXPECT_EQ(malloc->QueryInterface(other, &same), E_NOINTERFACE);
  EXPECT_EQ(same, nullptr);
  malloc->Release();
}

TEST(ShellPaths, TestTheTextAsTheShellDoes) {
  struct Case {
    const char16_t* path;
    BOOL root;
    BOOL fileSpec;
    BOOL network;
  } const cases[] = {
      {u"C:\\", TRUE, FALSE, FALSE},
      {u"C:", FALSE, FALSE, FALSE},
      {u"C:\\a", FALSE, FALSE, FALSE},
      {u"\\", TRUE, FALSE, FALSE},
      {u"\\Apps", FALSE, FALSE, FALSE},
      {u"\\\\server\\share", TRUE, FALSE, TRUE},
      {u"\\\\server", TRUE, FALSE, TRUE},
      {u"\\\\server\\", FALSE, FALSE, TRUE},
      {u"\\\\server\\share\\", FALSE, FALSE, TRUE},
      {u"\\\\server\\share\\dir", FALSE, FALSE, TRUE},
      {u"a.txt", FALSE, TRUE, FALSE},
      {u"Merrowin", FALSE, TRUE, FALSE},
      {u"a\\b", FALSE, FALSE, FALSE},
      {u"C:/Apps", FALSE, FALSE, FALSE},
      {u"", FALSE, TRUE, FALSE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(winsim::toUtf8(c.path));
    EXPECT_EQ(PathIsRootW(c.path), c.root);
    EXPECT_EQ(PathIsFileSpecW(c.path), c.fileSpec);
    EXPECT_EQ(PathIsNetworkPathW(c.path), c.network);
  }
  EXPECT_FALSE(PathIsRootW(nullptr));
}

TEST(ShellPaths, FileExistsAsksTheDisk) {
  TempMachine machine({{"system", "codepage", "936"}});
  EXPECT_TRUE(PathFileExistsW(u"C:\\windows\\system32"));
  EXPECT_FALSE(PathFileExistsW(u"C:\\Windows\\none.dll"));
  EXPECT_FALSE(PathFileExistsW(u"\\\\server\\share"));
  ASSERT_TRUE(CreateDirectoryW(u"C:\\\u5B89\u88C5", nullptr));
  EXPECT_TRUE(PathFileExistsA("C:\\\xB0\xB2\xD7\xB0"));
}

}  // namespace
