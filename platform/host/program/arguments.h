// The host program's command line, split the way Windows programs split it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korax {

/// Splits a Windows command line into arguments, the program's name first:
/// blanks separate arguments outside quotes; 2n backslashes before a quote
/// give n backslashes and the quote opens or closes, 2n+1 give n and a
/// literal quote; other backslashes are kept (so C:\Dir\ stays whole). The
/// program's name ends at its closing quote or first blank, backslashes as
/// written.
std::vector<std::u16string> splitCommandLine(std::u16string_view line);

}  // namespace korax
