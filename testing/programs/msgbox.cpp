// Shows one message box and exits with its answer, so that tests can watch
// several processes of one machine share a UI script.
//
//   winsim-msgbox [STYLE [TEXT [REPEAT]]]
//
// STYLE is the box's style (decimal or 0x hex, MB_YESNOCANCEL when absent),
// TEXT its text, repeated REPEAT times (for long transcript lines).
#include "win32/msgbox.h"

#include <cstdlib>
#include <string>

#include "winsim/text.h"

int main(int argc, char** argv) {
  const UINT style = argc > 1 ? static_cast<UINT>(std::strtoul(argv[1], nullptr, 0)) : MB_YESNOCANCEL;
  const std::u16string unit = winsim::fromUtf8(argc > 2 ? argv[2] : "Continue?");
  const long repeat = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 1;
  std::u16string text;
  for (long i = 0; i < repeat; ++i) text += unit;
  return MessageBoxW(nullptr, text.c_str(), u"winsim-msgbox", style);
}
