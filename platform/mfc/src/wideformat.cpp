#include "winsim/wideformat.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "winsim/codepage.h"

namespace winsim {

namespace {

enum class Length { Default, Char, Short, Long, LongLong, Size, LongDouble, Wide };

struct FieldFormat {
  bool left = false;
  bool plus = false;
  bool space = false;
  bool alternate = false;
  bool zero = false;
  int width = 0;
  int precision = -1;  // -1: none given
  Length length = Length::Default;
  char16_t conversion = 0;
};

/// Hands out the arguments in order.
class ArgCursor {
 public:
  explicit ArgCursor(std::span<const FormatArg> args) : m_args(args) {}
  const FormatArg* next() { return m_next < m_args.size() ? &m_args[m_next++] : nullptr; }

 private:
  std::span<const FormatArg> m_args;
  std::size_t m_next = 0;
};

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool isConversion(char16_t c) { return c < 0x80 && std::strchr("diuoxXcCsSpnfFeEgGaA", static_cast<char>(c)) && c; }

/// Reads decimal digits at `pos`, capped at kMaxFormatField.
int readNumber(std::u16string_view format, std::size_t& pos) {
  int value = 0;
  while (pos < format.size() && isDigit(format[pos])) {
    value = std::min(kMaxFormatField, value * 10 + (format[pos] - u'0'));
    ++pos;
  }
  return value;
}

/// Narrow text in the ANSI code page, as %S prints it.
std::u16string widen(std::string_view text) { return fromAnsi(text); }

void pad(std::u16string& out, int count, char16_t fill) {
  if (count > 0) out.append(static_cast<std::size_t>(count), fill);
}

/// Writes `body` into its field: padded to the width, on the left unless `-`.
void appendField(std::u16string& out, const FieldFormat& conv, std::u16string_view body) {
  const int padding = conv.width - static_cast<int>(std::min<std::size_t>(body.size(), kMaxFormatField));
  if (!conv.left) pad(out, padding, u' ');
  out.append(body);
  if (conv.left) pad(out, padding, u' ');
}

/// Truncates the integer's bits to the size the length modifier names.
std::uint64_t sized(std::uint64_t bits, Length length, bool isSigned) {
  auto extend = [&](int width) -> std::uint64_t {
    const std::uint64_t mask = (std::uint64_t{1} << width) - 1;
    std::uint64_t value = bits & mask;
    if (isSigned && (value >> (width - 1)) & 1) value |= ~mask;
    return value;
  };
  switch (length) {
    case Length::Char:
      return extend(8);
    case Length::Short:
      return extend(16);
    case Length::LongLong:
    case Length::Size:
      return bits;
    default:  // int, and Windows' 32-bit long
      return extend(32);
  }
}

void appendInteger(std::u16string& out, const FieldFormat& conv, std::uint64_t bits) {
  const char16_t c = conv.conversion;
  const bool isSigned = c == u'd' || c == u'i';
  const std::uint64_t value = sized(bits, conv.length, isSigned);
  const bool negative = isSigned && static_cast<std::int64_t>(value) < 0;
  std::uint64_t magnitude = negative ? ~value + 1 : value;
  const unsigned base = c == u'o' ? 8 : (c == u'x' || c == u'X') ? 16 : 10;
  const char* digitChars = c == u'X' ? "0123456789ABCDEF" : "0123456789abcdef";

  std::u16string digits;
  while (magnitude) {
    digits.push_back(static_cast<char16_t>(digitChars[magnitude % base]));
    magnitude /= base;
  }
  if (conv.precision < 0 && digits.empty()) digits.push_back(u'0');
  if (conv.precision >= 0 && static_cast<int>(digits.size()) < conv.precision)
    digits.append(static_cast<std::size_t>(conv.precision) - digits.size(), u'0');
  if (c == u'o' && conv.alternate && (digits.empty() || digits.back() != u'0')) digits.push_back(u'0');
  std::reverse(digits.begin(), digits.end());

  std::u16string prefix;
  if (negative) {
    prefix = u"-";
  } else if (isSigned && conv.plus) {
    prefix = u"+";
  } else if (isSigned && conv.space) {
    prefix = u" ";
  }
  if (conv.alternate && value != 0 && base == 16) prefix = c == u'X' ? u"0X" : u"0x";

  if (conv.zero && !conv.left && conv.precision < 0) {
    const int zeros = conv.width - static_cast<int>(prefix.size() + digits.size());
    if (zeros > 0) digits.insert(0, static_cast<std::size_t>(zeros), u'0');
  }
  appendField(out, conv, prefix + digits);
}

void appendReal(std::u16string& out, const FieldFormat& conv, double value) {
  // The C library formats the number; the conv is rebuilt from parsed parts,
  // so nothing of the caller's format text reaches snprintf.
  std::string format = "%";
  if (conv.left) format += '-';
  if (conv.plus) format += '+';
  if (conv.space) format += ' ';
  if (conv.alternate) format += '#';
  if (conv.zero) format += '0';
  if (conv.width > 0) format += std::to_string(conv.width);
  if (conv.precision >= 0) format += "." + std::to_string(conv.precision);
  format += static_cast<char>(conv.conversion);
  const int size = std::snprintf(nullptr, 0, format.c_str(), value);
  if (size <= 0) return;
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), format.c_str(), value);
  text.resize(static_cast<std::size_t>(size));
  out.append(text.begin(), text.end());
}

