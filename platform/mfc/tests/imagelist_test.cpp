// Image lists: strips cut into pictures, masks from a colour or a mask
// bitmap, icons in and out, and the pixels a picture draws.
#include <gtest/gtest.h>

#include <functional>

#include "afximagelist.h"
#include "afxwin.h"
#include "gditesting.h"

using gditesting::Canvas;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kColours[] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 220)};

/// A 32-bit DIB section whose pixels a function gives.
HBITMAP picture(int width, int height, const std::function<COLORREF(int, int)>& colour) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      pixels[y * width + x] = (DWORD{GetRValue(c)} << 16) | (DWORD{GetGValue(c)} << 8) | GetBValue(c);
    }
  return bitmap;
}

/// Three 4 x 3 pictures side by side, each of its own colour with the key
/// colour in its top-left pixel.
HBITMAP strip() {
  return picture(12, 3, [](int x, int y) { return x % 4 == 0 && y == 0 ? kKey : kColours[x / 4]; });
}

}  // namespace

TEST(ImageList, AStripBecomesPicturesThatDrawThroughTheColourMask) {
  CImageList list;
  ASSERT_TRUE(list.Create(4, 3, ILC_COLORDDB | ILC_MASK, 1, 1));
  CBitmap bitmap;
  bitmap.Attach(strip());
  EXPECT_EQ(list.Add(&bitmap, kKey), 0);
  EXPECT_EQ(list.GetImageCount(), 3);
  EXPECT_EQ(list.Add(&bitmap, kKey), 3);  // the next strip follows
  for (UINT style : {ILD_NORMAL, ILD_TRANSPARENT}) {
    Canvas canvas(20, 20, kWhite);
    ASSERT_TRUE(list.Draw(&canvas.dc(), 1, CPoint(10, 10), style));
    EXPECT_PIXEL(canvas, 10, 10, kWhite);  // the key colour is transparent
    EXPECT_PIXEL(canvas, 11, 10, kColours[1]);
    EXPECT_PIXEL(canvas, 13, 12, kColours[1]);
    EXPECT_PIXEL(canvas, 14, 10, kWhite);  // nothing past the picture
    EXPECT_PIXEL(canvas, 10, 13, kWhite);
  }
}

TEST(ImageList, AMaskBitmapMarksTheTransparentPixelsOnlyInAMaskedList) {
  // Monochrome rows are 16-bit aligned; the set bit (white) of column 1 is
  // transparent.
  const BYTE maskBits[] = {0x40, 0, 0x40, 0, 0x40, 0};
  CBitmap mask;
  ASSERT_TRUE(mask.CreateBitmap(4, 3, 1, 1, maskBits));
  CBitmap bitmap;
  bitmap.Attach(picture(4, 3, [](int, int) { return kColours[2]; }));
  struct Case {
    UINT flags;
    COLORREF atColumn1;
  } const cases[] = {{ILC_COLOR32 | ILC_MASK, kWhite}, {ILC_COLOR32, kColours[2]}};
  for (const Case& c : cases) {
    CImageList list;
    ASSERT_TRUE(list.Create(4, 3, c.flags, 1, 1));
    ASSERT_EQ(list.Add(&bitmap, &mask), 0);
    Canvas canvas(8, 8, kWhite);
    ASSERT_TRUE(list.Draw(&canvas.dc(), 0, CPoint(2, 2), ILD_TRANSPARENT));
    EXPECT_PIXEL(canvas, 2, 2, kColours[2]);
    EXPECT_PIXEL(canvas, 3, 3, c.atColumn1);
  }
}

