#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "afx.h"
#include "testing/tempmachine.h"

namespace {

template <class... Args>
std::u16string format(const WCHAR* pattern, const Args&... args) {
  CString text;
  text.Format(pattern, args...);
  return std::u16string(text.GetString(), static_cast<std::size_t>(text.GetLength()));
}

struct Case {
  std::u16string actual;
  const char16_t* expected;
};

TEST(Format, Integers) {
  const Case kCases[] = {
      {format(u"%d", 42), u"42"},
      {format(u"%i", -42), u"-42"},
      {format(u"%5d|%-5d|%05d", 42, 42, 42), u"   42|42   |00042"},
      {format(u"%+d % d %+d", 5, 5, -5), u"+5  5 -5"},
      {format(u"%05d", -42), u"-0042"},
      {format(u"%.3d|%8.3d|%-8.3d|", 7, 7, -7), u"007|     007|-007    |"},
      {format(u"%.0d|%5.0d", 0, 0), u"|     "},
      {format(u"%u", 4294967295u), u"4294967295"},
      {format(u"%u", -1), u"4294967295"},
      {format(u"%x %X %#x %#X %#x", 255, 255, 255, 255, 0), u"ff FF 0xff 0XFF 0"},
      {format(u"%08X", 0xBEEFu), u"0000BEEF"},
      {format(u"%#010x", 0xBEEF), u"0x0000beef"},
      {format(u"%o %#o %#o", 8, 8, 0), u"10 010 0"},
      // Windows sizes: long is 32 bits, ll and I64 are 64.
      {format(u"%ld %lu", -1L, 0x1FFFFFFFFul), u"-1 4294967295"},
      {format(u"%lld", -9223372036854775807LL - 1), u"-9223372036854775808"},
      {format(u"%I64d %I64u", std::int64_t{1} << 40, UINT64_MAX), u"1099511627776 18446744073709551615"},
      {format(u"%llx", 0x123456789ABCull), u"123456789abc"},
      {format(u"%d", 0x100000001LL), u"1"},  // an int conversion takes the low 32 bits
      {format(u"%hd %hu %hhd", 70000, 70000, 200), u"4464 4464 -56"},
      {format(u"%Iu %zu", std::size_t{1} << 33, std::size_t{5}), u"8589934592 5"},
      {format(u"%d %d", INT_MIN, INT_MAX), u"-2147483648 2147483647"},
      {format(u"%d%%", 50), u"50%"},
      // Narrower types and enumerations are promoted, as through C's varargs.
      {format(u"%d %d %u %d", static_cast<short>(-3), 'A', static_cast<BYTE>(200), true), u"-3 65 200 1"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Format, WidthAndPrecisionFromArguments) {
  const Case kCases[] = {
      {format(u"%*d|", 6, 42), u"    42|"},      {format(u"%-*d|", 6, 42), u"42    |"},
      {format(u"%*d|", -6, 42), u"42    |"},  // a negative width means left-aligned
      {format(u"%.*s|", 3, u"abcdef"), u"abc|"}, {format(u"%*.*f|", 8, 2, 3.14159), u"    3.14|"},
      {format(u"%.*d|", -1, 5), u"5|"},  // a negative precision is none
  };
  for (const auto& c : kCases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Format, RealNumbers) {
  const Case kCases[] = {
      {format(u"%f", 1.5), u"1.500000"},
      {format(u"%.2f", 2.345), u"2.35"},
      {format(u"%8.3f|%-8.1f|%08.2f", 3.14159, 2.0, -1.5), u"   3.142|2.0     |-0001.50"},
      {format(u"%+.1f", 1.0), u"+1.0"},
      {format(u"%g %g %g", 100000.0, 1e-5, 0.5), u"100000 1e-05 0.5"},
      {format(u"%G", 1e20), u"1E+20"},
      {format(u"%e", 12345.678), u"1.234568e+04"},
      {format(u"%.0f %#.0f", 2.0, 2.0), u"2 2."},
      {format(u"%f", 1.5f), u"1.500000"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Format, TextAndCharacters) {
  const CString path(u"C:\\Program Files\\Merrowin");
  const Case kCases[] = {
      {format(u"File :'%s' does not exist!", u"C:\\a.txt"), u"File :'C:\\a.txt' does not exist!"},
      {format(u"%s,%s", path, CString(u"Failed")), u"C:\\Program Files\\Merrowin,Failed"},
      {format(u"[%10s][%-10s][%.3s]", u"abc", u"abc", u"abcdef"), u"[       abc][abc       ][abc]"},
      {format(u"%s", static_cast<const WCHAR*>(nullptr)), u"(null)"},
      {format(u"%s%d", u"Layer", 3), u"Layer3"},
      {format(u"%ls %ws", u"x", u"y"), u"x y"},
      {format(u"%c%c%lc", u'\u4E2D', 'A', u'z'), u"\u4E2DAz"},
      {format(u"[%3c][%-3c]", u'a', u'b'), u"[  a][b  ]"},
      {format(u"%S|%hs", "narrow", "text"), u"narrow|text"},
      {format(u"%S", u"wide given to %S"), u"wide given to %S"},
      {format(u"%s", "narrow given to %s"), u"narrow given to %s"},
      {format(u"%s", path.Left(2)), u"C:"},
      {format(u"100%% %s", u"done"), u"100% done"},
      {format(u"no conversions"), u"no conversions"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Format, NarrowTextIsReadInTheAnsiCodePage) {
  winsim::testing::TempMachine machine({{"system", "codepage", "936"}});
  EXPECT_EQ(format(u"%S|%C", "\xD6\xD0\xCE\xC4", 'A'), u"\u4E2D\u6587|A");
}

TEST(Format, PointersPrintAllTheirDigits) {
  int value = 0;
  const std::u16string text = format(u"%p", &value);
  EXPECT_EQ(text.size(), sizeof(void*) * 2);
  EXPECT_EQ(text.find_first_not_of(u"0123456789ABCDEF"), std::u16string::npos);
  EXPECT_EQ(format(u"%p", nullptr), std::u16string(sizeof(void*) * 2, u'0'));
}

TEST(Format, MismatchedOrMissingArgumentsAreCopiedAsWritten) {
  const Case kCases[] = {
      {format(u"%d"), u"%d"},
      {format(u"%s and %d", u"one"), u"one and %d"},
      {format(u"%s|%d", 5, 6), u"%s|6"},  // the argument is used up, the next conversion gets its own
      {format(u"%d|%s", 1.5, u"x"), u"%d|x"},
      {format(u"%f", 3), u"%f"},
      {format(u"%*d", u"x", 4), u"%*d"},
      {format(u"%y %d", 7), u"%y 7"},  // an unknown conversion takes no argument
      {format(u"ends in %-0"), u"ends in %-0"},
      {format(u"%"), u"%"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Format, PercentNWritesNothing) {
  int count = 12345;
  EXPECT_EQ(format(u"ab%ncd", &count), u"abcd");
  EXPECT_EQ(count, 12345);
}

TEST(Format, HugeFieldsAreCapped) {
  const std::u16string text = format(u"%999999999d", 1);
  EXPECT_EQ(text.size(), static_cast<std::size_t>(winsim::kMaxFormatField));
  EXPECT_EQ(text.back(), u'1');
}

TEST(Format, OwnTextMayBeAnArgument) {
  CString text(u"abc");
  text.Format(u"[%s|%s]", text, text);
  EXPECT_EQ(text, u"[abc|abc]");
  text.Format(text);  // the format is the string itself
  EXPECT_EQ(text, u"[abc|abc]");
}

TEST(Format, AppendFormatKeepsTheText) {
  CString text(u"Count: ");
  text.AppendFormat(u"%d", 3);
  text.AppendFormat(u", %s", text);
  EXPECT_EQ(text, u"Count: 3, Count: 3");
  CString long_;
  for (int i = 0; i < 1000; ++i) long_.AppendFormat(u"%04d", i);
  EXPECT_EQ(long_.GetLength(), 4000);
  EXPECT_EQ(long_.Right(4), u"0999");
}

}  // namespace
