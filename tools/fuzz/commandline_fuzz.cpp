// Fuzzes the setup program's command line parser with any text as the
// process's command line: every pair it keeps has a non-empty key and value
// without white space at either end, and the values the quiet flows take
// from the pairs (a folder, a number) come out of them whole.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "commandline.h"
#include "winsim/text.h"

namespace {

bool isBlank(WCHAR c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool trimmedAndNotEmpty(const CString& text) {
  return !text.IsEmpty() && !isBlank(text[0]) && !isBlank(text[text.GetLength() - 1]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string line = winsim::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  if (line.find(u'\0') != std::u16string::npos) return 0;  // a command line ends at its terminator
  CArgumentMap arguments;
  ParseCommandLine(line.c_str(), arguments);
  for (const auto& [key, value] : arguments) {
    if (!trimmedAndNotEmpty(key) || !trimmedAndNotEmpty(value)) __builtin_trap();
    const CString folder = FolderArgument(value);
    if (folder.GetLength() > value.GetLength()) __builtin_trap();
    if (!folder.IsEmpty() && (folder[folder.GetLength() - 1] == u'\\' || folder[0] == u'"')) __builtin_trap();
    if (NumberArgument(value) < 0) __builtin_trap();
  }
  return 0;
}
