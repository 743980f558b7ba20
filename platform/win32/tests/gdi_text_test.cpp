// Text: colours and background modes, DrawTextW's placement, measuring,
// word breaks, prefixes, ellipsis, ExtTextOutW, underlined fonts.
#include <gtest/gtest.h>

#include <string>

#include "gditesthelpers.h"
#include "win32/gdi.h"

using gditest::Canvas;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

HFONT arial(int height, bool underline = false) {
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, u"Arial");
}

// A canvas with an Arial font selected for the test's lifetime.
struct TextCanvas : Canvas {
  HFONT font;
  HGDIOBJ old;
  TextCanvas(int w, int h, int height = -13, bool underline = false)
      : Canvas(w, h), font(arial(height, underline)), old(SelectObject(dc(), font)) {}
  ~TextCanvas() {
    SelectObject(dc(), old);
    DeleteObject(font);
  }
  SIZE extent(const std::u16string& text) const {
    SIZE size{};
    GetTextExtentPoint32W(dc(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
  }
  TEXTMETRICW metrics() const {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc(), &tm);
    return tm;
  }
};

// The smallest rectangle holding every pixel that is not `background`.
RECT inkBox(const Canvas& canvas, COLORREF background = kWhite) {
  RECT box{canvas.width(), canvas.height(), 0, 0};
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.at(x, y) != background) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

bool samePixels(const Canvas& a, const Canvas& b) {
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.at(x, y) != b.at(x, y)) return false;
  return true;
}

}  // namespace

TEST(GdiText, TransparentTextKeepsTheBackground) {
  TextCanvas canvas(120, 30);
  SetTextColor(canvas.dc(), RGB(255, 0, 0));
  SetBkColor(canvas.dc(), RGB(0, 0, 255));
  SetBkMode(canvas.dc(), TRANSPARENT);
  ASSERT_TRUE(TextOutW(canvas.dc(), 10, 5, u"Welcome", 7));
  SIZE const size = canvas.extent(u"Welcome");
  // Solid strokes in the text colour, edges blended into the white background,
  // nothing in the background colour.
  EXPECT_GT(canvas.count(RGB(255, 0, 0)), 20);
  EXPECT_EQ(canvas.count(RGB(0, 0, 255)), 0);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) {
      COLORREF const c = canvas.at(x, y);
      EXPECT_TRUE(c == kWhite || (GetRValue(c) == 255 && GetGValue(c) == GetBValue(c))) << x << "," << y;
    }
  RECT const ink = inkBox(canvas);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 10 + size.cx + 1);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.bottom, 5 + size.cy);
}

TEST(GdiText, OpaqueTextFillsItsCellWithTheBackgroundColour) {
  TextCanvas canvas(120, 30);
  SetTextColor(canvas.dc(), RGB(255, 255, 255));
  SetBkColor(canvas.dc(), RGB(0, 0, 128));
  ASSERT_EQ(GetBkMode(canvas.dc()), OPAQUE);
  TextOutW(canvas.dc(), 10, 5, u"Cancel", 6);
  SIZE const size = canvas.extent(u"Cancel");
  RECT const ink = inkBox(canvas);
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.top, 5);
  EXPECT_EQ(ink.right, 10 + size.cx);
  EXPECT_EQ(ink.bottom, 5 + size.cy);
  EXPECT_COLOR(canvas, 10, 5, RGB(0, 0, 128));
  EXPECT_COLOR(canvas, 10 + size.cx - 1, 5 + size.cy - 1, RGB(0, 0, 128));
  EXPECT_GT(canvas.count(RGB(255, 255, 255)), 120 * 30 - size.cx * size.cy);  // white strokes inside
}

