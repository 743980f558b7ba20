// The machine's version, processor and system folders, from its profile.
#include "win32/sysinfo.h"

#include <time.h>

#include <cstring>
#include <string>
#include <thread>

#include "win32/errors.h"
#include "windowsversion.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim {

WindowsVersion windowsVersion(const Machine* machine) {
  WindowsVersion version;
  if (!machine) return version;
  const std::u16string text = machine->profileString(u"system", u"version", u"6.1");
  // "major.minor", each a number below 256 (they are packed into bytes).
  DWORD parts[2] = {0, 0};
  std::size_t part = 0;
  bool digits = false;
  bool valid = !text.empty();
  for (char16_t c : text) {
    if (c >= u'0' && c <= u'9') {
      parts[part] = parts[part] * 10 + (c - u'0');
      digits = true;
      if (parts[part] > 255) valid = false;
    } else if (c == u'.' && part == 0 && digits) {
      part = 1;
      digits = false;
    } else {
      valid = false;
    }
  }
  if (valid && digits) {
    version.major = parts[0];
    version.minor = part == 1 ? parts[1] : 0;
  }
  const long long build = machine->profileInt(u"system", u"build", 7601);
  if (build >= 0 && build <= 0xFFFF) version.build = static_cast<DWORD>(build);
  return version;
}

}  // namespace winsim

namespace {

struct Processor {
  WORD architecture;
  DWORD type;
};

Processor machineProcessor() {
  const winsim::Machine* machine = winsim::currentMachine();
  const std::u16string name = machine ? machine->profileString(u"system", u"processor", u"x64") : u"x64";
  if (winsim::equalsNoCase(name, u"x86")) return {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM};
  if (winsim::equalsNoCase(name, u"ia64")) return {PROCESSOR_ARCHITECTURE_IA64, PROCESSOR_INTEL_IA64};
  if (winsim::equalsNoCase(name, u"x64") || winsim::equalsNoCase(name, u"amd64"))
    return {PROCESSOR_ARCHITECTURE_AMD64, PROCESSOR_AMD_X8664};
  return {PROCESSOR_ARCHITECTURE_UNKNOWN, 0};
}

void fillSystemInfo(LPSYSTEM_INFO info, Processor processor, bool wide) {
  std::memset(info, 0, sizeof *info);
  const unsigned processors = std::max(1u, std::min(std::thread::hardware_concurrency(), 64u));
  info->wProcessorArchitecture = processor.architecture;
  info->dwPageSize = 4096;
  info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(0x10000);
  info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(wide ? 0x7FFFFFFEFFFFULL : 0x7FFEFFFFULL);
  info->dwActiveProcessorMask = processors >= 64 ? ~DWORD_PTR(0) : (DWORD_PTR(1) << processors) - 1;
  info->dwNumberOfProcessors = processors;
  info->dwProcessorType = processor.type;
  info->dwAllocationGranularity = 65536;
  info->wProcessorLevel = 6;
  info->wProcessorRevision = 0;
}

/// Windows's buffer rule: the length without NUL when it fits, else the size
/// needed with the NUL.
UINT copyFolder(std::u16string_view key, std::u16string_view fallback, LPWSTR buffer, UINT size) {
  const winsim::Machine* machine = winsim::currentMachine();
  std::u16string folder = machine ? machine->profileString(u"folders", key, fallback) : std::u16string(fallback);
  while (folder.size() > 3 && (folder.back() == u'\\' || folder.back() == u'/')) folder.pop_back();
  if (!buffer || size <= folder.size()) return static_cast<UINT>(folder.size() + 1);
  return static_cast<UINT>(winsim::copyTruncated(folder, buffer, size));
}

}  // namespace

DWORD GetVersion() {
  const auto version = winsim::windowsVersion(winsim::currentMachine());
  return (version.major & 0xFF) | ((version.minor & 0xFF) << 8) | ((version.build & 0x7FFF) << 16);
}

BOOL GetVersionExW(LPOSVERSIONINFOW lpVersionInformation) {
  if (!lpVersionInformation || lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  const winsim::Machine* machine = winsim::currentMachine();
  const auto version = winsim::windowsVersion(machine);
  lpVersionInformation->dwMajorVersion = version.major;
  lpVersionInformation->dwMinorVersion = version.minor;
  lpVersionInformation->dwBuildNumber = version.build;
  lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_NT;
  const std::u16string servicePack = machine ? machine->profileString(u"system", u"servicepack") : u"";
  winsim::copyTruncated(servicePack, lpVersionInformation->szCSDVersion, 128);
  return TRUE;
}

void GetNativeSystemInfo(LPSYSTEM_INFO lpSystemInfo) {
  if (!lpSystemInfo) return;
  const Processor processor = machineProcessor();
  fillSystemInfo(lpSystemInfo, processor, processor.architecture != PROCESSOR_ARCHITECTURE_INTEL);
}

void GetSystemInfo(LPSYSTEM_INFO lpSystemInfo) {
  if (!lpSystemInfo) return;
  Processor processor = machineProcessor();
  // A 32-bit program on a 64-bit machine runs under WOW64, which shows it an
  // x86 processor.
  const bool program32 = winsim::programBitness() == winsim::Bitness::Bits32;
  if (program32) processor = {PROCESSOR_ARCHITECTURE_INTEL, PROCESSOR_INTEL_PENTIUM};
  fillSystemInfo(lpSystemInfo, processor, !program32 && processor.architecture != PROCESSOR_ARCHITECTURE_INTEL);
}

UINT GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize) {
  return copyFolder(u"windows", u"C:\\Windows", lpBuffer, uSize);
}

UINT GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize) {
  return copyFolder(u"system", u"C:\\Windows\\System32", lpBuffer, uSize);
}

DWORD GetTickCount() {
  timespec now{};
  ::clock_gettime(CLOCK_BOOTTIME, &now);
  const unsigned long long ms =
      static_cast<unsigned long long>(now.tv_sec) * 1000ULL + static_cast<unsigned long long>(now.tv_nsec) / 1000000ULL;
  return static_cast<DWORD>(ms);
}
