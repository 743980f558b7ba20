#include "memdc3.h"

#include <gtest/gtest.h>

#include "controltesting.h"

namespace {

using controltesting::Canvas;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

TEST(MemDC3, DrawsOffScreenInTheTargetsCoordinatesAndCopiesTheClipBoxAtTheEnd) {
  winsim::testing::TempMachine machine;
  Canvas target(20, 10, kWhite);
  IntersectClipRect(target.dc(), 5, 2, 15, 8);
  {
    CMemDC3 memDC(&target.dc());
    EXPECT_EQ(memDC.GetRect(), CRect(5, 2, 15, 8));
    memDC.FillSolidRect(6, 3, 2, 2, kRed);
    EXPECT_PIXEL(memDC, 6, 3, kRed);
    EXPECT_PIXEL(target, 6, 3, kWhite);  // nothing reaches the target yet
  }
  EXPECT_PIXEL(target, 6, 3, kRed);
  EXPECT_PIXEL(target, 7, 4, kRed);
  // Where nothing was drawn, the surface's initial colour is copied.
  EXPECT_PIXEL(target, 5, 2, CMemDC3::kInitialColor);
  EXPECT_PIXEL(target, 14, 7, CMemDC3::kInitialColor);
  // Outside the clip box the target keeps its pixels.
  EXPECT_PIXEL(target, 4, 2, kWhite);
  EXPECT_PIXEL(target, 15, 7, kWhite);
  EXPECT_PIXEL(target, 6, 8, kWhite);
}

TEST(MemDC3, APrinterContextIsDrawnOnDirectlyAndStaysTheTargets) {
  winsim::testing::TempMachine machine;
  Canvas target(8, 8, kWhite);
  target.dc().m_bPrinting = TRUE;
  {
    CMemDC3 memDC(&target.dc());
    EXPECT_EQ(memDC.GetSafeHdc(), target.dc().GetSafeHdc());
    memDC.FillSolidRect(1, 1, 2, 2, kRed);
    EXPECT_PIXEL(target, 1, 1, kRed);
  }
  // The borrowed context was not deleted with the object.
  target.dc().FillSolidRect(5, 5, 1, 1, kRed);
  EXPECT_PIXEL(target, 5, 5, kRed);
  EXPECT_PIXEL(target, 0, 0, kWhite);
}

}  // namespace
