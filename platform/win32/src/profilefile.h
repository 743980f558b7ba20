// The bytes of a profile file and the text the profile functions work on.
#pragma once

#include <string>
#include <string_view>

#include "winsim/expected.h"
#include "winsim/inidocument.h"

namespace winsim::profile {

enum class Encoding { Ansi, Utf16 };

struct ProfileText {
  std::u16string text;
  Encoding encoding = Encoding::Ansi;
};

/// UTF-16 LE after an FF FE mark (an odd last byte is dropped), else the
/// machine's ANSI code page.
ProfileText decodeProfile(std::string_view bytes);
std::string encodeProfile(std::u16string_view text, Encoding encoding);

}  // namespace winsim::profile
