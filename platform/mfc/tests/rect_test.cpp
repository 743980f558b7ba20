// The coordinate value types: rectangles' edges, overlaps and unions, and
// the conversions to the platform's structures.
#include <gtest/gtest.h>

#include "afxwin.h"

namespace {

TEST(Rect, SizesCornersAndPoints) {
  CRect r(10, 20, 110, 70);
  EXPECT_EQ(r.Width(), 100);
  EXPECT_EQ(r.Height(), 50);
  EXPECT_EQ(r.Size(), CSize(100, 50));
  EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
  // Right and bottom edges lie outside.
  EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(110, 20)));
  EXPECT_FALSE(r.PtInRect(CPoint(10, 70)));
  r.TopLeft() = CPoint(0, 0);  // the corners are the rectangle's own points
  EXPECT_EQ(r, CRect(0, 0, 110, 70));
  LPRECT platform = r;
  platform->right = 5;
  EXPECT_EQ(r.Width(), 5);
  EXPECT_EQ(CRect(CPoint(3, 4), CSize(10, 20)), CRect(3, 4, 13, 24));
  EXPECT_EQ(CPoint(MAKELPARAM(static_cast<WORD>(-5), 9)), CPoint(-5, 9));
  EXPECT_EQ(CPoint(7, 8) - CPoint(2, 3), CSize(5, 5));
}

TEST(Rect, EdgesMoveAsAsked) {
  struct Case {
    const char* what;
    CRect result;
    CRect expected;
  };
  auto inflate = [](CRect r) {
    r.InflateRect(2, 3);
    return r;
  };
  auto deflate = [](CRect r) {
    r.DeflateRect(1, 2, 3, 4);
    return r;
  };
  auto offset = [](CRect r) {
    r.OffsetRect(CSize(-10, 5));
    return r;
  };
  auto moved = [](CRect r) {
    r.MoveToXY(100, 200);
    return r;
  };
  auto normal = [](CRect r) {
    r.NormalizeRect();
    return r;
  };
  const Case cases[] = {
      {"inflate", inflate(CRect(10, 10, 20, 20)), CRect(8, 7, 22, 23)},
      {"deflate", deflate(CRect(10, 10, 20, 20)), CRect(11, 12, 17, 16)},
      {"offset", offset(CRect(10, 10, 20, 20)), CRect(0, 15, 10, 25)},
      {"move", moved(CRect(10, 10, 20, 30)), CRect(100, 200, 110, 220)},
      {"normalize", normal(CRect(20, 30, 10, 5)), CRect(10, 5, 20, 30)},
      {"plus", CRect(0, 0, 4, 4) + CPoint(1, 2), CRect(1, 2, 5, 6)},
      {"and", CRect(0, 0, 10, 10) & CRect(5, 5, 20, 20), CRect(5, 5, 10, 10)},
      {"and apart", CRect(0, 0, 10, 10) & CRect(10, 0, 20, 10), CRect(0, 0, 0, 0)},
      {"or", CRect(0, 0, 10, 10) | CRect(5, 5, 20, 20), CRect(0, 0, 20, 20)},
      {"or empty", CRect(0, 0, 0, 0) | CRect(5, 5, 20, 20), CRect(5, 5, 20, 20)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
  CRect none;
  EXPECT_FALSE(none.IntersectRect(CRect(0, 0, 5, 5), CRect(6, 6, 9, 9)));
  EXPECT_TRUE(none.IsRectEmpty());
  EXPECT_TRUE(none.IsRectNull());
  EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
  EXPECT_FALSE(CRect(5, 5, 5, 9).IsRectNull());
}

}  // namespace
