// The command line parser: the program path dropped, tokens split at blanks
// outside quoted runs, pairs split at their last "=", and the values the quiet
// flows take from them.
#include "commandline.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "enginetest.h"

namespace {

using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;

Pairs parse(const char16_t* line) {
  CArgumentMap arguments;
  arguments[u"stale"] = u"pair";  // the map is emptied first
  ParseCommandLine(line, arguments);
  Pairs pairs;
  for (const auto& [key, value] : arguments) pairs.emplace_back(key.GetString(), value.GetString());
  return pairs;
}

std::string show(const Pairs& pairs) {
  std::string text;
  for (const auto& [key, value] : pairs) text += "[" + enginetest::utf8(key) + "]=[" + enginetest::utf8(value) + "] ";
  return text;
}

TEST(ParseCommandLine, Cases) {
  struct Case {
    const char16_t* line;
    Pairs expected;
  } cases[] = {
      // No arguments at all.
      {u"\"D:\\Setup.exe\"", {}},
      {u"D:\\Setup.exe", {}},
      {u"", {}},
      // The quoted program path goes; the rest splits at blanks.
      {u"\"D:\\Setup.exe\" quiet=1 NUM=5", {{u"NUM", u"5"}, {u"quiet", u"1"}}},
      // An unquoted program path is a token without "=": ignored.
      {u"D:\\Setup.exe quiet=1", {{u"quiet", u"1"}}},
      // A quoted folder value after a quoted program path.
      {u"\"D:\\Setup.exe\" TARGETDIR=\"D:\\My Tools\\\"", {{u"TARGETDIR", u"\"D:\\My Tools\\\""}}},
      // Unquoted program path, quoted value: everything up to the value's
      // closing quote is dropped.
      {u"D:\\Setup.exe TARGETDIR=\"D:\\My Tools\" NUM=3 quiet=1", {{u"NUM", u"3"}, {u"quiet", u"1"}}},
      // Runs of blanks and blanks at both ends make no tokens.
      {u"\"D:\\Setup.exe\"    quiet=0     Uninstall=1   ", {{u"Uninstall", u"1"}, {u"quiet", u"0"}}},
      // A token with two "=" splits at the last: the key keeps the first.
      {u"\"D:\\Setup.exe\" a=b=c", {{u"a=b", u"c"}}},
      // Empty keys or values, and tokens without "=", have no effect.
      {u"\"D:\\Setup.exe\" =1 quiet= plain NUM=7", {{u"NUM", u"7"}}},
      // Keys keep their case; a later pair replaces an earlier one.
      {u"\"D:\\Setup.exe\" QUIET=1 quiet=0 quiet=2", {{u"QUIET", u"1"}, {u"quiet", u"2"}}},
      // A quoted run keeps its blanks and its quotes; the pair splits at the
      // last "=" inside it.
      {u"\"D:\\Setup.exe\" \"key = value with blanks\"", {{u"\"key", u"value with blanks\""}}},
      // A third quote without a partner is an ordinary character.
      {u"\"D:\\Setup.exe\" NUM=\"4 quiet=1", {{u"NUM", u"\"4"}, {u"quiet", u"1"}}},
      // A single quote only: no second quote, the whole line is kept.
      {u"D:\\Setup.exe NUM=\"4", {{u"NUM", u"\"4"}}},
      // Only blanks split: a tab stays inside the token, white space at the
      // ends of keys and values is removed.
      {u"\"D:\\Setup.exe\" NUM\t=\t9", {{u"NUM", u"9"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(show(parse(c.line)), show(c.expected)) << enginetest::utf8(c.line);
}

TEST(FolderArgument, StripsQuotesThenTrailingBackslashes) {
  struct Case {
    const char16_t* value;
    const char16_t* expected;
  } cases[] = {
      {u"\"D:\\My Tools\\\"", u"D:\\My Tools"},
      {u"D:\\Apps\\Viewer\\\\\\", u"D:\\Apps\\Viewer"},
      {u"\"\"D:\\X\"\"", u"D:\\X"},
      {u"D:\\X", u"D:\\X"},
      // Quotes go first, so a backslash inside the closing quote goes too, but
      // a quote behind backslashes stays.
      {u"D:\\X\\\"\\", u"D:\\X\\\""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(enginetest::utf8(FolderArgument(c.value).GetString()), enginetest::utf8(c.expected))
        << enginetest::utf8(c.value);
}

TEST(NumberArgument, ReadsLeadingDigits) {
  struct Case {
    const char16_t* value;
    int expected;
  } cases[] = {
      {u"5", 5}, {u"12abc", 12}, {u"abc", 0}, {u"-3", 0}, {u"007", 7}, {u"99999999999", 2147483647},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberArgument(c.value), c.expected) << enginetest::utf8(c.value);
}

}  // namespace