TEST(GdiText, DrawTextCentresASingleLine) {
  RECT const rect{20, 10, 180, 50};
  std::u16string const text = u"Overall progress...";
  TextCanvas drawn(200, 60), expected(200, 60);
  SetBkMode(drawn.dc(), TRANSPARENT);
  SetBkMode(expected.dc(), TRANSPARENT);
  RECT r = rect;
  int const height = DrawTextW(drawn.dc(), text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SIZE const size = expected.extent(text);
  int const x = rect.left + (rect.right - rect.left - size.cx) / 2;
  int const y = rect.top + (rect.bottom - rect.top - size.cy) / 2;
  EXPECT_EQ(height, y - rect.top + size.cy);
  TextOutW(expected.dc(), x, y, text.c_str(), static_cast<int>(text.size()));
  EXPECT_TRUE(samePixels(drawn, expected));
  EXPECT_EQ(r.left, rect.left);  // drawing leaves the rectangle alone
  EXPECT_EQ(r.right, rect.right);

  // The caption of the progress bar: left edge at 30, vertically centred.
  TextCanvas bar(200, 20), reference(200, 20);
  SetBkMode(bar.dc(), TRANSPARENT);
  SetBkMode(reference.dc(), TRANSPARENT);
  RECT caption{30, 0, 200, 20};
  DrawTextW(bar.dc(), text.c_str(), -1, &caption, DT_SINGLELINE | DT_VCENTER);
  TextOutW(reference.dc(), 30, (20 - size.cy) / 2, text.c_str(), static_cast<int>(text.size()));
  EXPECT_TRUE(samePixels(bar, reference));

  TextCanvas right(200, 60), rightExpected(200, 60);
  RECT rr = rect;
  DrawTextW(right.dc(), text.c_str(), -1, &rr, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
  TextOutW(rightExpected.dc(), rect.right - size.cx, rect.bottom - size.cy, text.c_str(),
           static_cast<int>(text.size()));
  EXPECT_TRUE(samePixels(right, rightExpected));
}

TEST(GdiText, CalcRectMeasuresAsTheTextIsDrawn) {
  TextCanvas canvas(300, 200);
  std::u16string const single = u"Browse...";
  SIZE const size = canvas.extent(single);
  RECT r{5, 7, 500, 500};
  EXPECT_EQ(DrawTextW(canvas.dc(), single.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE), size.cy);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.top, 7);
  EXPECT_EQ(r.right, 5 + size.cx);
  EXPECT_EQ(r.bottom, 7 + size.cy);
  EXPECT_EQ(canvas.count(kWhite), 300 * 200);  // measuring draws nothing

  // Word-wrapped and centred, as the skinned button measures its caption.
  std::u16string const words = u"Start the viewer when setup closes";
  int const lineHeight = canvas.metrics().tmHeight;
  RECT wrapped{0, 0, 100, 0};
  int const height = DrawTextW(canvas.dc(), words.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
  EXPECT_EQ(height % lineHeight, 0);
  EXPECT_GE(height / lineHeight, 3);
  EXPECT_EQ(wrapped.bottom, height);
  EXPECT_LE(wrapped.right, 100);
  EXPECT_GT(wrapped.right, 50);
  // Each line holds whole words: the widest word decides when it is wider.
  RECT narrow{0, 0, 10, 0};
  DrawTextW(canvas.dc(), u"Installation folder", -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
  EXPECT_EQ(narrow.bottom, 2 * lineHeight);
  EXPECT_EQ(narrow.right, canvas.extent(u"Installation").cx);
  // Line breaks start new lines.
  RECT lines{0, 0, 300, 0};
  EXPECT_EQ(DrawTextW(canvas.dc(), u"one\r\ntwo\nthree", -1, &lines, DT_CALCRECT), 3 * lineHeight);
  EXPECT_EQ(lines.right, canvas.extent(u"three").cx);
  // Empty text has no lines.
  RECT empty{0, 0, 50, 50};
  EXPECT_EQ(DrawTextW(canvas.dc(), u"", 0, &empty, DT_CALCRECT), 0);
}

TEST(GdiText, WrappedLinesAreDrawnOneBelowTheOther) {
  TextCanvas canvas(120, 80), expected(120, 80);
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetBkMode(expected.dc(), TRANSPARENT);
  int const lineHeight = canvas.metrics().tmHeight;
  RECT r{0, 0, 120, 80};
  std::u16string const text = u"Please close the viewer before you continue";
  int const height = DrawTextW(canvas.dc(), text.c_str(), -1, &r, DT_WORDBREAK);
  ASSERT_EQ(height, 3 * lineHeight);
  // The first line is the longest run of whole words that fits.
  TextOutW(expected.dc(), 0, 0, u"Please close the", 16);
  TextOutW(expected.dc(), 0, lineHeight, u"viewer before you", 17);
  TextOutW(expected.dc(), 0, 2 * lineHeight, u"continue", 8);
  ASSERT_LE(expected.extent(u"Please close the").cx, 120);
  ASSERT_GT(expected.extent(u"Please close the viewer").cx, 120);
  EXPECT_TRUE(samePixels(canvas, expected));
}

TEST(GdiText, TextIsClippedToTheRectangleUnlessNoClip) {
  TextCanvas canvas(200, 40);
  RECT r{10, 10, 40, 30};
  DrawTextW(canvas.dc(), u"A long caption that does not fit", -1, &r, DT_SINGLELINE);
  RECT const ink = inkBox(canvas);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 40);
  canvas.fill(kWhite);
  DrawTextW(canvas.dc(), u"A long caption that does not fit", -1, &r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(inkBox(canvas).right, 100);
}

TEST(GdiText, PrefixesUnderlineTheirLetter) {
  TextCanvas canvas(120, 30);
  SetBkMode(canvas.dc(), TRANSPARENT);
  TEXTMETRICW const tm = canvas.metrics();
  RECT r{0, 0, 120, 30};
  RECT calc = r;
  DrawTextW(canvas.dc(), u"&Browse", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(calc.right, canvas.extent(u"Browse").cx);
  calc = r;
  DrawTextW(canvas.dc(), u"&Browse", -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(calc.right, canvas.extent(u"&Browse").cx);
  calc = r;
  DrawTextW(canvas.dc(), u"Save && exit", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(calc.right, canvas.extent(u"Save & exit").cx);

  // The underline runs below the baseline under the first letter only.
  DrawTextW(canvas.dc(), u"&Browse", -1, &r, DT_SINGLELINE);
  int const bWidth = canvas.extent(u"B").cx;
  int underlineRow = -1;
  for (int y = tm.tmAscent; y < tm.tmHeight && underlineRow < 0; ++y) {
    int dark = 0;
    for (int x = 0; x < bWidth; ++x) dark += canvas.at(x, y) == RGB(0, 0, 0);
    if (dark >= bWidth - 1) underlineRow = y;
  }
  ASSERT_GE(underlineRow, 0);
  for (int x = bWidth + 2; x < 120; ++x) EXPECT_EQ(canvas.at(x, underlineRow), kWhite) << x;

  // Hidden prefixes: the letter stays, the underline goes.
  TextCanvas hidden(120, 30), plain(120, 30);
  DrawTextW(hidden.dc(), u"&Browse", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
  DrawTextW(plain.dc(), u"Browse", -1, &r, DT_SINGLELINE);
  EXPECT_TRUE(samePixels(hidden, plain));
}

TEST(GdiText, EndEllipsisFitsTheRectangle) {
  TextCanvas canvas(100, 20);
  RECT r{0, 0, 60, 20};
  DrawTextW(canvas.dc(), u"D:\\Program Files\\Merrowin", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_LE(r.right, 60);
  EXPECT_GT(r.right, canvas.extent(u"...").cx);
}

TEST(GdiText, ExpandedTabsStopEveryEightAverageWidths) {
  TextCanvas canvas(300, 20);
  int const stop = 8 * canvas.metrics().tmAveCharWidth;
  RECT r{0, 0, 300, 20};
  DrawTextW(canvas.dc(), u"a\tb", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(r.right, stop + canvas.extent(u"b").cx);
}

TEST(GdiText, ExtTextOutOpaqueFillsTheRectangleEvenWithoutText) {
  TextCanvas canvas(40, 20);
  SetBkColor(canvas.dc(), RGB(58, 58, 58));
  RECT r{5, 5, 15, 10};
  ASSERT_TRUE(ExtTextOutW(canvas.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  EXPECT_EQ(canvas.count(RGB(58, 58, 58)), 50);
  // Clipped text stays inside its rectangle.
  canvas.fill(kWhite);
  SetBkMode(canvas.dc(), TRANSPARENT);
  RECT clip{0, 0, 8, 20};
  ExtTextOutW(canvas.dc(), 0, 0, ETO_CLIPPED, &clip, u"WWWW", 4, nullptr);
  EXPECT_LE(inkBox(canvas).right, 8);
  // Advances given per character.
  canvas.fill(kWhite);
  const INT dx[2] = {20, 20};
  ExtTextOutW(canvas.dc(), 0, 0, 0, nullptr, u"ll", 2, dx);
  RECT const ink = inkBox(canvas);
  EXPECT_GE(ink.right - ink.left, 20);
}

TEST(GdiText, UnderlinedFontsUnderlineTheWholeRun) {
  TextCanvas canvas(100, 30, -16, true);
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), RGB(0, 0, 255));
  TextOutW(canvas.dc(), 4, 2, u"licence", 7);
  SIZE const size = canvas.extent(u"licence");
  TEXTMETRICW const tm = canvas.metrics();
  EXPECT_TRUE(tm.tmUnderlined);
  bool found = false;
  for (int y = 2 + tm.tmAscent; y < 2 + tm.tmHeight && !found; ++y) {
    int blue = 0;
    for (int x = 4; x < 4 + size.cx; ++x) blue += canvas.at(x, y) == RGB(0, 0, 255);
    found = blue == size.cx;
  }
  EXPECT_TRUE(found);
}
