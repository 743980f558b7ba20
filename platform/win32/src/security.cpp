// The process token and SIDs.
#include "win32/security.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "processobject.h"
#include "win32/errors.h"
#include "windowsversion.h"
#include "winsim/handles.h"
#include "winsim/machine.h"

namespace {

HANDLE const kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
constexpr DWORD kSidHeaderSize = 8;  // revision, count, 6 bytes of authority
constexpr BYTE kMaxAllocatedSubAuthorities = 8;
constexpr DWORD kEnabledGroup = SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_ENABLED;

BOOL failWith(DWORD error) {
  SetLastError(error);
  return FALSE;
}

/// A SID as its bytes, so that a SID at any address of a caller's buffer can
/// be read.
struct SidBytes {
  BYTE authority[6];
  std::vector<DWORD> subAuthorities;

  std::vector<BYTE> serialize() const {
    std::vector<BYTE> bytes(kSidHeaderSize + 4 * subAuthorities.size());
    bytes[0] = SID_REVISION;
    bytes[1] = static_cast<BYTE>(subAuthorities.size());
    std::memcpy(&bytes[2], authority, 6);
    if (!subAuthorities.empty()) std::memcpy(&bytes[kSidHeaderSize], subAuthorities.data(), 4 * subAuthorities.size());
    return bytes;
  }
};

const BYTE* sidBytes(PSID sid) { return static_cast<const BYTE*>(sid); }

bool validSid(PSID sid) {
  return sid && sidBytes(sid)[0] == SID_REVISION && sidBytes(sid)[1] <= SID_MAX_SUB_AUTHORITIES;
}

DWORD sidLength(PSID sid) { return kSidHeaderSize + 4 * DWORD(sidBytes(sid)[1]); }

struct Group {
  SidBytes sid;
  DWORD attributes;
};

/// The token of the machine's user, as the profile described it when the
/// token was opened.
class TokenObject : public winsim::KernelObject {
 public:
  TokenObject(DWORD access, const winsim::Machine* machine)
      : m_access(access),
        m_admin(machine && machine->profileInt(u"user", u"admin", 1) != 0),
        m_elevated(machine && machine->profileInt(u"user", u"elevated", 1) != 0),
        m_hasElevation(winsim::windowsVersion(machine).major >= 6) {}

  BOOL query(TOKEN_INFORMATION_CLASS kind, LPVOID buffer, DWORD length, PDWORD returnLength) const {
    if (!returnLength) return failWith(ERROR_INVALID_PARAMETER);
    if ((m_access & TOKEN_QUERY) == 0) return failWith(ERROR_ACCESS_DENIED);
    switch (kind) {
      case TokenElevation: {
        if (!m_hasElevation) return failWith(ERROR_INVALID_PARAMETER);  // unknown before Windows 6.0
        const TOKEN_ELEVATION elevation{m_elevated ? 1u : 0u};
        return copyOut(&elevation, sizeof elevation, buffer, length, returnLength);
      }
      case TokenGroups:
        return queryGroups(buffer, length, returnLength);
    }
    return failWith(ERROR_INVALID_PARAMETER);
  }

