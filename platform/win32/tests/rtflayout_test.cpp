// Rich text laid out and drawn into an off-screen DIB section: run colours,
// paragraphs one below the other, wrapping at the width, scrolling, clipping.
#include "winsim/rtflayout.h"

#include <gtest/gtest.h>

#include <string>

#include "gditesthelpers.h"

namespace {

using gditest::Canvas;
using winsim::RtfDefaults;
using winsim::RtfLayout;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);

constexpr std::string_view kColours = "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";

RtfLayout layoutOf(const std::string& rtf, RtfDefaults defaults = {}) {
  auto document = winsim::parseRtf(rtf);
  EXPECT_TRUE(document.ok());
  return RtfLayout(document.ok() ? std::move(document.value()) : winsim::RtfDocument{}, std::move(defaults));
}

/// Rows and columns that hold a colour, as a rectangle; empty when none does.
RECT inkOf(const Canvas& canvas, COLORREF color) {
  RECT box{canvas.width(), canvas.height(), 0, 0};
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.at(x, y) != color) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  return box;
}

/// Columns right of which no pixel differs from the background.
int inkRight(const Canvas& canvas, COLORREF background) {
  int right = 0;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.at(x, y) != background) right = std::max(right, x + 1);
  return right;
}

/// The first column at or right of `from` with a pixel unlike the background.
int firstInkColumn(const Canvas& canvas, COLORREF background, int from) {
  for (int x = from; x < canvas.width(); ++x)
    for (int y = 0; y < canvas.height(); ++y)
      if (canvas.at(x, y) != background) return x;
  return canvas.width();
}

int inkBottom(const Canvas& canvas, COLORREF background) {
  int bottom = 0;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.at(x, y) != background) bottom = y + 1;
  return bottom;
}

TEST(RtfLayout, RunsDrawInTheirColoursAndAutomaticInTheDefault) {
  Canvas canvas(300, 60, kWhite);
  RtfLayout layout = layoutOf("{\\rtf1" + std::string(kColours) + "\\fs40\\b\\cf1 HHHH\\cf0 HHHH}", {kGreen, u"Arial"});
  int const height = layout.layout(canvas.dc(), 300);
  EXPECT_GT(height, 20);
  EXPECT_LT(height, 40);
  layout.draw(canvas.dc(), RECT{0, 0, 300, 60}, 0);

  RECT const red = inkOf(canvas, kRed);
  RECT const green = inkOf(canvas, kGreen);
  ASSERT_LT(red.left, red.right) << "no pixel in the run's colour";
  ASSERT_LT(green.left, green.right) << "no pixel in the default colour";
  EXPECT_LE(red.right, green.left);  // the automatic run follows on the same line
  EXPECT_LT(green.top, red.bottom);
  EXPECT_EQ(canvas.count(kBlue), 0);
}

TEST(RtfLayout, SecondParagraphStartsBelowTheFirst) {
  Canvas canvas(300, 100, kWhite);
  RtfLayout layout = layoutOf("{\\rtf1" + std::string(kColours) + "\\fs32\\cf1 First\\par\\cf2 Second\\par}");
  int const height = layout.layout(canvas.dc(), 300);
  EXPECT_EQ(layout.lineCount(), 2u);
  layout.draw(canvas.dc(), RECT{0, 0, 300, 100}, 0);
  RECT const red = inkOf(canvas, kRed), blue = inkOf(canvas, kBlue);
  ASSERT_LT(red.top, red.bottom);
  ASSERT_LT(blue.top, blue.bottom);
  EXPECT_LE(red.bottom, blue.top);
  EXPECT_LE(blue.bottom, height);
  EXPECT_EQ(red.left, blue.left);  // both start at the left edge
}

TEST(RtfLayout, WrapsAtTheWidth) {
  std::string words;
  for (int i = 0; i < 30; ++i) words += "word ";
  Canvas canvas(400, 400, kWhite);
  RtfLayout layout = layoutOf("{\\rtf1\\fs24 " + words + "}");
  layout.layout(canvas.dc(), 10000);
  ASSERT_EQ(layout.lineCount(), 1u);
  int const oneLine = layout.height();

  int const height = layout.layout(canvas.dc(), 150);
  EXPECT_GT(layout.lineCount(), 4u);
  EXPECT_EQ(height, oneLine * static_cast<int>(layout.lineCount()));
  layout.draw(canvas.dc(), RECT{0, 0, 150, 400}, 0);
  EXPECT_LE(inkRight(canvas, kWhite), 150);
  EXPECT_GT(inkRight(canvas, kWhite), 100);  // lines are filled, not one word each
  EXPECT_GT(inkBottom(canvas, kWhite), oneLine * 4);
}

TEST(RtfLayout, CutsWordsWiderThanTheLineAndBreaksBetweenIdeographs) {
  Canvas canvas(100, 400, kWhite);
  RtfLayout layout = layoutOf("{\\rtf1 " + std::string(40, 'M') + "}");
  layout.layout(canvas.dc(), 100);
  EXPECT_GT(layout.lineCount(), 3u);
  layout.draw(canvas.dc(), RECT{0, 0, 100, 400}, 0);
  EXPECT_LE(inkRight(canvas, kWhite), 100);

  std::string ideographs = "{\\rtf1\\uc0 ";
  for (int i = 0; i < 100; ++i) ideographs += "\\u20013 ";
  RtfLayout chinese = layoutOf(ideographs + "}");
  chinese.layout(canvas.dc(), 10000);
  EXPECT_EQ(chinese.lineCount(), 1u);
  chinese.layout(canvas.dc(), 100);
  EXPECT_GT(chinese.lineCount(), 4u);
}

