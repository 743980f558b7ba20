// The stand-in payload and prerequisite installers (korax_global.exe,
// korax_local.exe, vcredist_x86_10.exe, vcredist_x64_10.exe,
// WindowsInstaller-KB893803-v2-x86.exe): each is this one program under
// another name, a bootstrapper as many real installers are. It installs the
// Windows Installer package beside itself that bears its name ("korax_global.exe"
// installs "korax_global.msi") through msi.dll, with the options such
// installers take:
//
//   NAME.exe [-passive | /passive] [-q | /q | -quiet | /quiet] [-norestart] [PROPERTY=VALUE ...]
//
// -passive shows progress only, -q nothing; the machine never restarts. Its
// run is recorded (standins.h), and its exit code is the installer's result.
// It is a 32-bit program, as the redistributables and the product's payload are.
#include <string>

#include "msi.h"
#include "standins.h"
#include "winsim/machine.h"

int main() {
  winsim::setProgramBitness(winsim::Bitness::Bits32);
  const std::u16string image = standins::imagePath();
  if (HKEY record = standins::recordRun(image)) RegCloseKey(record);

  INSTALLUILEVEL level = INSTALLUILEVEL_FULL;
  std::u16string properties;
  const auto words = systemtools::splitCommandLine(GetCommandLineW());
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::u16string option = systemtools::optionName(words[i]);
    if (option == u"passive") {
      level =
          static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_BASIC | INSTALLUILEVEL_PROGRESSONLY | INSTALLUILEVEL_HIDECANCEL);
    } else if (option == u"q" || option == u"quiet") {
      level = INSTALLUILEVEL_NONE;
    } else if (option.empty() && words[i].find(u'=') != std::u16string::npos) {
      const std::u16string& word = words[i];
      const std::size_t eq = word.find(u'=');
      if (!properties.empty()) properties += u' ';
      properties += word.substr(0, eq + 1) + u'"';
      for (char16_t c : word.substr(eq + 1)) properties += c == u'"' ? u"\"\"" : std::u16string(1, c);
      properties += u'"';
    }
  }
  std::u16string package = image;
  const std::size_t dot = package.find_last_of(u'.');
  if (dot != std::u16string::npos && dot > package.find_last_of(u'\\')) package.resize(dot);
  package += u".msi";

  MsiSetInternalUI(level, nullptr);
  return static_cast<int>(MsiInstallProductW(package.c_str(), properties.c_str()));
}
