// The process token and security identifiers.
//
// The token describes the machine's user as its profile says: [user]
// admin=1 makes the user a member of the built-in Administrators group,
// elevated=1 makes the token elevated. As on Windows 6.0 and later, an
// administrator whose token is not elevated carries the Administrators group
// for denying only; before 6.0 there is no elevation and TokenElevation is
// not a known class. The token's groups are Everyone (S-1-1-0), Users
// (S-1-5-32-545) and, for an administrator, Administrators (S-1-5-32-544).
#pragma once

#include "win32/types.h"

using PSID = void*;

struct SID_IDENTIFIER_AUTHORITY {
  BYTE Value[6];
};
using PSID_IDENTIFIER_AUTHORITY = SID_IDENTIFIER_AUTHORITY*;

/// The layout of a SID: revision 1, the number of sub-authorities, the
/// authority, then that many sub-authorities.
struct SID {
  BYTE Revision;
  BYTE SubAuthorityCount;
  SID_IDENTIFIER_AUTHORITY IdentifierAuthority;
  DWORD SubAuthority[1];
};

constexpr BYTE SID_REVISION = 1;
constexpr BYTE SID_MAX_SUB_AUTHORITIES = 15;
inline constexpr SID_IDENTIFIER_AUTHORITY SECURITY_NULL_SID_AUTHORITY = {{0, 0, 0, 0, 0, 0}};
inline constexpr SID_IDENTIFIER_AUTHORITY SECURITY_WORLD_SID_AUTHORITY = {{0, 0, 0, 0, 0, 1}};
inline constexpr SID_IDENTIFIER_AUTHORITY SECURITY_NT_AUTHORITY = {{0, 0, 0, 0, 0, 5}};
constexpr DWORD SECURITY_WORLD_RID = 0;
constexpr DWORD SECURITY_BUILTIN_DOMAIN_RID = 32;
constexpr DWORD DOMAIN_ALIAS_RID_ADMINS = 544;
constexpr DWORD DOMAIN_ALIAS_RID_USERS = 545;

struct SID_AND_ATTRIBUTES {
  PSID Sid;
  DWORD Attributes;
};

constexpr DWORD SE_GROUP_MANDATORY = 0x00000001;
constexpr DWORD SE_GROUP_ENABLED_BY_DEFAULT = 0x00000002;
constexpr DWORD SE_GROUP_ENABLED = 0x00000004;
constexpr DWORD SE_GROUP_OWNER = 0x00000008;
constexpr DWORD SE_GROUP_USE_FOR_DENY_ONLY = 0x00000010;

struct TOKEN_GROUPS {
  DWORD GroupCount;
  SID_AND_ATTRIBUTES Groups[1];
};
using PTOKEN_GROUPS = TOKEN_GROUPS*;

struct TOKEN_ELEVATION {
  DWORD TokenIsElevated;
};
using PTOKEN_ELEVATION = TOKEN_ELEVATION*;

enum TOKEN_INFORMATION_CLASS {
  TokenGroups = 2,
  TokenElevation = 20,
};

constexpr DWORD TOKEN_QUERY = 0x0008;

/// Opens the token of the calling process (GetCurrentProcess()) or of a
/// process it started.
BOOL OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle);
/// TokenElevation fills a TOKEN_ELEVATION; TokenGroups fills a TOKEN_GROUPS
/// whose SIDs lie in the same buffer. A buffer too small fails with
/// ERROR_INSUFFICIENT_BUFFER and *ReturnLength the size needed.
BOOL GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass, LPVOID TokenInformation,
                         DWORD TokenInformationLength, PDWORD ReturnLength);

/// Allocates a SID of up to 8 sub-authorities; release it with FreeSid.
BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY pIdentifierAuthority, BYTE nSubAuthorityCount,
                              DWORD nSubAuthority0, DWORD nSubAuthority1, DWORD nSubAuthority2, DWORD nSubAuthority3,
                              DWORD nSubAuthority4, DWORD nSubAuthority5, DWORD nSubAuthority6, DWORD nSubAuthority7,
                              PSID* pSid);
/// Returns null, as Windows does.
PVOID FreeSid(PSID pSid);
BOOL EqualSid(PSID pSid1, PSID pSid2);
BOOL IsValidSid(PSID pSid);
DWORD GetLengthSid(PSID pSid);
