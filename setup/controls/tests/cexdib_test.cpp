// The shaded button's picture slots: what Create accepts, and a picture
// drawn 1:1 through its DIB section.
#include "cexdib.h"

#include <gtest/gtest.h>

#include "buttontesting.h"

namespace {

TEST(CeXDib, CreateChecksDepthAndSize) {
  struct Case {
    DWORD width, height;
    WORD bits;
    bool made;
    DWORD line;
    DWORD colors;
  } cases[] = {
      {10, 3, 24, true, 32, 0},        {10, 3, 8, true, 12, 256}, {33, 1, 1, true, 8, 2},
      {3, 2, 4, true, 4, 16},          {10, 3, 16, false, 0, 0},  {10, 3, 32, false, 0, 0},
      {0, 3, 24, false, 0, 0},         {3, 0, 24, false, 0, 0},   {CCeXDib::kMaxSide + 1, 1, 24, false, 0, 0},
      {1, 0xFFFFFFFF, 8, false, 0, 0},
  };
  for (const Case& c : cases) {
    CCeXDib dib;
    EXPECT_EQ(dib.Create(c.width, c.height, c.bits), c.made) << c.width << " x " << c.height << " x " << c.bits;
    EXPECT_EQ(dib.IsValid(), c.made);
    EXPECT_EQ(dib.GetLineWidth(), c.line);
    EXPECT_EQ(dib.GetNumColors(), c.colors);
    EXPECT_EQ(dib.GetBits() != nullptr, c.made);
  }
}

TEST(CeXDib, DrawsItsPixelsOneToOne) {
  winsim::testing::TempMachine machine;
  CCeXDib dib;
  ASSERT_TRUE(dib.Create(4, 2, 8));
  ASSERT_TRUE(dib.SetPaletteIndex(1, 255, 0, 0));
  ASSERT_TRUE(dib.SetPaletteIndex(2, 0, 0, 255));
  EXPECT_FALSE(CCeXDib().SetPaletteIndex(1, 1, 1, 1));
  BYTE* bits = dib.GetBits();
  // Bottom-up: the first stored row is the lower one.
  bits[0] = 1;
  bits[dib.GetLineWidth() + 3] = 2;
  buttontesting::Canvas canvas(10, 10, RGB(9, 9, 9));
  dib.Draw(canvas.dc(), 3, 4);
  EXPECT_EQ(canvas.at(3, 5), RGB(255, 0, 0));
  EXPECT_EQ(canvas.at(6, 4), RGB(0, 0, 255));
  EXPECT_EQ(canvas.at(4, 4), RGB(0, 0, 0));
  EXPECT_EQ(canvas.at(2, 4), RGB(9, 9, 9));
  EXPECT_EQ(canvas.at(7, 4), RGB(9, 9, 9));
  // Later changes of the pixels show at the next draw.
  bits[0] = 2;
  dib.Draw(canvas.dc(), 3, 4);
  EXPECT_EQ(canvas.at(3, 5), RGB(0, 0, 255));
  // An empty slot draws nothing.
  CCeXDib empty;
  empty.Draw(canvas.dc(), 0, 0);
  EXPECT_EQ(canvas.at(0, 0), RGB(9, 9, 9));
}

}  // namespace
