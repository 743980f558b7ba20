// regsvr32.exe of the simulated machine: registers a library by calling its
// DllRegisterServer (or, with /u, DllUnregisterServer).
//
//   regsvr32 [/s] [/u] PATH        options with "/" or "-", in any place, without case
//
// The library is loaded with LoadLibraryW. An ELF library of this machine runs
// its code, so one that exports the entry point registers itself (the entry
// writes its own registry keys); a PE library serves resources only
// (win32/module.h), so its entry point is never found. As on Windows, a
// 64-bit regsvr32 that meets a 32-bit PE library (ERROR_BAD_EXE_FORMAT)
// carries on as the 32-bit tool would. Exit codes are regsvr32's: 0 done,
// 1 a command line it cannot read, 3 the library does not load, 4 no entry
// point, 5 the entry point failed. Without /s each outcome is shown in a
// message box captioned "RegSvr32"; with /s nothing is shown.
#include <cstdio>
#include <string>
#include <vector>

#include "commandline.h"
#include "win32/errors.h"
#include "win32/module.h"
#include "win32/msgbox.h"
#include "win32/process.h"
#include "win32/sysinfo.h"
#include "winsim/machine.h"

namespace {

constexpr char16_t kCaption[] = u"RegSvr32";
constexpr int kFailArguments = 1;
constexpr int kFailLoad = 3;
constexpr int kFailEntry = 4;
constexpr int kFailRegistration = 5;

using EntryPoint = HRESULT (*)();

std::u16string hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

/// The system's words for the load errors a library meets here.
std::u16string loadErrorText(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_MOD_NOT_FOUND:
      return u"The specified module could not be found.";
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_BAD_FORMAT:
      return u"The module is not a valid Win32 application.";
    case ERROR_DLL_INIT_FAILED:
      return u"A dynamic link library (DLL) initialization routine failed.";
    case ERROR_ACCESS_DENIED:
      return u"Access is denied.";
    default:
      return u"Error " + hex(error) + u".";
  }
}

bool is64BitMachine() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

}  // namespace

int main() {
  bool silent = false;
  bool unregister = false;
  std::vector<std::u16string> paths;
  bool understood = true;
  const auto words = systemtools::splitCommandLine(GetCommandLineW());
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::u16string option = systemtools::optionName(words[i]);
    if (option.empty()) {
      paths.push_back(words[i]);
    } else if (option == u"s") {
      silent = true;
    } else if (option == u"u") {
      unregister = true;
    } else {
      understood = false;
    }
  }
  auto show = [&](const std::u16string& text, UINT icon) {
    if (!silent) MessageBoxW(nullptr, text.c_str(), kCaption, MB_OK | icon);
  };
  if (!understood || paths.size() != 1) {
    show(
        u"To register a module, you must provide a binary name.\n\nUsage: regsvr32 [/u] [/s] dllname\n"
        u"/u - Unregister server\n/s - Silent; display no message boxes",
        MB_ICONWARNING);
    return kFailArguments;
  }
  const std::u16string& path = paths.front();
  const std::u16string quoted = u"\"" + path + u"\"";

  HMODULE module = LoadLibraryW(path.c_str());
  DWORD error = module ? ERROR_SUCCESS : GetLastError();
  if (!module && error == ERROR_BAD_EXE_FORMAT && winsim::programBitness() == winsim::Bitness::Bits64 &&
      is64BitMachine()) {
    winsim::setProgramBitness(winsim::Bitness::Bits32);
    module = LoadLibraryW(path.c_str());
    error = module ? ERROR_SUCCESS : GetLastError();
  }
  if (!module) {
    show(u"The module " + quoted +
             u" failed to load.\n\nMake sure the binary is stored at the specified path or debug it to check for "
             u"problems with the binary or dependent .DLL files.\n\n" +
             loadErrorText(error),
         MB_ICONERROR);
    return kFailLoad;
  }
  const char* entryName = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  const std::u16string entryText(entryName, entryName + std::char_traits<char>::length(entryName));
  const auto entry = reinterpret_cast<EntryPoint>(GetProcAddress(module, entryName));
  if (!entry) {
    FreeLibrary(module);
    show(u"The module " + quoted + u" was loaded but the entry-point " + entryText +
             u" was not found.\n\nMake sure that " + quoted + u" is a valid DLL or OCX file and then try again.",
         MB_ICONERROR);
    return kFailEntry;
  }
  const HRESULT result = entry();
  FreeLibrary(module);
  if (result < 0) {
    show(u"The module " + quoted + u" was loaded but the call to " + entryText + u" failed with error code " +
             hex(static_cast<DWORD>(result)) +
             u".\n\nFor more information about this problem, search online using the error code as the search term.",
         MB_ICONERROR);
    return kFailRegistration;
  }
  show(entryText + u" in " + path + u" succeeded.", MB_ICONINFORMATION);
  return 0;
}
