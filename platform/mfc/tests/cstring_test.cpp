#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <utility>

#include "afx.h"

namespace {

std::u16string str(const CString& text) {
  return std::u16string(text.GetString(), static_cast<std::size_t>(text.GetLength()));
}

TEST(CString, Construction) {
  const WCHAR buffer[] = {u'a', u'b', 0, u'c'};
  struct Case {
    CString text;
    std::u16string expected;
  } const kCases[] = {
      {CString(), u""},
      {CString(u"Merrowin"), u"Merrowin"},
      {CString(static_cast<const WCHAR*>(nullptr)), u""},
      {CString(u"abcdef", 3), u"abc"},
      {CString(buffer, 4), std::u16string(buffer, 4)},  // a length copies NULs too
      {CString(u"abc", -2), u""},
      {CString(nullptr, 5), u""},
      {CString(u'x'), u"x"},
      {CString(u'-', 4), u"----"},
      {CString(u'-', 0), u""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(str(c.text), c.expected);
    EXPECT_EQ(c.text.GetLength(), static_cast<int>(c.expected.size()));
    EXPECT_EQ(c.text.IsEmpty(), c.expected.empty());
    EXPECT_EQ(c.text.GetString()[c.text.GetLength()], 0);  // always terminated
  }
}

TEST(CString, CopiesAreIndependent) {
  CString a(u"one");
  CString b(a);
  b.SetAt(0, u'O');
  EXPECT_EQ(a, u"one");
  EXPECT_EQ(b, u"One");
  CString c;
  c = a;
  a.Empty();
  EXPECT_EQ(c, u"one");
  EXPECT_TRUE(a.IsEmpty());
  CString moved(std::move(c));
  EXPECT_EQ(moved, u"one");
  EXPECT_TRUE(c.IsEmpty());  // NOLINT(bugprone-use-after-move): a moved-from string is empty
  const CString& same = moved;
  moved = same;
  EXPECT_EQ(moved, u"one");
  moved = moved.GetString() + 1;  // assigning a part of itself
  EXPECT_EQ(moved, u"ne");
}

TEST(CString, ConvertsToAWidePointer) {
  const CString empty;
  const WCHAR* p = empty;
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[0], 0);
  const CString text(u"abc");
  EXPECT_EQ(std::u16string(static_cast<const WCHAR*>(text)), u"abc");
  static_assert(sizeof(CString) == sizeof(void*));
}

TEST(CString, GetAtReachesTheTerminator) {
  const CString text(u"ab");
  EXPECT_EQ(text.GetAt(0), u'a');
  EXPECT_EQ(text[1], u'b');
  EXPECT_EQ(text.GetAt(2), 0);
}

TEST(CStringDeathTest, OutOfRangeAccessAborts) {
  CString text(u"ab");
  EXPECT_DEATH(text.GetAt(3), "GetAt\\(3\\) on a string of 2");
  EXPECT_DEATH(text.GetAt(-1), "GetAt");
  EXPECT_DEATH(text.SetAt(2, u'x'), "SetAt\\(2\\)");
  CString empty;
  EXPECT_DEATH(empty.SetAt(0, u'x'), "SetAt\\(0\\) on a string of 0");
}

TEST(CString, Comparison) {
  const CString abc(u"abc");
  EXPECT_TRUE(abc == u"abc");
  EXPECT_TRUE(u"abc" == abc);
  EXPECT_TRUE(abc == CString(u"abc"));
  EXPECT_TRUE(abc != u"abd");
  EXPECT_TRUE(u"abd" != abc);
  EXPECT_TRUE(abc < CString(u"abd"));
  EXPECT_TRUE(abc < u"b");
  EXPECT_TRUE(u"ab" < abc);
  EXPECT_TRUE(CString() == static_cast<const WCHAR*>(nullptr));
  EXPECT_TRUE(CString(u"a\u00E9") > u"az");  // by UTF-16 unit

  struct Case {
    const char16_t* a;
    const char16_t* b;
    int compare;
    int noCase;
  } const kCases[] = {
      {u"abc", u"abc", 0, 0},
      {u"abc", u"ABC", 1, 0},
      {u"ab", u"abc", -1, -1},
      {u"b", u"abc", 1, 1},
      {u"", u"", 0, 0},
      {u"a", u"", 1, 1},
      {u"_", u"A", 1, -1},  // '_' sorts after 'A', before 'a'
      {u"\u00C9T\u00C9", u"\u00E9t\u00E9", -1, 0},
      {u"\u0416", u"\u0436", -1, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(CString(c.a).Compare(c.b), c.compare);
    EXPECT_EQ(CString(c.a).CompareNoCase(c.b), c.noCase);
  }
  std::map<CString, int> ordered{{CString(u"b"), 2}, {CString(u"a"), 1}, {CString(u"c"), 3}};
  EXPECT_EQ(ordered.begin()->first, u"a");
}

TEST(CString, Concatenation) {
  CString text(u"C:");
  text += u"\\";
  text += CString(u"Program Files");
  text += u'\\';
  EXPECT_EQ(text, u"C:\\Program Files\\");
  EXPECT_EQ(text + u"Merrowin", u"C:\\Program Files\\Merrowin");
  EXPECT_EQ(u"[" + CString(u"x") + u']', u"[x]");
  EXPECT_EQ(u'<' + CString(u"y"), u"<y");
  EXPECT_EQ(CString(u"a") + CString(u"b"), u"ab");
  text += static_cast<const WCHAR*>(nullptr);
  EXPECT_EQ(text.GetLength(), 17);
  CString twice(u"ab");
  for (int i = 0; i < 12; ++i) twice += twice;  // the argument is the string itself, growing
  EXPECT_EQ(twice.GetLength(), 2 << 12);
  EXPECT_EQ(twice.Right(3), u"bab");
  CString tail(u"xyz");
  tail += tail.GetString() + 1;
  EXPECT_EQ(tail, u"xyzyz");
}

TEST(CString, LeftMidRightAreClamped) {
  const CString text(u"abcdef");
  struct Case {
    CString actual;
    const char16_t* expected;
  } const kCases[] = {
      {text.Left(3), u"abc"},      {text.Left(0), u""},
      {text.Left(-1), u""},        {text.Left(100), u"abcdef"},
      {text.Right(2), u"ef"},      {text.Right(-5), u""},
      {text.Right(99), u"abcdef"}, {text.Mid(2), u"cdef"},
      {text.Mid(2, 2), u"cd"},     {text.Mid(-3), u"abcdef"},
      {text.Mid(-3, 2), u"ab"},    {text.Mid(6), u""},
      {text.Mid(7), u""},          {text.Mid(4, 100), u"ef"},
      {text.Mid(1, -1), u""},      {text.Mid(3, INT_MAX), u"def"},
      {text.Mid(INT_MAX, 5), u""}, {CString().Mid(0, 3), u""},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.actual, c.expected);
}

TEST(CString, Find) {
  const CString text(u"a\\b\\c.txt");
  struct Case {
    int actual;
    int expected;
  } const kCases[] = {
      {text.Find(u'\\'), 1},
      {text.Find(u'\\', 2), 3},
      {text.Find(u'\\', 4), -1},
      {text.Find(u'a', 9), -1},
      {text.Find(u'a', -1), -1},
      {text.Find(u'z'), -1},
      {text.Find(u"b\\c"), 2},
      {text.Find(u".txt", 5), 5},
      {text.Find(u".txt", 6), -1},
      {text.Find(u""), 0},
      {text.Find(u"", 9), 9},
      {text.Find(u"", 10), -1},
      {text.Find(static_cast<const WCHAR*>(nullptr)), -1},
      {text.Find(u"txt!"), -1},
      {text.ReverseFind(u'\\'), 3},
      {text.ReverseFind(u'a'), 0},
      {text.ReverseFind(u'q'), -1},
      {text.FindOneOf(u".\\"), 1},
      {text.FindOneOf(u"xt"), 6},
      {text.FindOneOf(u""), -1},
      {CString().Find(u'a'), -1},
      {CString().ReverseFind(u'a'), -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    EXPECT_EQ(c.actual, c.expected);
  }
}

TEST(CString, ReplaceRemoveInsertDelete) {
  struct Case {
    const char16_t* start;
    int (*edit)(CString&);
    int result;
    const char16_t* expected;
  } const kCases[] = {
      {u"a/b/c", [](CString& s) { return s.Replace(u'/', u'\\'); }, 2, u"a\\b\\c"},
      {u"abc", [](CString& s) { return s.Replace(u'a', u'a'); }, 0, u"abc"},
      {u"one two one", [](CString& s) { return s.Replace(u"one", u"1"); }, 2, u"1 two 1"},
      {u"aaaa", [](CString& s) { return s.Replace(u"aa", u"a"); }, 2, u"aa"},
      {u"abc", [](CString& s) { return s.Replace(u"b", u""); }, 1, u"ac"},
      {u"abc", [](CString& s) { return s.Replace(u"b", nullptr); }, 1, u"ac"},
      {u"abc", [](CString& s) { return s.Replace(u"", u"x"); }, 0, u"abc"},
      {u"abc", [](CString& s) { return s.Replace(u"x", u"y"); }, 0, u"abc"},
      {u"ab", [](CString& s) { return s.Replace(u"b", s.GetString()); }, 1, u"aab"},
      {u"a b c ", [](CString& s) { return s.Remove(u' '); }, 3, u"abc"},
      {u"abc", [](CString& s) { return s.Remove(u'z'); }, 0, u"abc"},
      {u"ac", [](CString& s) { return s.Insert(1, u'b'); }, 3, u"abc"},
      {u"ac", [](CString& s) { return s.Insert(-4, u"__"); }, 4, u"__ac"},
      {u"ac", [](CString& s) { return s.Insert(99, u"!"); }, 3, u"ac!"},
      {u"ab", [](CString& s) { return s.Insert(1, s.GetString()); }, 4, u"aabb"},
      {u"abcdef", [](CString& s) { return s.Delete(1, 2); }, 4, u"adef"},
      {u"abcdef", [](CString& s) { return s.Delete(4, 100); }, 4, u"abcd"},
      {u"abcdef", [](CString& s) { return s.Delete(-2, 1); }, 5, u"bcdef"},
      {u"abcdef", [](CString& s) { return s.Delete(6); }, 6, u"abcdef"},
      {u"abcdef", [](CString& s) { return s.Delete(2, -1); }, 6, u"abcdef"},
      {u"abc", [](CString& s) { return s.Delete(0); }, 2, u"bc"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    CString text(c.start);
    EXPECT_EQ(c.edit(text), c.result);
    EXPECT_EQ(text, c.expected);
  }
}

TEST(CString, Trim) {
  struct Case {
    const char16_t* start;
    CString& (*edit)(CString&);
    const char16_t* expected;
  } const kCases[] = {
      {u"  a b \t\r\n", [](CString& s) -> CString& { return s.Trim(); }, u"a b"},
      {u"\u3000\u00A0x\u2003", [](CString& s) -> CString& { return s.Trim(); }, u"x"},
      {u"   ", [](CString& s) -> CString& { return s.Trim(); }, u""},
      {u"", [](CString& s) -> CString& { return s.Trim(); }, u""},
      {u"  x  ", [](CString& s) -> CString& { return s.TrimLeft(); }, u"x  "},
      {u"  x  ", [](CString& s) -> CString& { return s.TrimRight(); }, u"  x"},
      {u"D:\\dir\\\\", [](CString& s) -> CString& { return s.TrimRight(u'\\'); }, u"D:\\dir"},
      {u"\"quoted\"", [](CString& s) -> CString& { return s.Trim(u'"'); }, u"quoted"},
      {u"xxyxx", [](CString& s) -> CString& { return s.TrimLeft(u'x'); }, u"yxx"},
      {u"xyzabczyx", [](CString& s) -> CString& { return s.Trim(u"xyz"); }, u"abc"},
      {u"xyzabczyx", [](CString& s) -> CString& { return s.TrimRight(u"xyz"); }, u"xyzabc"},
      {u"xyzabc", [](CString& s) -> CString& { return s.TrimLeft(u"zyx"); }, u"abc"},
      {u" a ", [](CString& s) -> CString& { return s.Trim(u""); }, u" a "},
      {u" a ", [](CString& s) -> CString& { return s.Trim(static_cast<const WCHAR*>(nullptr)); }, u" a "},
      {u"aaaa", [](CString& s) -> CString& { return s.Trim(u'a'); }, u""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - kCases));
    CString text(c.start);
    CString& result = c.edit(text);
    EXPECT_EQ(&result, &text);
    EXPECT_EQ(text, c.expected);
  }
}

TEST(CString, CaseAndReverse) {
  CString text(u"Program Files \u00E9\u0436");
  EXPECT_EQ(text.MakeUpper(), u"PROGRAM FILES \u00C9\u0416");
  EXPECT_EQ(text.MakeLower(), u"program files \u00E9\u0436");
  EXPECT_EQ(CString(u"abc").MakeReverse(), u"cba");
  EXPECT_EQ(CString().MakeReverse(), u"");
}

TEST(CString, BufferForAFillingCall) {
  CString text;
  WCHAR* buffer = text.GetBuffer(260);
  const std::u16string path = u"C:\\Windows\\System32";
  std::copy(path.begin(), path.end(), buffer);
  buffer[path.size()] = 0;
  EXPECT_EQ(text.GetLength(), 0);  // the length waits for ReleaseBuffer
  text.ReleaseBuffer();
  EXPECT_EQ(text, u"C:\\Windows\\System32");
  text.GetBuffer(0);
  text.ReleaseBuffer(2);
  EXPECT_EQ(text, u"C:");
  WCHAR* set = text.GetBufferSetLength(4);
  EXPECT_EQ(text.GetLength(), 4);
  set[2] = u'x';
  set[3] = u'y';
  text.ReleaseBuffer();
  EXPECT_EQ(text, u"C:xy");
}

TEST(CString, ReleaseBufferStaysInsideTheRoom) {
  CString text(u"abc");
  WCHAR* buffer = text.GetBuffer(8);
  for (int i = 0; i <= 8; ++i) buffer[i] = u'z';  // room for 8 and the NUL, all filled, no NUL
  text.ReleaseBuffer();
  EXPECT_EQ(text.GetLength(), 8);
  text.GetBuffer(8);
  text.ReleaseBuffer(1000);
  EXPECT_EQ(text.GetLength(), 8);
  CString empty;
  empty.ReleaseBuffer();
  EXPECT_TRUE(empty.IsEmpty());
  WCHAR* own = empty.GetBuffer();
  own[0] = 0;  // an empty string's buffer is writable too
  empty.ReleaseBuffer();
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(CString, GetBufferKeepsTheText) {
  CString text(u"keep");
  WCHAR* buffer = text.GetBuffer(1000);
  EXPECT_EQ(std::u16string(buffer), u"keep");
  text.ReleaseBuffer();
  EXPECT_EQ(text, u"keep");
  text += u" more";  // growth after a buffer keeps working
  EXPECT_EQ(text, u"keep more");
}

}  // namespace
