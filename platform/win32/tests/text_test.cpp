#include "winsim/text.h"

#include <gtest/gtest.h>

using namespace winsim;

TEST(Text, Utf8RoundTrip) {
  const std::u16string samples[] = {u"", u"plain", u"Größe", u"图纸 DWG", u"\U0001F600 emoji", std::u16string(u"a\0b", 3)};
  for (const auto& s : samples) EXPECT_EQ(fromUtf8(toUtf8(s)), s);
  EXPECT_EQ(toUtf8(u"图"), "\xE5\x9B\xBE");
}

TEST(Text, MalformedInputBecomesReplacement) {
  struct Case {
    std::string in;
    std::u16string out;
  } cases[] = {
      {"\xFF", u"\uFFFD"},
      {"a\xE5\x9B", u"a\uFFFD\uFFFD"},      // cut sequence: each byte replaced
      {"\xC0\xAF", u"\uFFFD\uFFFD"},        // over-long form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(fromUtf8(c.in), c.out) << c.in;
  EXPECT_EQ(toUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Text, CaseRulesOfWindowsNames) {
  EXPECT_TRUE(equalsNoCase(u"Software\\Microsoft", u"SOFTWARE\\microsoft"));
  EXPECT_TRUE(equalsNoCase(u"Größe", u"GRÖßE"));  // ß has no one-unit capital: it stays
  EXPECT_TRUE(equalsNoCase(u"Ärger", u"äRGER"));
  EXPECT_TRUE(equalsNoCase(u"Привет", u"ПРИВЕТ"));
  EXPECT_FALSE(equalsNoCase(u"a", u"ab"));
  EXPECT_LT(compareNoCase(u"apple", u"BANANA"), 0);
  EXPECT_EQ(compareNoCase(u"Key", u"kEY"), 0);
}

TEST(Text, CopyTruncatedNeverPassesTheBuffer) {
  char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(copyTruncated(u"abcdef", buffer, 4), 3u);
  EXPECT_EQ(std::u16string(buffer), u"abc");
  EXPECT_EQ(copyTruncated(u"abcdef", buffer, 0), 0u);
  EXPECT_EQ(std::u16string(buffer), u"abc");
}
