// Version, processor and system folders from the machine's profile.
#include "win32/sysinfo.h"

#include <gtest/gtest.h>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "winsim/text.h"

namespace winsim::testing {
namespace {

TEST(SysInfo, VersionIsPackedAsWindowsPacksIt) {
  struct Case {
    const char* version;
    const char* build;
    DWORD packed;
  } const cases[] = {
      {"6.1", "7601", 0x1DB10106},  // Windows 7 SP1
      {"5.1", "2600", 0x0A280105},  // Windows XP
      {"6.0", "6002", 0x17720006},      {"10.0", "19045", 0x4A65000A},
      {"nonsense", "7601", 0x1DB10106},  // a malformed version counts as 6.1
      {"6.1", "99999", 0x1DB10106},      // and so does a build beyond 16 bits
  };
  for (const auto& c : cases) {
    TempMachine machine({{"system", "version", c.version}, {"system", "build", c.build}});
    const DWORD version = GetVersion();
    EXPECT_EQ(version, c.packed) << c.version;
    EXPECT_EQ(version & 0x80000000u, 0u);
  }
}

TEST(SysInfo, VersionRecord) {
  TempMachine machine({{"system", "version", "6.1"}, {"system", "servicepack", "Service Pack 1"}});
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExW(&info));
  EXPECT_EQ(info.dwMajorVersion, 6u);
  EXPECT_EQ(info.dwMinorVersion, 1u);
  EXPECT_EQ(info.dwBuildNumber, 7601u);
  EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(toUtf8(info.szCSDVersion), "Service Pack 1");
  info.dwOSVersionInfoSize = sizeof info - 2;
  EXPECT_FALSE(GetVersionExW(&info));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(SysInfo, ProcessorOfTheMachineAndAsAProgramSeesIt) {
  struct Case {
    const char* processor;
    WORD native;
    WORD program32;
  } const cases[] = {
      {"x64", PROCESSOR_ARCHITECTURE_AMD64, PROCESSOR_ARCHITECTURE_INTEL},
      {"x86", PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_ARCHITECTURE_INTEL},
      {"ia64", PROCESSOR_ARCHITECTURE_IA64, PROCESSOR_ARCHITECTURE_INTEL},
  };
  for (const auto& c : cases) {
    TempMachine machine({{"system", "processor", c.processor}});
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    EXPECT_EQ(info.wProcessorArchitecture, c.native) << c.processor;
    EXPECT_GE(info.dwNumberOfProcessors, 1u);
    EXPECT_EQ(info.dwPageSize, 4096u);
    setProgramBitness(Bitness::Bits32);
    GetSystemInfo(&info);
    EXPECT_EQ(info.wProcessorArchitecture, c.program32) << c.processor;
    setProgramBitness(Bitness::Bits64);
    GetSystemInfo(&info);
    EXPECT_EQ(info.wProcessorArchitecture, c.native) << c.processor;
  }
}

TEST(SysInfo, SystemFoldersFollowWindowsBufferRules) {
  TempMachine machine;
  WCHAR buffer[MAX_PATH];
  EXPECT_EQ(GetWindowsDirectoryW(buffer, MAX_PATH), 10u);
  EXPECT_EQ(toUtf8(buffer), "C:\\Windows");
  EXPECT_EQ(GetSystemDirectoryW(buffer, MAX_PATH), 19u);
  EXPECT_EQ(toUtf8(buffer), "C:\\Windows\\System32");
  // Too small: the size needed with its NUL, the buffer untouched.
  WCHAR small[10];
  small[0] = u'#';
  EXPECT_EQ(GetWindowsDirectoryW(small, 10), 11u);
  EXPECT_EQ(small[0], u'#');
  WCHAR exact[11];
  EXPECT_EQ(GetWindowsDirectoryW(exact, 11), 10u);
  EXPECT_EQ(toUtf8(exact), "C:\\Windows");
  EXPECT_EQ(GetSystemDirectoryW(nullptr, 0), 20u);
}

TEST(SysInfo, FoldersComeFromTheProfile) {
  TempMachine machine({{"folders", "windows", "D:\\WINNT\\"}, {"folders", "system", "D:\\WINNT\\system32"}}, {});
  WCHAR buffer[MAX_PATH];
  EXPECT_EQ(GetWindowsDirectoryW(buffer, MAX_PATH), 8u);
  EXPECT_EQ(toUtf8(buffer), "D:\\WINNT");
  GetSystemDirectoryW(buffer, MAX_PATH);
  EXPECT_EQ(toUtf8(buffer), "D:\\WINNT\\system32");
}

}  // namespace
}  // namespace winsim::testing
