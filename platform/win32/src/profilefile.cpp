#include "profilefile.h"

#include "winsim/codepage.h"

namespace winsim::profile {

namespace {
constexpr std::string_view kUtf16Mark = "\xFF\xFE";
}  // namespace

ProfileText decodeProfile(std::string_view bytes) {
  if (bytes.substr(0, 2) != kUtf16Mark) return ProfileText{fromAnsi(bytes), Encoding::Ansi};
  bytes.remove_prefix(2);
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return ProfileText{std::move(text), Encoding::Utf16};
}

std::string encodeProfile(std::u16string_view text, Encoding encoding) {
  if (encoding == Encoding::Ansi) return toAnsi(text);
  std::string bytes(kUtf16Mark);
  bytes.reserve(2 + text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

}  // namespace winsim::profile
