#include "win32/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "winsim/codepage.h"

namespace {

using winsim::testing::TempMachine;

std::string narrow(UINT page, std::u16string_view text, BOOL* usedDefault = nullptr) {
  const int size =
      WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, usedDefault);
  std::string out(static_cast<std::size_t>(size), '\0');
  if (size > 0) {
    EXPECT_EQ(WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                                  usedDefault),
              size);
  }
  return out;
}

std::u16string wide(UINT page, std::string_view bytes, DWORD flags = 0) {
  const int size = MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string out(static_cast<std::size_t>(size), u'\0');
  if (size > 0) {
    EXPECT_EQ(MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), out.data(), size), size);
  }
  return out;
}

struct RoundTrip {
  UINT page;
  const char16_t* text;
  const char* bytes;
};
const RoundTrip kRoundTrips[] = {
    {1252, u"Program Files", "Program Files"},
    {1252, u"caf\u00E9 \u00FC\u00DF", "caf\xE9 \xFC\xDF"},
    {1252, u"\u20AC\u2019\u0153", "\x80\x92\x9C"},
    // Bytes 1252 leaves undefined pass through as the C1 controls of the same value.
    {1252, u"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},
    {936, u"\u4E2D\u6587", "\xD6\xD0\xCE\xC4"},
    {936, u"a\u4E2Db",
     "a\xD6\xD0"
     "b"},
    {950, u"\u4E2D\u6587", "\xA4\xA4\xA4\xE5"},
    {932, u"\u65E5\u672C", "\x93\xFA\x96\x7B"},
    {932, u"\uFF71", "\xB1"},  // half-width katakana: one byte
    {CP_UTF8, u"\u4E2D", "\xE4\xB8\xAD"},
    {CP_UTF8, u"\U0001F600", "\xF0\x9F\x98\x80"},
    {437, u"\u00C7\u2502", "\x80\xB3"},
};

TEST(CodePage, RoundTripsEachPage) {
  for (const auto& c : kRoundTrips) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " bytes " << c.bytes);
    BOOL usedDefault = TRUE;
    EXPECT_EQ(narrow(c.page, c.text, c.page == CP_UTF8 ? nullptr : &usedDefault), c.bytes);
    if (c.page != CP_UTF8) {
      EXPECT_FALSE(usedDefault);
    }
    EXPECT_EQ(wide(c.page, c.bytes), c.text);
  }
}

TEST(CodePage, AnsiPageComesFromTheMachineProfile) {
  struct Case {
    const char* setting;
    UINT expected;
    std::size_t bytesOfOneHan;
  } const kCases[] = {
      {nullptr, 1252, 1}, {"936", 936, 2}, {"950", 950, 2}, {"932", 932, 2}, {"65001", 1252, 1}, {"x", 1252, 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.setting ? c.setting : "default");
    std::vector<winsim::ProfileSetting> settings;
    if (c.setting) settings.push_back({"system", "codepage", c.setting});
    TempMachine machine(settings);
    EXPECT_EQ(GetACP(), c.expected);
    EXPECT_EQ(winsim::ansiCodePage(), c.expected);
    EXPECT_EQ(narrow(CP_ACP, u"\u4E2D").size(), c.bytesOfOneHan);
    EXPECT_EQ(winsim::toAnsi(u"\u4E2D").size(), c.bytesOfOneHan);
  }
}

TEST(CodePage, AnsiPageFollowsProfileChanges) {
  TempMachine machine;
  ASSERT_TRUE(machine.machine().setProfileValue(u"system", u"codepage", u"936").ok());
  EXPECT_EQ(GetACP(), 936u);
  EXPECT_EQ(winsim::fromAnsi("\xD6\xD0"), u"\u4E2D");
}

TEST(CodePage, WithoutMachineTheAnsiPageIs1252) {
  winsim::setCurrentMachine(nullptr);
  EXPECT_EQ(GetACP(), 1252u);
}

