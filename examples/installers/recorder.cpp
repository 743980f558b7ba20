// The stand-in of the product's small programs (WriteRegister.exe,
// WriteRegister_x64.exe, kxStart.exe, korax.exe, uninst.exe): it records its
// run (standins.h) and, beside CommandLine, each NAME=VALUE word of its command
// line as a string value NAME (quotes dropped), then ends with 0. So the
// registration tool's arguments can be read back from the registry:
//
//   WriteRegister.exe lang=en-us TARGETDIR="C:\Program Files (x86)\Halvorn\Merrowin" ... -q
//   -> HKLM\SOFTWARE\Winsim\StandIns\WriteRegister.exe  lang = en-us, TARGETDIR = C:\Program ...
//
// A program whose name holds "_x64" is a 64-bit program, any other a 32-bit one.
#include <string>

#include "standins.h"
#include "winsim/machine.h"

int main() {
  const std::u16string image = standins::imagePath();
  const bool wide = standins::fileName(image).find(u"_x64") != std::u16string::npos;
  winsim::setProgramBitness(wide ? winsim::Bitness::Bits64 : winsim::Bitness::Bits32);
  HKEY record = standins::recordRun(image);
  if (!record) return 1;
  const auto words = systemtools::splitCommandLine(GetCommandLineW());
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::size_t eq = words[i].find(u'=');
    if (eq == std::u16string::npos || eq == 0 || systemtools::optionName(words[i]).size() > 0) continue;
    standins::setString(record, words[i].substr(0, eq).c_str(), words[i].substr(eq + 1));
  }
  RegCloseKey(record);
  return 0;
}
