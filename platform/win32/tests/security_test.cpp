// The process token and SIDs.
#include "win32/security.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "win32/handleapi.h"
#include "win32/process.h"
#include "win32/sysinfo.h"

namespace winsim::testing {
namespace {

/// The administrator check of the setup program: group membership before
/// Windows 6.0, token elevation from 6.0 on.
bool isAdministrator() {
  const DWORD version = GetVersion();
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  bool yes = false;
  if (LOBYTE(LOWORD(version)) < 6) {
    alignas(8) BYTE buffer[1024];
    DWORD length = 0;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    if (GetTokenInformation(token, TokenGroups, buffer, sizeof buffer, &length) &&
        AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                 &admins)) {
      const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer);
      for (DWORD i = 0; i < groups->GroupCount; ++i)
        if (EqualSid(groups->Groups[i].Sid, admins)) yes = true;
      FreeSid(admins);
    }
  } else {
    TOKEN_ELEVATION elevation{};
    DWORD length = 0;
    yes = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &length) && length == 4 &&
          elevation.TokenIsElevated != 0;
  }
  CloseHandle(token);
  return yes;
}

struct Group {
  std::vector<BYTE> sid;
  DWORD attributes;
};

std::vector<Group> tokenGroups() {
  HANDLE token = nullptr;
  EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  alignas(8) BYTE buffer[1024];
  DWORD length = 0;
  EXPECT_TRUE(GetTokenInformation(token, TokenGroups, buffer, sizeof buffer, &length));
  CloseHandle(token);
  std::vector<Group> groups;
  const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(buffer);
  for (DWORD i = 0; i < list->GroupCount; ++i) {
    const auto* sid = static_cast<const BYTE*>(list->Groups[i].Sid);
    EXPECT_GE(sid, buffer);
    EXPECT_LE(sid + GetLengthSid(list->Groups[i].Sid), buffer + length);
    groups.push_back({std::vector<BYTE>(sid, sid + GetLengthSid(list->Groups[i].Sid)), list->Groups[i].Attributes});
  }
  return groups;
}

std::vector<BYTE> sidOf(std::initializer_list<DWORD> subAuthorities, BYTE authority) {
  std::vector<BYTE> bytes{1, static_cast<BYTE>(subAuthorities.size()), 0, 0, 0, 0, 0, authority};
  for (DWORD sub : subAuthorities)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(sub >> shift));  // little-endian
  return bytes;
}

TEST(Security, TokenFollowsTheProfile) {
  const DWORD enabled = SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_ENABLED;
  struct Case {
    const char* version;
    const char* admin;
    const char* elevated;
    bool administrator;  // the setup program's check
    bool adminGroup;     // Administrators among the groups
    DWORD adminAttributes;
  } const cases[] = {
      {"6.1", "1", "1", true, true, enabled | SE_GROUP_OWNER},
      {"6.1", "1", "0", false, true, SE_GROUP_USE_FOR_DENY_ONLY},  // filtered by User Account Control
      {"6.1", "0", "0", false, false, 0},
      {"6.0", "1", "0", false, true, SE_GROUP_USE_FOR_DENY_ONLY},
      {"5.1", "1", "0", true, true, enabled | SE_GROUP_OWNER},  // no elevation before 6.0
      {"5.1", "0", "1", false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.version) + " admin=" + c.admin + " elevated=" + c.elevated);
    TempMachine machine(
        {{"system", "version", c.version}, {"user", "admin", c.admin}, {"user", "elevated", c.elevated}});
    EXPECT_EQ(isAdministrator(), c.administrator);
    const auto groups = tokenGroups();
    ASSERT_EQ(groups.size(), c.adminGroup ? 3u : 2u);
    EXPECT_EQ(groups[0].sid, sidOf({0}, 1));        // Everyone
    EXPECT_EQ(groups[1].sid, sidOf({32, 545}, 5));  // Users
    EXPECT_EQ(groups[0].attributes, enabled);
    if (c.adminGroup) {
      EXPECT_EQ(groups[2].sid, sidOf({32, 544}, 5));
      EXPECT_EQ(groups[2].attributes, c.adminAttributes);
    }
  }
}

TEST(Security, ElevationIsUnknownBeforeWindows6) {
  TempMachine machine({{"system", "version", "5.1"}});
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  TOKEN_ELEVATION elevation{};
  DWORD length = 0;
  EXPECT_FALSE(GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &length));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseHandle(token);
}

TEST(Security, BuffersTooSmallTellTheSizeNeeded) {
  TempMachine machine;
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  DWORD length = 0;
  BYTE small[3];
  EXPECT_FALSE(GetTokenInformation(token, TokenElevation, small, sizeof small, &length));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(length, 4u);

  EXPECT_FALSE(GetTokenInformation(token, TokenGroups, nullptr, 0, &length));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  const DWORD needed = length;
  EXPECT_EQ(needed, 8u + 3 * sizeof(SID_AND_ATTRIBUTES) + 12 + 16 + 16);
  std::vector<BYTE> buffer(needed + 1);
  EXPECT_FALSE(GetTokenInformation(token, TokenGroups, buffer.data(), needed - 1, &length));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  // Exactly the size needed fits, wherever the buffer lies.
  EXPECT_TRUE(GetTokenInformation(token, TokenGroups, buffer.data() + 1, needed, &length));
  EXPECT_EQ(length, needed);
  DWORD count = 0;
  std::memcpy(&count, buffer.data() + 1, sizeof count);
  EXPECT_EQ(count, 3u);
  CloseHandle(token);
}

TEST(Security, TokenOpenedWithoutQueryRightIsRefused) {
  TempMachine machine;
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), 0, &token));
  TOKEN_ELEVATION elevation{};
  DWORD length = 0;
  EXPECT_FALSE(GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &length));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(token);
  EXPECT_FALSE(OpenProcessToken(reinterpret_cast<HANDLE>(0x4321), TOKEN_QUERY, &token));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Security, SidsAreRealStructures) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID admins = nullptr, admins2 = nullptr, users = nullptr, everyone = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, 32, 544, 0, 0, 0, 0, 0, 0, &admins));
  ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, 32, 544, 9, 9, 9, 9, 9, 9, &admins2));  // unused ones ignored
  ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, 32, 545, 0, 0, 0, 0, 0, 0, &users));
  ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, 0, 0, 0, 0, 0, 0, 0, 0, &everyone));
  EXPECT_TRUE(IsValidSid(admins));
  EXPECT_EQ(GetLengthSid(admins), 16u);
  EXPECT_EQ(GetLengthSid(everyone), 12u);
  const auto* bytes = static_cast<const BYTE*>(admins);
  EXPECT_EQ(std::vector<BYTE>(bytes, bytes + 16), sidOf({32, 544}, 5));
  EXPECT_TRUE(EqualSid(admins, admins2));
  EXPECT_FALSE(EqualSid(admins, users));
  EXPECT_FALSE(EqualSid(admins, everyone));
  BYTE broken[16] = {2, 2};  // revision 2 is no SID
  EXPECT_FALSE(IsValidSid(broken));
  EXPECT_FALSE(EqualSid(broken, broken));
  PSID tooMany = nullptr;
  EXPECT_FALSE(AllocateAndInitializeSid(&nt, 9, 0, 0, 0, 0, 0, 0, 0, 0, &tooMany));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  for (PSID sid : {admins, admins2, users, everyone}) EXPECT_EQ(FreeSid(sid), nullptr);
}

}  // namespace
}  // namespace winsim::testing