TEST(RtfLayout, ScrollsAndClips) {
  RtfLayout layout = layoutOf("{\\rtf1" + std::string(kColours) + "\\fs32\\cf1 First\\par\\cf2 Second}");
  Canvas unscrolled(200, 100, kWhite);
  layout.layout(unscrolled.dc(), 200);
  layout.draw(unscrolled.dc(), RECT{0, 0, 200, 100}, 0);
  RECT const blue = inkOf(unscrolled, kBlue);

  int const scroll = 20;
  Canvas scrolled(200, 100, kWhite);
  layout.draw(scrolled.dc(), RECT{0, 0, 200, 100}, scroll);
  RECT const moved = inkOf(scrolled, kBlue);
  EXPECT_EQ(moved.top, blue.top - scroll);
  EXPECT_EQ(moved.left, blue.left);

  // A rectangle inside the canvas: the text is placed from its corner and
  // nothing is drawn outside it.
  Canvas clipped(200, 100, kWhite);
  RECT const box{10, 30, 190, 45};
  layout.draw(clipped.dc(), box, 0);
  RECT const red = inkOf(clipped, kRed);
  ASSERT_LT(red.top, red.bottom);
  EXPECT_GE(red.top, box.top);
  EXPECT_LE(red.bottom, box.bottom);
  EXPECT_GE(red.left, box.left);
  EXPECT_EQ(clipped.count(kBlue), 0);  // the second line lies below the box
}

TEST(RtfLayout, CentresAndRightAligns) {
  Canvas canvas(300, 80, kWhite);
  RtfLayout layout = layoutOf("{\\rtf1" + std::string(kColours) + "\\fs32\\qc\\cf1 Middle\\par\\pard\\qr\\cf2 Right}");
  layout.layout(canvas.dc(), 300);
  layout.draw(canvas.dc(), RECT{0, 0, 300, 80}, 0);
  RECT const red = inkOf(canvas, kRed), blue = inkOf(canvas, kBlue);
  EXPECT_NEAR((red.left + red.right) / 2, 150, 4);
  EXPECT_GE(blue.right, 295);
  EXPECT_LE(blue.right, 300);
}

TEST(RtfLayout, TabsAdvanceToStops) {
  Canvas canvas(300, 40, kWhite);
  RtfLayout layout = layoutOf("{\\rtf1" + std::string(kColours) + "\\cf1 a\\tab\\cf2 b}");
  layout.layout(canvas.dc(), 300);
  layout.draw(canvas.dc(), RECT{0, 0, 300, 40}, 0);
  // Anti-aliased edges count as ink: the letter after the tab starts at the stop.
  RECT const red = inkOf(canvas, kRed);
  int const afterTab = firstInkColumn(canvas, kWhite, red.right + 2);
  EXPECT_GE(afterTab, RtfLayout::kTabStop);
  EXPECT_LT(afterTab, RtfLayout::kTabStop + 3);
}

TEST(RtfLayout, IndentsAndHangingIndentsWithTheirTabStop) {
  // \li720 is 48 pixels, \fi-360 takes the first line back 24; the tab
  // after the number goes to the hanging indent. The next paragraph, in the
  // default colour, is indented by \li1440.
  Canvas canvas(300, 80, kWhite);
  RtfLayout layout = layoutOf("{\\rtf1" + std::string(kColours) +
                                  "\\fs32\\li720\\fi-360\\cf1 1.\\tab\\cf2 Clause\\par\\pard\\li1440\\cf0 More}",
                              {kGreen, u"Arial"});
  layout.layout(canvas.dc(), 300);
  layout.draw(canvas.dc(), RECT{0, 0, 300, 80}, 0);
  RECT const number = inkOf(canvas, kRed), more = inkOf(canvas, kGreen);
  int const numberStart = firstInkColumn(canvas, kWhite, 0);
  EXPECT_GE(numberStart, 24);
  EXPECT_LT(numberStart, 27);
  EXPECT_LT(number.right, 48);
  int const clauseStart = firstInkColumn(canvas, kWhite, number.right + 2);
  EXPECT_GE(clauseStart, 48);
  EXPECT_LT(clauseStart, 51);
  EXPECT_GE(more.left, 96);
  EXPECT_LT(more.left, 100);
  EXPECT_GT(more.top, number.bottom);
}

TEST(RtfLayout, ParagraphAndLineSpacing) {
  Canvas canvas(100, 100, kWhite);
  int const plain = layoutOf("{\\rtf1 a\\par b}").layout(canvas.dc(), 100);
  EXPECT_EQ(layoutOf("{\\rtf1\\sb150\\sa300 a\\par b}").layout(canvas.dc(), 100), plain + 2 * 30);
  EXPECT_EQ(layoutOf("{\\rtf1\\sl480\\slmult1 a\\par b}").layout(canvas.dc(), 100), plain * 2);
  EXPECT_EQ(layoutOf("{\\rtf1\\sl-600 a\\par b}").layout(canvas.dc(), 100), 80);   // exactly 40 pixels a line
  EXPECT_EQ(layoutOf("{\\rtf1\\sl15 a\\par b}").layout(canvas.dc(), 100), plain);  // "at least" a pixel
}

TEST(RtfLayout, EmptyParagraphsTakeTheirMarkHeight) {
  Canvas canvas(100, 100, kWhite);
  RtfLayout small = layoutOf("{\\rtf1\\fs20 \\par\\par x}");
  RtfLayout large = layoutOf("{\\rtf1\\fs60 \\par\\par\\fs20 x}");
  int const smallHeight = small.layout(canvas.dc(), 100);
  int const largeHeight = large.layout(canvas.dc(), 100);
  EXPECT_EQ(small.lineCount(), 3u);
  EXPECT_GT(largeHeight - smallHeight, 40);
}

}  // namespace