void appendText(std::u16string& out, const FieldFormat& conv, std::u16string_view text) {
  if (conv.precision >= 0 && text.size() > static_cast<std::size_t>(conv.precision))
    text = text.substr(0, static_cast<std::size_t>(conv.precision));
  appendField(out, conv, text);
}

/// Formats one conversion; false when its argument is missing or of the wrong kind.
bool appendConversion(std::u16string& out, const FieldFormat& conv, ArgCursor& args) {
  const char16_t c = conv.conversion;
  const FormatArg* arg = args.next();
  if (!arg) return false;
  switch (c) {
    case u'd':
    case u'i':
    case u'u':
    case u'o':
    case u'x':
    case u'X':
      if (!arg->isInteger()) return false;
      appendInteger(out, conv, arg->bits());
      return true;
    case u'f':
    case u'F':
    case u'e':
    case u'E':
    case u'g':
    case u'G':
    case u'a':
    case u'A':
      if (arg->kind() != FormatArg::Kind::Real) return false;
      appendReal(out, conv, arg->real());
      return true;
    case u'c':
    case u'C': {
      if (!arg->isInteger()) return false;
      const bool narrowChar =
          c == u'C' ? conv.length != Length::Long && conv.length != Length::Wide : conv.length == Length::Short;
      std::u16string text;
      if (narrowChar) {
        text = widen(std::string(1, static_cast<char>(arg->bits() & 0xFF)));
      } else {
        text.push_back(static_cast<char16_t>(arg->bits() & 0xFFFF));
      }
      appendField(out, conv, text);
      return true;
    }
    case u's':
    case u'S':
      switch (arg->kind()) {
        case FormatArg::Kind::WideText:
          appendText(out, conv, arg->wide() ? std::u16string_view(arg->wide()) : u"(null)");
          return true;
        case FormatArg::Kind::NarrowText:
          appendText(out, conv, arg->narrow() ? widen(arg->narrow()) : u"(null)");
          return true;
        case FormatArg::Kind::Pointer:
          if (arg->pointer()) return false;
          appendText(out, conv, u"(null)");
          return true;
        default:
          return false;
      }
    case u'p': {
      std::uintptr_t address = 0;
      switch (arg->kind()) {
        case FormatArg::Kind::Pointer:
          address = reinterpret_cast<std::uintptr_t>(arg->pointer());
          break;
        case FormatArg::Kind::WideText:
          address = reinterpret_cast<std::uintptr_t>(arg->wide());
          break;
        case FormatArg::Kind::NarrowText:
          address = reinterpret_cast<std::uintptr_t>(arg->narrow());
          break;
        default:
          return false;
      }
      // Windows prints a pointer as all its hexadecimal digits, upper case.
      FieldFormat hex = conv;
      hex.conversion = u'X';
      hex.length = Length::Size;
      hex.precision = static_cast<int>(sizeof(void*) * 2);
      hex.alternate = false;
      appendInteger(out, hex, address);
      return true;
    }
    case u'n':
      // Writing a count through an argument is how format strings become
      // exploits; the argument is taken and nothing is written.
      return true;
    default:
      return false;
  }
}

}  // namespace

