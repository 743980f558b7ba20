// The rich-edit control's RTF reader: text, formats, code pages, skipped
// destinations and damaged input.
#include "winsim/rtf.h"

#include <gtest/gtest.h>

#include <string>

#include "win32/errors.h"
#include "winsim/text.h"

namespace {

using winsim::parseRtf;
using winsim::RtfAlignment;
using winsim::RtfDocument;

std::u16string textOf(std::string_view rtf) {
  auto document = parseRtf(rtf);
  EXPECT_TRUE(document.ok()) << (document.ok() ? "" : document.error().message);
  return document.ok() ? document->plainText() : u"<error>";
}

struct TextCase {
  const char* name;
  std::string_view rtf;
  const char16_t* expected;
};

// clang-format off
const TextCase kTextCases[] = {
    {"one run", "{\\rtf1 Hello}", u"Hello"},
    {"paragraphs, the last mark dropped", "{\\rtf1 A\\par B\\par}", u"A\r\nB"},
    {"empty paragraph kept", "{\\rtf1 A\\par\\par B}", u"A\r\n\r\nB"},
    {"backslash-newline is a paragraph", "{\\rtf1 a\\\nb}", u"a\r\nb"},
    {"line ends in the file are not text", "{\\rtf1 a\r\nb\nc}", u"abc"},
    {"one delimiter space belongs to the word", "{\\rtf1 \\b bold\\b0  x}", u"bold x"},
    {"parameters end a word without a space", "{\\rtf1 \\fs20x}", u"x"},
    {"tab and line break", "{\\rtf1 a\\tab b\\line c}", u"a\tb\vc"},
    {"literal tab", "{\\rtf1 a\tb}", u"a\tb"},
    {"escaped symbols", "{\\rtf1 \\{x\\}\\\\}", u"{x}\\"},
    {"non-breaking space and hyphen", "{\\rtf1 a\\~b\\_c\\-d}", u"a\u00A0b\u2011cd"},
    {"quotes and dashes", "{\\rtf1 \\ldblquote x\\rdblquote\\emdash\\lquote y\\rquote}", u"\u201Cx\u201D\u2014\u2018y\u2019"},
    {"hex escape in 1252", "{\\rtf1\\ansi caf\\'e9 \\'80}", u"caf\u00E9 \u20AC"},
    {"hex escape upper case", "{\\rtf1 \\'C9}", u"\u00C9"},
    {"unicode with one skipped character", "{\\rtf1 \\u8364?}", u"\u20AC"},
    {"negative unicode is 16-bit", "{\\rtf1 \\u-3913?}", u"\uF0B7"},
    {"uc0 skips nothing", "{\\rtf1\\uc0 \\u20013\\u25991 x}", u"\u4E2D\u6587x"},
    {"uc2 skips two", "{\\rtf1\\uc2 \\u8364ab c}", u"\u20AC c"},
    {"a hex escape counts as one", "{\\rtf1 \\u20013\\'3f!}", u"\u4E2D!"},
    {"a control word counts as one", "{\\rtf1 \\u20013\\bullet!}", u"\u4E2D!"},
    {"skipping ends with the group", "{\\rtf1\\uc3 \\u20013{}x}", u"\u4E2Dx"},
    {"uc is scoped to its group", "{\\rtf1{\\uc0 }\\u20013?x}", u"\u4E2Dx"},
    {"unicode out of range", "{\\rtf1 \\u99999?}", u"\uFFFD"},
    {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", u"\U0001F600"},
    {"ignorable destination", "{\\rtf1{\\*\\generator Writer 1.0;}A}", u"A"},
    {"unknown ignorable destination", "{\\rtf1 A{\\*\\whatever {nested} text}B}", u"AB"},
    {"info", "{\\rtf1{\\info{\\title T}{\\author W}}A}", u"A"},
    {"stylesheet", "{\\rtf1{\\stylesheet{\\s0 Normal;}}A}", u"A"},
    {"picture in hex", "{\\rtf1 A{\\pict\\wmetafile8\\picw10 0102ff7d7b}B}", u"AB"},
    {"picture in binary with braces", "{\\rtf1 A{\\pict\\bin4 }{}x}B}", u"AB"},
    {"binary beyond the input", "{\\rtf1 A\\bin999999999 xyz", u"A"},
    {"negative binary length", "{\\rtf1 A\\bin-5 B}", u"AB"},
    {"object", "{\\rtf1 A{\\object\\objemb{\\*\\objdata 0102}{\\result R}}B}", u"AB"},
    {"header and footer", "{\\rtf1{\\header H}{\\footer F}A}", u"A"},
    {"field shows its result", "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}", u"link"},
    {"font and colour tables", "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}X}", u"X"},
    {"unicode alternative of upr", "{\\rtf1{\\upr{A}{\\*\\ud{B}}}}", u"B"},
    {"text after the document", "{\\rtf1 A}B}", u"A"},
    {"group left open", "{\\rtf1 {A", u"A"},
    {"backslash at the end", "{\\rtf1 A\\", u"A"},
    {"truncated hex escape", "{\\rtf1 A\\'4", u"A"},
    {"malformed hex escape", "{\\rtf1 A\\'zzB}", u"AzzB"},
    {"huge parameter saturates", "{\\rtf1 \\fs99999999999999999999 A\\f-99999999999999 B}", u"AB"},
    {"long control word", "{\\rtf1 \\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz A}", u"A"},
    {"empty document", "{\\rtf1}", u""},
    {"plain text lines", "line1\r\nline2\nline3\rline4\r\n", u"line1\r\nline2\r\nline3\r\nline4"},
    {"plain text keeps braces", "{not rtf}\\par", u"{not rtf}\\par"},
    {"plain text in UTF-8 with a mark", "\xEF\xBB\xBF\xE4\xB8\xAD", u"\u4E2D"},
    {"plain text in UTF-16 with a mark", std::string_view("\xFF\xFE\x2D\x4E", 4), u"\u4E2D"},
    {"plain text in the ANSI page", "caf\xE9", u"caf\u00E9"},
    {"empty input", "", u""},
};
// clang-format on

TEST(Rtf, TextOfEachCase) {
  for (const TextCase& c : kTextCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(winsim::toUtf8(textOf(c.rtf)), winsim::toUtf8(c.expected));
  }
}

// A licence text as a word processor writes it: font table with a Latin and a
// Chinese face, colour table with the automatic colour first, a GB2312 text
// in escapes under code page 936, and the same text in \u escapes.
constexpr std::string_view kLicence =
    "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang1033\\deflangfe2052"
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "{\\*\\generator Riched20 6.3.9600}\\viewkind4\\uc1\r\n"
    "\\pard\\qc\\b\\cf1\\f0\\fs28 END USER LICENSE\\b0\\cf0\\fs20\\par\r\n"
    "\\pard\\f1 \\'d6\\'d0\\'ce\\'c4\\'d0\\'ed\\'bf\\'c9\\f0\\par\r\n"
    "\\i\\ul\\cf2 underlined\\ulnone  plain\\i0\\par\r\n"
    "\\f1\\u20013?\\u25991?\\par\r\n"
    "}\r\n";

TEST(Rtf, LicenceSampleKeepsFormatsAndChinese) {
  auto parsed = parseRtf(kLicence);
  ASSERT_TRUE(parsed.ok()) << parsed.error().message;
  const RtfDocument& doc = parsed.value();
  ASSERT_EQ(doc.paragraphs.size(), 4u);

  const auto& title = doc.paragraphs[0];
  EXPECT_EQ(title.format.alignment, RtfAlignment::Center);
  ASSERT_EQ(title.runs.size(), 1u);
  EXPECT_EQ(title.runs[0].text, u"END USER LICENSE");
  EXPECT_TRUE(title.runs[0].format.bold);
  EXPECT_EQ(title.runs[0].format.halfPoints, 28);
  EXPECT_EQ(title.runs[0].format.color, RGB(255, 0, 0));
  EXPECT_EQ(title.runs[0].format.face, u"Arial");
  EXPECT_EQ(title.runs[0].format.charSet, ANSI_CHARSET);
  EXPECT_EQ(title.markFormat.halfPoints, 20);  // the size in effect at \par

  const auto& chinese = doc.paragraphs[1];
  EXPECT_EQ(chinese.format.alignment, RtfAlignment::Left);  // \pard
  ASSERT_EQ(chinese.runs.size(), 1u);
  EXPECT_EQ(chinese.runs[0].text, u"\u4E2D\u6587\u8BB8\u53EF");
  EXPECT_EQ(chinese.runs[0].format.face, u"\u5B8B\u4F53");  // the face name in GB2312 escapes
  EXPECT_EQ(chinese.runs[0].format.charSet, GB2312_CHARSET);
  EXPECT_FALSE(chinese.runs[0].format.color.has_value());  // \cf0: automatic
  EXPECT_FALSE(chinese.runs[0].format.bold);

  const auto& styled = doc.paragraphs[2];
  ASSERT_EQ(styled.runs.size(), 2u);
  EXPECT_EQ(styled.runs[0].text, u"underlined");
  EXPECT_TRUE(styled.runs[0].format.italic);
  EXPECT_TRUE(styled.runs[0].format.underline);
  EXPECT_EQ(styled.runs[0].format.color, RGB(0, 0, 255));
  EXPECT_EQ(styled.runs[1].text, u" plain");
  EXPECT_TRUE(styled.runs[1].format.italic);
  EXPECT_FALSE(styled.runs[1].format.underline);

  EXPECT_EQ(doc.paragraphs[3].runs.at(0).text, u"\u4E2D\u6587");
  EXPECT_EQ(doc.plainText(), u"END USER LICENSE\r\n\u4E2D\u6587\u8BB8\u53EF\r\nunderlined plain\r\n\u4E2D\u6587");
}

TEST(Rtf, EscapesFollowTheFontsCharacterSet) {
  struct Case {
    const char* name;
    std::string_view rtf;
    const char16_t* expected;
  } const cases[] = {
      {"document page for a font without a set", "{\\rtf1\\ansicpg936{\\fonttbl{\\f0 X;}}\\f0 \\'d6\\'d0}", u"\u4E2D"},
      {"GB2312", "{\\rtf1{\\fonttbl{\\f0\\fcharset134 X;}}\\f0 \\'d6\\'d0}", u"\u4E2D"},
      {"Big5", "{\\rtf1{\\fonttbl{\\f0\\fcharset136 X;}}\\f0 \\'a4\\'a4}", u"\u4E2D"},
      {"Shift-JIS", "{\\rtf1{\\fonttbl{\\f0\\fcharset128 X;}}\\f0 \\'93\\'fa}", u"\u65E5"},
      {"Western set in a Chinese document", "{\\rtf1\\ansicpg936{\\fonttbl{\\f0\\fcharset0 X;}}\\f0 \\'e9}", u"\u00E9"},
      {"default font by deff", "{\\rtf1\\deff1{\\fonttbl{\\f1\\fcharset134 X;}}\\'d6\\'d0}", u"\u4E2D"},
      {"switching fonts between escapes",
       "{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset134 B;}}\\f1\\'d6\\'d0\\f0\\'e9}", u"\u4E2D\u00E9"},
      {"font table without inner groups", "{\\rtf1{\\fonttbl\\f0\\fcharset134 X;\\f1\\fcharset0 Y;}\\f0\\'d6\\'d0}",
       u"\u4E2D"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(winsim::toUtf8(textOf(c.rtf)), winsim::toUtf8(c.expected));
  }
}

TEST(Rtf, FormatsFollowGroupsAndPlain) {
  auto parsed = parseRtf(
      "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red1\\green2\\blue3;}"
      "\\f1\\fs30 a{\\b\\cf1\\f0 b}c\\plain d\\cf7 e}");
  ASSERT_TRUE(parsed.ok());
  const auto& runs = parsed->paragraphs.at(0).runs;
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].text, u"a");
  EXPECT_EQ(runs[0].format.face, u"Courier New");
  EXPECT_EQ(runs[0].format.halfPoints, 30);
  EXPECT_EQ(runs[1].text, u"b");
  EXPECT_TRUE(runs[1].format.bold);
  EXPECT_EQ(runs[1].format.color, RGB(1, 2, 3));
  EXPECT_EQ(runs[1].format.face, u"Arial");
  EXPECT_EQ(runs[2].text, u"c");  // the group's end restores the format
  EXPECT_EQ(runs[2].format, runs[0].format);
  // \plain returns to the defaults; a colour index past the table is automatic.
  EXPECT_EQ(runs[3].text, u"de");
  EXPECT_EQ(runs[3].format.halfPoints, 24);
  EXPECT_EQ(runs[3].format.face, u"");  // no \deff: no default face
  EXPECT_FALSE(runs[3].format.color.has_value());
}

TEST(Rtf, ParagraphFormatsHoldUntilPard) {
  auto parsed = parseRtf(
      "{\\rtf1\\li720\\ri360\\fi-360\\sb120\\sa200\\sl276\\slmult1\\qj one\\par two\\par"
      "\\pard\\sl-300 three\\par{\\li99999999 four\\par}\\sa-5 five}");
  ASSERT_TRUE(parsed.ok());
  const auto& p = parsed->paragraphs;
  ASSERT_EQ(p.size(), 5u);
  winsim::RtfParagraphFormat expected;
  expected.alignment = RtfAlignment::Justify;
  expected.leftIndent = 720;
  expected.rightIndent = 360;
  expected.firstIndent = -360;
  expected.spaceBefore = 120;
  expected.spaceAfter = 200;
  expected.lineSpacing = 276;
  expected.lineMultiple = true;
  EXPECT_EQ(p[0].format, expected);
  EXPECT_EQ(p[1].format, expected);  // paragraph properties carry on to the next paragraph
  EXPECT_EQ(p[2].format.lineSpacing, -300);
  EXPECT_EQ(p[2].format.leftIndent, 0);
  EXPECT_FALSE(p[2].format.lineMultiple);
  EXPECT_EQ(p[3].format.leftIndent, 31680);  // no page is wider than 22 inches
  EXPECT_EQ(p[4].format.leftIndent, 0);      // the group's end took the indent back
  EXPECT_EQ(p[4].format.spaceAfter, 0);
}

TEST(Rtf, EmptyParagraphKeepsItsMarkSize) {
  auto parsed = parseRtf("{\\rtf1\\fs40 \\par x}");
  ASSERT_TRUE(parsed.ok());
  ASSERT_EQ(parsed->paragraphs.size(), 2u);
  EXPECT_TRUE(parsed->paragraphs[0].runs.empty());
  EXPECT_EQ(parsed->paragraphs[0].markFormat.halfPoints, 40);
}

TEST(Rtf, DeepNestingIsRefused) {
  auto nested = [](int depth) {
    return "{\\rtf1 " + std::string(static_cast<std::size_t>(depth - 1), '{') + "x" +
           std::string(static_cast<std::size_t>(depth), '}');
  };
  auto fine = parseRtf(nested(winsim::kRtfMaxGroupDepth));
  ASSERT_TRUE(fine.ok());
  EXPECT_EQ(fine->plainText(), u"x");
  auto deep = parseRtf(nested(winsim::kRtfMaxGroupDepth + 1));
  ASSERT_FALSE(deep.ok());
  EXPECT_EQ(deep.error().code, ERROR_INVALID_DATA);
  // Groups that close again never add up to the limit.
  std::string wide = "{\\rtf1 ";
  for (int i = 0; i < 5000; ++i) wide += "{y}";
  wide += "}";
  auto many = parseRtf(wide);
  ASSERT_TRUE(many.ok());
  EXPECT_EQ(many->plainText().size(), 5000u);
}

TEST(Rtf, LargeDocumentStaysProportional) {
  // A megabyte of picture data and a megabyte of text: the skipped part adds
  // nothing, the text one unit per byte.
  std::string rtf = "{\\rtf1{\\pict\\pngblip " + std::string(1 << 20, 'f') + "}";
  rtf += std::string(1 << 20, 'a') + "}";
  auto parsed = parseRtf(rtf);
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed->plainText().size(), std::size_t{1} << 20);
}

}  // namespace
