// Text in DXF files: code page 1252, UTF-8, escapes.
#include "dxftext.h"

#include "winsim/codepage.h"

namespace {

// Code page 1252 bytes 0x80-0x9F; 0 marks the five bytes it leaves undefined.
constexpr char16_t kHigh1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int byteOf1252(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (int i = 0; i < 32; ++i)
    if (kHigh1252[i] == c && c != 0) return 0x80 + i;
  return -1;
}

char16_t charOf1252(unsigned char b) {
  if (b < 0x80 || b >= 0xA0) return b;
  char16_t c = kHigh1252[b - 0x80];
  return c ? c : 0xFFFD;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const char kHex[] = "0123456789ABCDEF";

void appendEscape(std::string& out, char16_t c) {
  out += "\\U+";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
}

/// Decodes the bytes of one character in a file's encoding into `out`;
/// returns the number of bytes used.
std::size_t decodeOne(std::string_view s, std::size_t i, DxfEncoding encoding, unsigned codePage, std::u16string& out) {
  auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    out += static_cast<char16_t>(b);
    return 1;
  }
  if (encoding == DxfEncoding::kUtf8 || encoding == DxfEncoding::kUnknown) {
    int n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    bool valid = n > 0 && i + n <= s.size();
    char32_t cp = n == 4 ? b & 0x07 : n == 3 ? b & 0x0F : b & 0x1F;
    for (int k = 1; valid && k < n; ++k) {
      auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) valid = false;
      cp = cp << 6 | (c & 0x3F);
    }
    if (valid && (cp < 0x80 || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)) valid = false;
    if (valid) {
      if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
      } else {
        out += static_cast<char16_t>(cp);
      }
      return static_cast<std::size_t>(n);
    }
    if (encoding == DxfEncoding::kUtf8) {
      out += u'\uFFFD';
      return 1;
    }
  }
  if (encoding == DxfEncoding::kCodePage && codePage != 1252) {
    // Double-byte pages: a lead byte takes the next byte with it.
    std::size_t n = (i + 1 < s.size() && codePage != 1252) ? 2 : 1;
    std::u16string wide = winsim::fromCodePage(s.substr(i, n), codePage);
    if (n == 2 && (wide.size() != 1 || wide[0] == 0xFFFD)) {
      n = 1;
      wide = winsim::fromCodePage(s.substr(i, 1), codePage);
    }
    out += wide.empty() ? std::u16string(1, u'\uFFFD') : wide;
    return n;
  }
  out += charOf1252(b);
  return 1;
}

unsigned multiByteCodePage(char digit) {
  switch (digit) {
    case '1':
      return 932;
    case '2':
      return 950;
    case '5':
      return 936;
    default:
      return 0;
  }
}

}  // namespace

void encodeDxfText(std::string& out, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0x20 && c < 0x7F && c != '^' && c != '\\') {
      out += static_cast<char>(c);
    } else if (c == '^') {
      out += "^ ";
    } else if (c == '\\') {
      // A backslash that would read as the start of an escape is escaped itself.
      bool looksEscaped = i + 2 < text.size() && (text[i + 1] == 'U' || text[i + 1] == 'M') && text[i + 2] == '+';
      if (looksEscaped)
        appendEscape(out, c);
      else
        out += '\\';
    } else if (c < 0x20) {
      out += '^';
      out += static_cast<char>(c + 0x40);
    } else if (int b = byteOf1252(c); b >= 0 && c != 0x7F) {
      out += static_cast<char>(b);
    } else {
      appendEscape(out, c);
    }
  }
}

std::u16string decodeDxfText(std::string_view s, DxfEncoding encoding, unsigned codePage) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '^' && i + 1 < s.size()) {
      char next = s[i + 1];
      if (next == ' ') {
        out += u'^';
        i += 2;
        continue;
      }
      if (next >= '@' && next <= '_') {
        out += static_cast<char16_t>(next - 0x40);
        i += 2;
        continue;
      }
    }
    if (c == '\\' && i + 6 < s.size() + 0 && s[i + 1] == 'U' && s[i + 2] == '+') {
      int v = 0;
      bool ok = i + 7 <= s.size();
      for (int k = 0; ok && k < 4; ++k) {
        int h = hexValue(s[i + 3 + k]);
        if (h < 0) ok = false;
        v = v << 4 | h;
      }
      if (ok) {
        out += static_cast<char16_t>(v);
        i += 7;
        continue;
      }
    }
    if (c == '\\' && i + 8 <= s.size() && s[i + 1] == 'M' && s[i + 2] == '+') {
      unsigned page = multiByteCodePage(s[i + 3]);
      int v = 0;
      bool ok = page != 0;
      for (int k = 0; ok && k < 4; ++k) {
        int h = hexValue(s[i + 4 + k]);
        if (h < 0) ok = false;
        v = v << 4 | h;
      }
      if (ok) {
        char bytes[2] = {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
        std::u16string wide = winsim::fromCodePage(std::string_view(bytes, 2), page);
        out += wide.empty() ? std::u16string(1, u'\uFFFD') : wide;
        i += 8;
        continue;
      }
    }
    i += decodeOne(s, i, encoding, codePage, out);
  }
  return out;
}

unsigned dxfCodePageNumber(std::string_view name) {
  std::string n(name);
  for (auto& c : n) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (n.rfind("ANSI_", 0) == 0) {
    unsigned v = 0;
    for (char c : n.substr(5)) {
      if (c < '0' || c > '9') return 0;
      v = v * 10 + static_cast<unsigned>(c - '0');
    }
    return v;
  }
  if (n == "DOS437") return 437;
  return 0;
}