void appendFormatted(std::u16string& out, std::u16string_view format, std::span<const FormatArg> arguments) {
  ArgCursor args(arguments);
  std::size_t pos = 0;
  while (pos < format.size()) {
    const std::size_t percent = format.find(u'%', pos);
    if (percent == std::u16string_view::npos) {
      out.append(format.substr(pos));
      return;
    }
    out.append(format.substr(pos, percent - pos));
    std::size_t at = percent + 1;
    if (at < format.size() && format[at] == u'%') {
      out.push_back(u'%');
      pos = at + 1;
      continue;
    }

    FieldFormat conv;
    bool argumentsFit = true;
    for (; at < format.size(); ++at) {
      const char16_t flag = format[at];
      if (flag == u'-') {
        conv.left = true;
      } else if (flag == u'+') {
        conv.plus = true;
      } else if (flag == u' ') {
        conv.space = true;
      } else if (flag == u'#') {
        conv.alternate = true;
      } else if (flag == u'0') {
        conv.zero = true;
      } else {
        break;
      }
    }
    if (at < format.size() && format[at] == u'*') {
      ++at;
      const FormatArg* width = args.next();
      if (width && width->isInteger()) {
        const auto value = static_cast<std::int32_t>(width->bits());
        if (value < 0) conv.left = true;
        conv.width = static_cast<int>(std::min<std::int64_t>(kMaxFormatField, std::abs(std::int64_t{value})));
      } else {
        argumentsFit = false;
      }
    } else {
      conv.width = readNumber(format, at);
    }
    if (at < format.size() && format[at] == u'.') {
      ++at;
      if (at < format.size() && format[at] == u'*') {
        ++at;
        const FormatArg* precision = args.next();
        if (precision && precision->isInteger()) {
          const auto value = static_cast<std::int32_t>(precision->bits());
          conv.precision = value < 0 ? -1 : std::min(kMaxFormatField, static_cast<int>(value));
        } else {
          argumentsFit = false;
        }
      } else {
        conv.precision = readNumber(format, at);
      }
    }
    auto startsWith = [&](std::u16string_view s) { return format.substr(at, s.size()) == s; };
    if (startsWith(u"hh")) {
      conv.length = Length::Char;
      at += 2;
    } else if (startsWith(u"ll")) {
      conv.length = Length::LongLong;
      at += 2;
    } else if (startsWith(u"I64")) {
      conv.length = Length::LongLong;
      at += 3;
    } else if (startsWith(u"I32")) {
      conv.length = Length::Default;
      at += 3;
    } else if (at < format.size()) {
      switch (format[at]) {
        case u'h':
          conv.length = Length::Short;
          ++at;
          break;
        case u'l':
          conv.length = Length::Long;
          ++at;
          break;
        case u'L':
          conv.length = Length::LongDouble;
          ++at;
          break;
        case u'w':
          conv.length = Length::Wide;
          ++at;
          break;
        case u'I':
        case u'z':
        case u'j':
        case u't':
          conv.length = Length::Size;
          ++at;
          break;
        default:
          break;
      }
    }
    if (at >= format.size()) {  // the text ends inside the conversion
      out.append(format.substr(percent));
      return;
    }
    conv.conversion = format[at];
    pos = at + 1;
    // An unknown conversion takes no argument; both it and a conversion whose
    // argument does not fit are copied as written.
    if (!argumentsFit || !isConversion(conv.conversion) || !appendConversion(out, conv, args))
      out.append(format.substr(percent, pos - percent));
  }
}

}  // namespace winsim