 private:
  std::vector<Group> groups() const {
    std::vector<Group> list{
        {{{0, 0, 0, 0, 0, 1}, {SECURITY_WORLD_RID}}, kEnabledGroup},
        {{{0, 0, 0, 0, 0, 5}, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS}}, kEnabledGroup},
    };
    if (m_admin) {
      // An administrator running without elevation holds the group only to be
      // denied by it (User Account Control's filtered token).
      const DWORD attributes =
          m_hasElevation && !m_elevated ? SE_GROUP_USE_FOR_DENY_ONLY : kEnabledGroup | SE_GROUP_OWNER;
      list.push_back({{{0, 0, 0, 0, 0, 5}, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}}, attributes});
    }
    return list;
  }

  /// TOKEN_GROUPS followed by the SIDs it points to, all in the caller's
  /// buffer, written byte-wise since the buffer may have any alignment.
  BOOL queryGroups(LPVOID buffer, DWORD length, PDWORD returnLength) const {
    const auto list = groups();
    const std::size_t arrayOffset = offsetof(TOKEN_GROUPS, Groups);
    std::size_t sidOffset = arrayOffset + list.size() * sizeof(SID_AND_ATTRIBUTES);
    std::size_t needed = sidOffset;
    for (const auto& group : list) needed += group.sid.serialize().size();
    *returnLength = static_cast<DWORD>(needed);
    if (!buffer || length < needed) return failWith(ERROR_INSUFFICIENT_BUFFER);
    BYTE* out = static_cast<BYTE*>(buffer);
    const DWORD count = static_cast<DWORD>(list.size());
    std::memset(out, 0, arrayOffset);
    std::memcpy(out, &count, sizeof count);
    for (std::size_t i = 0; i < list.size(); ++i) {
      const auto bytes = list[i].sid.serialize();
      std::memcpy(out + sidOffset, bytes.data(), bytes.size());
      const SID_AND_ATTRIBUTES entry{out + sidOffset, list[i].attributes};
      std::memcpy(out + arrayOffset + i * sizeof entry, &entry, sizeof entry);
      sidOffset += bytes.size();
    }
    return TRUE;
  }

  static BOOL copyOut(const void* data, DWORD size, LPVOID buffer, DWORD length, PDWORD returnLength) {
    *returnLength = size;
    if (!buffer || length < size) return failWith(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, data, size);
    return TRUE;
  }

  const DWORD m_access;
  const bool m_admin;
  const bool m_elevated;
  const bool m_hasElevation;
};

}  // namespace

BOOL OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle) {
  if (!TokenHandle) return failWith(ERROR_INVALID_PARAMETER);
  // Every process of the machine runs as its one user: a started process's
  // token is the same as the caller's.
  if (ProcessHandle != kCurrentProcess && !winsim::lookupHandleAs<winsim::ProcessObject>(ProcessHandle))
    return failWith(ERROR_INVALID_HANDLE);
  *TokenHandle = winsim::addHandle(std::make_shared<TokenObject>(DesiredAccess, winsim::currentMachine()));
  return TRUE;
}

BOOL GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass, LPVOID TokenInformation,
                         DWORD TokenInformationLength, PDWORD ReturnLength) {
  auto token = winsim::lookupHandleAs<TokenObject>(TokenHandle);
  if (!token) return failWith(ERROR_INVALID_HANDLE);
  return token->query(TokenInformationClass, TokenInformation, TokenInformationLength, ReturnLength);
}

BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY pIdentifierAuthority, BYTE nSubAuthorityCount,
                              DWORD nSubAuthority0, DWORD nSubAuthority1, DWORD nSubAuthority2, DWORD nSubAuthority3,
                              DWORD nSubAuthority4, DWORD nSubAuthority5, DWORD nSubAuthority6, DWORD nSubAuthority7,
                              PSID* pSid) {
  if (!pIdentifierAuthority || !pSid || nSubAuthorityCount > kMaxAllocatedSubAuthorities)
    return failWith(ERROR_INVALID_PARAMETER);
  const DWORD all[] = {nSubAuthority0, nSubAuthority1, nSubAuthority2, nSubAuthority3,
                       nSubAuthority4, nSubAuthority5, nSubAuthority6, nSubAuthority7};
  SidBytes sid{};
  std::memcpy(sid.authority, pIdentifierAuthority->Value, 6);
  sid.subAuthorities.assign(all, all + nSubAuthorityCount);
  const auto bytes = sid.serialize();
  void* memory = std::malloc(bytes.size());
  if (!memory) return failWith(ERROR_NOT_ENOUGH_MEMORY);
  std::memcpy(memory, bytes.data(), bytes.size());
  *pSid = memory;
  return TRUE;
}

PVOID FreeSid(PSID pSid) {
  std::free(pSid);
  return nullptr;
}

BOOL EqualSid(PSID pSid1, PSID pSid2) {
  SetLastError(ERROR_SUCCESS);
  if (!validSid(pSid1) || !validSid(pSid2)) return FALSE;
  const DWORD length = sidLength(pSid1);
  return length == sidLength(pSid2) && std::memcmp(pSid1, pSid2, length) == 0 ? TRUE : FALSE;
}

BOOL IsValidSid(PSID pSid) { return validSid(pSid) ? TRUE : FALSE; }

DWORD GetLengthSid(PSID pSid) { return validSid(pSid) ? sidLength(pSid) : 0; }