TEST(CodePage, MinusOneCountsTheTerminator) {
  char bytes[16];
  EXPECT_EQ(WideCharToMultiByte(936, 0, u"a\u4E2D", -1, nullptr, 0, nullptr, nullptr), 4);
  EXPECT_EQ(WideCharToMultiByte(936, 0, u"a\u4E2D", -1, bytes, sizeof bytes, nullptr, nullptr), 4);
  EXPECT_STREQ(bytes, "a\xD6\xD0");
  char16_t text[16];
  EXPECT_EQ(MultiByteToWideChar(936, 0, "a\xD6\xD0", -1, nullptr, 0), 3);
  EXPECT_EQ(MultiByteToWideChar(936, 0, "a\xD6\xD0", -1, text, 16), 3);
  EXPECT_EQ(std::u16string(text), u"a\u4E2D");
  // An explicit length converts exactly that much, no terminator added.
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abc", 2, nullptr, 0, nullptr, nullptr), 2);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 2, nullptr, 0), 2);
}

TEST(CodePage, TooSmallBufferFailsAndIsLeftAlone) {
  char bytes[4] = {'x', 'x', 'x', 'x'};
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(936, 0, u"\u4E2D\u6587", -1, bytes, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::string(bytes, 4), "xxxx");
  char exact[5];  // two characters of two bytes and the NUL
  EXPECT_EQ(WideCharToMultiByte(936, 0, u"\u4E2D\u6587", -1, exact, 5, nullptr, nullptr), 5);
  char16_t text[2] = {u'x', u'x'};
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", -1, text, 2), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(text[0], u'x');
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, text, 2), 0);
}

TEST(CodePage, UnmappableCharactersBecomeTheDefaultCharacter) {
  BOOL usedDefault = FALSE;
  EXPECT_EQ(narrow(1252, u"a\u4E2Db", &usedDefault), "a?b");
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(narrow(1252, u"\U0001F600", &usedDefault), "?");  // one default for the whole pair
  EXPECT_TRUE(usedDefault);
  EXPECT_EQ(narrow(936, u"\u0E01x", &usedDefault), "?x");
  char bytes[8];
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"\u4E2D!", 2, bytes, 8, "*", &usedDefault), 2);
  EXPECT_EQ(std::string(bytes, 2), "*!");
  EXPECT_TRUE(usedDefault);
  // The size query reports the default too.
  usedDefault = FALSE;
  EXPECT_EQ(WideCharToMultiByte(932, 0, u"\u0E01", 1, nullptr, 0, nullptr, &usedDefault), 1);
  EXPECT_TRUE(usedDefault);
}

TEST(CodePage, Utf8TakesNoDefaultCharacter) {
  BOOL usedDefault = FALSE;
  char bytes[8];
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, 8, nullptr, &usedDefault), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, 8, "?", nullptr), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

struct InvalidCase {
  UINT page;
  std::u16string text;  // for the wide-to-bytes direction, when not empty
  std::string bytes;    // for the bytes-to-wide direction, when text is empty
  std::string replacedBytes;
  std::u16string replacedText;
};

