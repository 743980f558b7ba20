// msiexec.exe of the simulated machine: the Windows Installer's command line.
//
//   msiexec /i PACKAGE [/qn | /quiet | /q | /passive | /qb | /qr | /qf] [/norestart] [NAME=VALUE ...]
//   msiexec /x PACKAGE | {ProductCode} [the same options]
//
// Options start with "/" or "-" and match without case ("msiexec -x {...} -q"
// is the same as "/x"); "/x{ProductCode}" may be written as one word, as an
// uninstall entry's UninstallString writes it. /i installs the package with
// MsiInstallProductW and the properties given; /x removes the product, by its
// code with MsiConfigureProductW (properties have no use there), or by its
// package with REMOVE=ALL. The UI
// level: none for /q, /qn and /quiet; basic with progress only for /passive;
// basic, reduced or full for /qb, /qr, /qf; full by default. The machine never
// restarts, so the restart options are accepted and change nothing. The exit
// code is the installer's result (the machine's exit codes keep its low 8
// bits, win32/process.h). Without a quiet option, a command line it cannot
// read and a package or product it cannot use are reported in a message box.
#include <string>
#include <vector>

#include "commandline.h"
#include "msi.h"
#include "win32/msgbox.h"
#include "win32/process.h"
#include "winsim/msipackage.h"

namespace {

constexpr char16_t kCaption[] = u"Windows Installer";
constexpr char16_t kUsage[] =
    u"Windows (R) Installer.\n\n"
    u"msiexec /i <Product.msi> [/quiet | /qn | /passive | /qb | /qr | /qf] [/norestart] [PROPERTY=Value ...]\n"
    u"msiexec /x <Product.msi | ProductCode> [the same options]";

enum class Action { None, Install, Remove };

struct Request {
  Action action = Action::None;
  std::u16string target;
  INSTALLUILEVEL level = INSTALLUILEVEL_FULL;
  std::u16string properties;
};

bool isQuiet(INSTALLUILEVEL level) {
  return (level & 0x0F) == INSTALLUILEVEL_NONE || (level & INSTALLUILEVEL_PROGRESSONLY);
}

/// NAME=VALUE as the installer reads it: the value in quotes, its quotes doubled.
std::u16string propertyText(const std::u16string& word) {
  const std::size_t eq = word.find(u'=');
  std::u16string text = word.substr(0, eq + 1) + u'"';
  for (char16_t c : word.substr(eq + 1)) {
    if (c == u'"') text += u'"';
    text += c;
  }
  return text + u'"';
}

/// Reads the words after the program's name; false for a command line that
/// does not say one thing to do.
bool readRequest(const std::vector<std::u16string>& words, Request& request) {
  bool ok = true;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::u16string& word = words[i];
    const std::u16string option = systemtools::optionName(word);
    if (option.empty()) {
      if (word.find(u'=') == std::u16string::npos || word.front() == u'=') {
        ok = false;
        continue;
      }
      if (!request.properties.empty()) request.properties += u' ';
      request.properties += propertyText(word);
      continue;
    }
    const bool install = option == u"i" || option == u"package";
    const bool remove = option == u"x" || option == u"uninstall";
    const bool removeJoined = option.size() > 1 && option[0] == u'x' && word[2] == u'{';
    if (install || remove || removeJoined) {
      if (request.action != Action::None) ok = false;
      request.action = install ? Action::Install : Action::Remove;
      if (removeJoined) {
        request.target = word.substr(2);
      } else if (i + 1 < words.size()) {
        request.target = words[++i];
      } else {
        ok = false;
      }
    } else if (option == u"q" || option == u"qn" || option == u"quiet") {
      request.level = INSTALLUILEVEL_NONE;
    } else if (option == u"passive") {
      request.level =
          static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_BASIC | INSTALLUILEVEL_PROGRESSONLY | INSTALLUILEVEL_HIDECANCEL);
    } else if (option == u"qb") {
      request.level = INSTALLUILEVEL_BASIC;
    } else if (option == u"qr") {
      request.level = INSTALLUILEVEL_REDUCED;
    } else if (option == u"qf") {
      request.level = INSTALLUILEVEL_FULL;
    } else if (option != u"norestart" && option != u"promptrestart" && option != u"forcerestart") {
      ok = false;
    }
  }
  return ok && request.action != Action::None && !request.target.empty();
}

/// What the tool says itself about a result the installation's own UI did not show.
const char16_t* resultText(UINT result) {
  switch (result) {
    case ERROR_UNKNOWN_PRODUCT:
      return u"This action is only valid for products that are currently installed.";
    case ERROR_INSTALL_ALREADY_RUNNING:
      return u"Another installation is already in progress. Complete that installation before proceeding with this "
             u"install.";
    case ERROR_INSTALL_PACKAGE_OPEN_FAILED:
      return u"This installation package could not be opened. Verify that the package exists and that you can access "
             u"it, or contact the application vendor to verify that this is a valid Windows Installer package.";
    case ERROR_INSTALL_PACKAGE_INVALID:
      return u"This installation package could not be opened. Contact the application vendor to verify that this is a "
             u"valid Windows Installer package.";
    case ERROR_INSTALL_PLATFORM_UNSUPPORTED:
      return u"This installation package is not supported by this processor type. Contact your product vendor.";
    default:
      return nullptr;
  }
}

}  // namespace

int main() {
  Request request;
  const bool understood = readRequest(systemtools::splitCommandLine(GetCommandLineW()), request);
  if (!understood) {
    if (!isQuiet(request.level)) MessageBoxW(nullptr, kUsage, kCaption, MB_OK | MB_ICONINFORMATION);
    return static_cast<int>(ERROR_INVALID_COMMAND_LINE);
  }
  MsiSetInternalUI(request.level, nullptr);
  UINT result;
  if (request.action == Action::Remove && winsim::isMsiProductCode(request.target)) {
    result = MsiConfigureProductW(request.target.c_str(), INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT);
  } else {
    std::u16string properties = request.properties;
    if (request.action == Action::Remove) properties += properties.empty() ? u"REMOVE=ALL" : u" REMOVE=ALL";
    result = MsiInstallProductW(request.target.c_str(), properties.c_str());
  }
  if (const char16_t* text = resultText(result); text && !isQuiet(request.level))
    MessageBoxW(nullptr, text, kCaption, MB_OK | MB_ICONERROR);
  return static_cast<int>(result);
}
