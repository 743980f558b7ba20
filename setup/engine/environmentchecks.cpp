#include "environmentchecks.h"

#include <cstdint>
#include <string_view>

#include "tlhelp32.h"

namespace {

constexpr WCHAR kViewerImage[] = u"korax.exe";
/// The token's groups are read into a buffer of this size; a token with more
/// groups than fit counts as not an administrator.
constexpr DWORD kTokenGroupsBytes = 1024;

/// A token handle closed on every way out.
class TokenHandle {
 public:
  TokenHandle() = default;
  ~TokenHandle() {
    if (m_handle) CloseHandle(m_handle);
  }
  TokenHandle(const TokenHandle&) = delete;
  TokenHandle& operator=(const TokenHandle&) = delete;
  bool open() { return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &m_handle) != FALSE; }
  HANDLE get() const { return m_handle; }

 private:
  HANDLE m_handle = nullptr;
};

bool isMemberOfAdministrators() {
  TokenHandle token;
  if (!token.open()) return false;
  alignas(std::max_align_t) BYTE buffer[kTokenGroupsBytes];
  DWORD returned = 0;
  if (!GetTokenInformation(token.get(), TokenGroups, buffer, sizeof buffer, &returned)) return false;
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                &administrators))
    return false;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer);
  bool member = false;
  for (DWORD i = 0; i < groups->GroupCount && !member; ++i) member = EqualSid(groups->Groups[i].Sid, administrators);
  FreeSid(administrators);
  return member;
}

bool isElevated() {
  TokenHandle token;
  if (!token.open()) return false;
  TOKEN_ELEVATION elevation{};
  DWORD returned = 0;
  if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &returned)) return false;
  return returned == sizeof elevation && elevation.TokenIsElevated != 0;
}

/// The entry's file name, never read past its buffer.
std::u16string_view imageName(const PROCESSENTRY32W& entry) {
  std::size_t length = 0;
  while (length < MAX_PATH && entry.szExeFile[length]) ++length;
  return std::u16string_view(entry.szExeFile, length);
}

}  // namespace

bool IsNative64BitSystem() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

BOOL IsRunAsAdministrator() {
  const DWORD version = GetVersion();
  // Below 6.0 (whatever the minor version) there is no elevation: membership
  // is what counts.
  if (LOBYTE(LOWORD(version)) < 6) return isMemberOfAdministrators() ? TRUE : FALSE;
  return isElevated() ? TRUE : FALSE;
}

DWORD FindRunningViewer() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  // The first entry is the idle process; the search starts after it.
  if (Process32FirstW(snapshot, &entry)) {
    while (!found && Process32NextW(snapshot, &entry))
      if (imageName(entry) == kViewerImage) found = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return found;
}