TEST(CodePage, InvalidInputIsReplacedOrRefused) {
  const InvalidCase kCases[] = {
      {CP_UTF8, u"a\xD800z", "", "a\xEF\xBF\xBDz", u""},
      {CP_UTF8, u"a\xDC00", "", "a\xEF\xBF\xBD", u""},
      {CP_UTF8, u"", "a\xFFz", "", u"a\xFFFDz"},
      {CP_UTF8, u"", "\xC3", "", u"\xFFFD"},  // cut off by the end
      {936, u"", "a\xD6", "", u"a\xFFFD"},    // a lead byte without its trail
      {932, u"", "\x81", "", u"\xFFFD"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " case " << (&c - kCases));
    if (!c.text.empty()) {
      EXPECT_EQ(narrow(c.page, c.text), c.replacedBytes);
      SetLastError(0);
      EXPECT_EQ(WideCharToMultiByte(c.page, WC_ERR_INVALID_CHARS, c.text.data(), static_cast<int>(c.text.size()),
                                    nullptr, 0, nullptr, nullptr),
                0);
      EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    } else {
      EXPECT_EQ(wide(c.page, c.bytes), c.replacedText);
      SetLastError(0);
      EXPECT_EQ(MultiByteToWideChar(c.page, MB_ERR_INVALID_CHARS, c.bytes.data(), static_cast<int>(c.bytes.size()),
                                    nullptr, 0),
                0);
      EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
    }
  }
  // A lone surrogate in a page other than UTF-8 is just a character it lacks.
  BOOL usedDefault = FALSE;
  EXPECT_EQ(narrow(1252, u"\xD800", &usedDefault), "?");
  EXPECT_TRUE(usedDefault);
}

TEST(CodePage, BadParametersFail) {
  char bytes[8];
  char16_t text[8];
  struct Case {
    const char* what;
    int result;
  } const kCases[] = {
      {"unknown page", WideCharToMultiByte(12345, 0, u"a", 1, bytes, 8, nullptr, nullptr)},
      {"unknown page back", MultiByteToWideChar(12345, 0, "a", 1, text, 8)},
      {"null input", WideCharToMultiByte(1252, 0, nullptr, 1, bytes, 8, nullptr, nullptr)},
      {"null input back", MultiByteToWideChar(1252, 0, nullptr, 1, text, 8)},
      {"zero length", WideCharToMultiByte(1252, 0, u"a", 0, bytes, 8, nullptr, nullptr)},
      {"zero length back", MultiByteToWideChar(1252, 0, "a", 0, text, 8)},
      {"negative length", WideCharToMultiByte(1252, 0, u"a", -2, bytes, 8, nullptr, nullptr)},
      {"negative size", MultiByteToWideChar(1252, 0, "a", 1, text, -1)},
      {"null output", WideCharToMultiByte(1252, 0, u"a", 1, nullptr, 8, nullptr, nullptr)},
      {"null output back", MultiByteToWideChar(1252, 0, "a", 1, nullptr, 8)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.result, 0);
  }
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", 1, text, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(CodePage, LayerHelpersReplaceWhatCannotBeConverted) {
  EXPECT_EQ(winsim::toCodePage(u"x\u4E2D", 1252), "x?");
  EXPECT_EQ(winsim::toCodePage(u"x\u4E2D", 936), "x\xD6\xD0");
  EXPECT_EQ(winsim::fromCodePage("x\xFF", CP_UTF8), u"x\xFFFD");
  EXPECT_EQ(winsim::fromCodePage("\xA4\xA4", 950), u"\u4E2D");
}

TEST(CodePage, LongTextConvertsWhole) {
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += u"\u4E2Da";
  const std::string bytes = narrow(936, text);
  EXPECT_EQ(bytes.size(), 15000u);
  EXPECT_EQ(wide(936, bytes), text);
  EXPECT_EQ(narrow(CP_UTF8, text).size(), 20000u);
}

TEST(CodePage, ThreadsConvertAtOnce) {
  auto work = [](UINT page, std::u16string text) {
    for (int i = 0; i < 300; ++i) {
      const std::string bytes = winsim::toCodePage(text, page);
      if (winsim::fromCodePage(bytes, page) != text) return false;
    }
    return true;
  };
  bool results[4] = {};
  std::vector<std::thread> threads;
  const UINT pages[] = {936, 950, 932, CP_UTF8};
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] { results[t] = work(pages[t], t == 2 ? u"\u65E5\u672C" : u"\u4E2D\u6587"); });
  for (auto& thread : threads) thread.join();
  for (bool ok : results) EXPECT_TRUE(ok);
}

}  // namespace