TEST(ImageList, IconsGoInStretchedAndComeOutWithTheirMask) {
  // An 8 x 6 icon: red, with its left half transparent.
  ICONINFO info{TRUE, 0, 0, nullptr, nullptr};
  info.hbmColor = picture(8, 6, [](int x, int) { return x < 4 ? RGB(0, 0, 0) : kColours[0]; });
  info.hbmMask = picture(8, 6, [](int x, int) { return x < 4 ? kWhite : RGB(0, 0, 0); });
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  ASSERT_NE(icon, nullptr);

  CImageList list;
  ASSERT_TRUE(list.Create(4, 3, ILC_COLORDDB | ILC_MASK, 1, 1));
  EXPECT_EQ(list.Add(icon), 0);
  EXPECT_EQ(list.Replace(-1, icon), 1);
  EXPECT_EQ(list.Replace(0, icon), 0);
  EXPECT_EQ(list.Replace(5, icon), -1);
  EXPECT_EQ(list.GetImageCount(), 2);
  DestroyIcon(icon);

  Canvas drawn(10, 10, kWhite);
  ASSERT_TRUE(list.Draw(&drawn.dc(), 0, CPoint(0, 0), ILD_NORMAL));
  EXPECT_PIXEL(drawn, 0, 0, kWhite);
  EXPECT_PIXEL(drawn, 1, 2, kWhite);
  EXPECT_PIXEL(drawn, 2, 0, kColours[0]);
  EXPECT_PIXEL(drawn, 3, 2, kColours[0]);

  HICON out = list.ExtractIcon(1);
  ASSERT_NE(out, nullptr);
  ICONINFO outInfo{};
  ASSERT_TRUE(GetIconInfo(out, &outInfo));
  BITMAP size{};
  GetObjectW(outInfo.hbmColor, sizeof size, &size);
  EXPECT_EQ(size.bmWidth, 4);
  EXPECT_EQ(size.bmHeight, 3);
  DeleteObject(outInfo.hbmColor);
  DeleteObject(outInfo.hbmMask);
  Canvas asIcon(10, 10, kWhite);
  ASSERT_TRUE(DrawIconEx(asIcon.dc(), 5, 5, out, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_PIXEL(asIcon, 5, 5, kWhite);
  EXPECT_PIXEL(asIcon, 7, 6, kColours[0]);
  DestroyIcon(out);
}

TEST(ImageList, DrawingIsClippedToTheDestination) {
  CImageList list;
  ASSERT_TRUE(list.Create(4, 3, ILC_COLOR24, 1, 1));
  CBitmap bitmap;
  bitmap.Attach(strip());
  ASSERT_EQ(list.Add(&bitmap, static_cast<CBitmap*>(nullptr)), 0);
  Canvas canvas(4, 4, kWhite);
  EXPECT_TRUE(list.Draw(&canvas.dc(), 2, CPoint(-2, 2), ILD_NORMAL));
  EXPECT_PIXEL(canvas, 0, 2, kColours[2]);
  EXPECT_PIXEL(canvas, 1, 3, kColours[2]);
  EXPECT_PIXEL(canvas, 2, 2, kWhite);
  EXPECT_PIXEL(canvas, 0, 1, kWhite);
  // A list without masks draws the key colour as it is.
  EXPECT_TRUE(list.Draw(&canvas.dc(), 0, CPoint(0, 0), ILD_TRANSPARENT));
  EXPECT_PIXEL(canvas, 0, 0, kKey);
}

TEST(ImageList, BadRequestsFailWithoutChangingTheList) {
  CImageList list;
  EXPECT_FALSE(list.Create(0, 3, ILC_MASK, 1, 1));
  ASSERT_TRUE(list.Create(4, 3, ILC_MASK, 1, 1));
  EXPECT_FALSE(list.Create(4, 3, ILC_MASK, 1, 1));  // holds one already
  CBitmap narrow;
  narrow.Attach(picture(3, 3, [](int, int) { return kWhite; }));
  EXPECT_EQ(list.Add(&narrow, kKey), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(list.GetImageCount(), 0);
  Canvas canvas(4, 4, kWhite);
  EXPECT_FALSE(list.Draw(&canvas.dc(), 0, CPoint(0, 0), ILD_NORMAL));
  EXPECT_EQ(list.ExtractIcon(0), nullptr);
  EXPECT_EQ(ImageList_GetIcon(list, 0, 1), nullptr);
}

TEST(ImageList, TheObjectDestroysTheListItOwnsAndDetachGivesItBack) {
  HIMAGELIST owned = nullptr;
  {
    CImageList list;
    ASSERT_TRUE(list.Create(4, 3, ILC_MASK, 1, 1));
    owned = list;
  }
  EXPECT_EQ(ImageList_GetImageCount(owned), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(ImageList_Destroy(owned));

  HIMAGELIST kept = nullptr;
  {
    CImageList list;
    ASSERT_TRUE(list.Create(4, 3, ILC_MASK, 1, 1));
    kept = list.Detach();
  }
  EXPECT_EQ(ImageList_GetImageCount(kept), 0);
  CImageList again;
  EXPECT_TRUE(again.Attach(kept));
  EXPECT_FALSE(again.Attach(kept));
  int cx = 0, cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(again, &cx, &cy));
  EXPECT_EQ(cx, 4);
  EXPECT_EQ(cy, 3);
}
