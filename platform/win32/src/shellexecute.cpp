// ShellExecuteW: the shell's "open" of a program.
#include "processlaunch.h"
#include "shellapi.h"
#include "win32/errors.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace {

// Files with these extensions are programs; anything else is a document,
// which would open through its registered application (none here).
constexpr const char16_t* kProgramExtensions[] = {u"exe", u"com", u"bat", u"cmd"};
constexpr int kSuccess = 42;  // any value above 32; Windows commonly returns 42

HINSTANCE result(int value) { return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(value)); }

HINSTANCE failWith(DWORD error) {
  SetLastError(error);
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return result(SE_ERR_FNF);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
      return result(SE_ERR_PNF);
    case ERROR_ACCESS_DENIED:
      return result(SE_ERR_ACCESSDENIED);
    case ERROR_BAD_EXE_FORMAT:
      return result(static_cast<int>(ERROR_BAD_FORMAT));
    case ERROR_NO_ASSOCIATION:
      return result(SE_ERR_NOASSOC);
    default:
      return result(0);  // "out of memory or resources"
  }
}

bool isDocument(std::u16string_view file) {
  const auto name = file.substr(file.find_last_of(u"\\/:") + 1);
  const auto dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos || dot + 1 == name.size()) return false;
  for (const auto* extension : kProgramExtensions)
    if (winsim::equalsNoCase(name.substr(dot + 1), extension)) return false;
  return true;
}

}  // namespace

HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters, LPCWSTR lpDirectory,
                        INT nShowCmd) {
  if (!lpFile || !*lpFile) return failWith(ERROR_FILE_NOT_FOUND);
  if (lpOperation && *lpOperation && !winsim::equalsNoCase(lpOperation, u"open")) return failWith(ERROR_NO_ASSOCIATION);
  winsim::Machine* machine = winsim::currentMachine();
  if (!machine) return failWith(ERROR_PATH_NOT_FOUND);
  winsim::reapOrphans();

  std::u16string commandLine = u"\"" + std::u16string(lpFile) + u"\"";
  if (lpParameters && *lpParameters) commandLine += u" " + std::u16string(lpParameters);
  auto image = winsim::findProgramImage(*machine, std::nullopt, commandLine);
  if (isDocument(lpFile) && (image || image.error().code == ERROR_BAD_EXE_FORMAT))
    return failWith(ERROR_NO_ASSOCIATION);
  if (!image) return failWith(image.error().code);
  std::optional<std::u16string_view> folder;
  if (lpDirectory && *lpDirectory) folder = lpDirectory;
  // The shell does not wait: the process object is dropped here and its end
  // is collected later.
  auto process = winsim::startProgram(*machine, image.value(), commandLine, folder);
  if (!process) return failWith(process.error().code);
  SetLastError(ERROR_SUCCESS);
  return result(kSuccess);
}
