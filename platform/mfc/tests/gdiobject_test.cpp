// Ownership of GDI objects and device contexts: who deletes a handle, what
// SelectObject answers, temporary objects of FromHandle, and the objects'
// creation and queries.
#include <gtest/gtest.h>

#include <thread>

#include "afxgdi.h"
#include "afxwin.h"
#include "gditesting.h"
#include "testimages.h"

using gditesting::ImageLibrary;

namespace {

bool alive(HGDIOBJ handle) { return ::GetObjectType(handle) != 0; }

}  // namespace

TEST(GdiObject, AnObjectDeletesTheHandleItOwnsAndDetachGivesItBack) {
  HGDIOBJ owned = nullptr;
  {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(4, 4, 1, 32, nullptr));
    owned = bitmap.m_hObject;
    EXPECT_TRUE(alive(owned));
    EXPECT_FALSE(bitmap.CreateBitmap(4, 4, 1, 32, nullptr));  // holds one already
  }
  EXPECT_FALSE(alive(owned));

  HGDIOBJ kept = nullptr;
  {
    CBrush brush(RGB(1, 2, 3));
    kept = brush.Detach();
    EXPECT_EQ(brush.m_hObject, nullptr);
  }
  ASSERT_TRUE(alive(kept));
  {
    CGdiObject adopted;
    ASSERT_TRUE(adopted.Attach(kept));
    EXPECT_FALSE(adopted.Attach(kept));
  }
  EXPECT_FALSE(alive(kept));
}

TEST(GdiObject, SelectObjectAnswersThePreviousObjectOfItsClass) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap a, b;
  ASSERT_TRUE(a.CreateBitmap(2, 2, 1, 32, nullptr));
  ASSERT_TRUE(b.CreateBitmap(3, 3, 1, 32, nullptr));

  // A new memory context holds the stock 1 x 1 bitmap: a temporary object.
  CBitmap* first = dc.SelectObject(&a);
  ASSERT_NE(first, nullptr);
  BITMAP info{};
  ASSERT_EQ(first->GetBitmap(&info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 1);
  // Objects that own their handles come back as themselves.
  EXPECT_EQ(dc.SelectObject(&b), &a);
  EXPECT_EQ(dc.GetCurrentBitmap(), &b);
  EXPECT_EQ(dc.SelectObject(first), &b);
  EXPECT_EQ(dc.SelectObject(static_cast<CBitmap*>(nullptr)), nullptr);

  CPen pen(PS_SOLID, 2, RGB(9, 9, 9));
  CPen* stockPen = dc.SelectObject(&pen);
  ASSERT_NE(stockPen, nullptr);
  EXPECT_EQ(stockPen->m_hObject, ::GetStockObject(BLACK_PEN));
  EXPECT_EQ(dc.SelectStockObject(WHITE_PEN), &pen);
  CGdiObject* previous = dc.SelectObject(static_cast<CGdiObject*>(stockPen));
  EXPECT_EQ(previous->m_hObject, ::GetStockObject(WHITE_PEN));
  EXPECT_NE(dynamic_cast<CPen*>(previous), nullptr);
}

TEST(GdiObject, ASelectedObjectCannotBeDeletedUntilItIsPutBack) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBrush brush(RGB(4, 5, 6));
  HGDIOBJ const handle = brush.m_hObject;
  CBrush* old = dc.SelectObject(&brush);
  // The platform refuses; the object has let the handle go all the same.
  EXPECT_FALSE(brush.DeleteObject());
  EXPECT_TRUE(alive(handle));
  ::SelectObject(dc, *old);
  EXPECT_TRUE(::DeleteObject(handle));
}

TEST(GdiObject, TemporaryObjectsOwnNothingAndAreOfTheHandlesClass) {
  HBRUSH const brush = ::CreateSolidBrush(RGB(7, 7, 7));
  CBrush* temporary = CBrush::FromHandle(brush);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(temporary->m_hObject, brush);
  EXPECT_EQ(CBrush::FromHandle(brush), temporary);
  EXPECT_EQ(CGdiObject::FromHandle(brush), temporary);
  EXPECT_EQ(CBitmap::FromHandle(reinterpret_cast<HBITMAP>(brush)), nullptr);
  EXPECT_EQ(CPen::FromHandle(nullptr), nullptr);
  CGdiObject::DeleteTempMap();
  EXPECT_TRUE(alive(brush));

  // Each thread has its own temporary objects.
  CBrush* here = CBrush::FromHandle(brush);
  CBrush* there = nullptr;
  std::thread([&] {
    there = CBrush::FromHandle(brush);
    CGdiObject::DeleteTempMap();
  }).join();
  EXPECT_NE(there, nullptr);
  EXPECT_NE(there, here);
  EXPECT_EQ(CBrush::FromHandle(brush), here);
  CGdiObject::DeleteTempMap();
  EXPECT_TRUE(::DeleteObject(brush));
}

TEST(GdiObject, StockObjectsAreNeverDeleted) {
  HGDIOBJ const hollow = ::GetStockObject(HOLLOW_BRUSH);
  {
    CBrush brush;
    ASSERT_TRUE(brush.CreateStockObject(HOLLOW_BRUSH));
    EXPECT_EQ(brush.GetObjectType(), OBJ_BRUSH);
    LOGBRUSH info{};
    brush.GetLogBrush(&info);
    EXPECT_EQ(info.lbStyle, BS_HOLLOW);
  }
  EXPECT_TRUE(alive(hollow));
}

TEST(GdiObject, DeviceContextsOwnTheirHandles) {
  HDC owned = nullptr;
  {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    owned = dc;
    EXPECT_EQ(CDC::FromHandle(owned), &dc);
    EXPECT_FALSE(dc.CreateCompatibleDC(nullptr));
  }
  EXPECT_FALSE(alive(owned));

  HDC const loose = ::CreateCompatibleDC(nullptr);
  CDC* temporary = CDC::FromHandle(loose);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(temporary->GetSafeHdc(), loose);
  CDC::DeleteTempMap();
  EXPECT_TRUE(alive(loose));
  {
    CDC adopted;
    ASSERT_TRUE(adopted.Attach(loose));
    EXPECT_EQ(CDC::FromHandle(loose), &adopted);
    EXPECT_EQ(adopted.Detach(), loose);
    EXPECT_NE(CDC::FromHandle(loose), &adopted);
  }
  EXPECT_TRUE(alive(loose));
  CDC::DeleteTempMap();
  EXPECT_TRUE(::DeleteDC(loose));
}

TEST(GdiObject, FontsByPointSizeAndByDescription) {
  winsim::testing::TempMachine machine;
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(90, u"MS Sans Serif"));
  LOGFONTW info{};
  ASSERT_EQ(font.GetLogFont(&info), static_cast<int>(sizeof info));
  HDC const screen = ::GetDC(nullptr);
  int const dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(info.lfHeight, -((90 * dpi + 360) / 720));
  EXPECT_EQ(std::u16string(info.lfFaceName), u"MS Sans Serif");
  EXPECT_EQ(info.lfWeight, FW_NORMAL);

  // The progress bar's caption font: the current font with another weight
  // and face.
  info.lfWeight = FW_BOLD;
  CFont bold;
  ASSERT_TRUE(bold.CreateFontIndirect(&info));
  LOGFONTW back{};
  bold.GetLogFont(&back);
  EXPECT_EQ(back.lfWeight, FW_BOLD);
  EXPECT_EQ(back.lfHeight, info.lfHeight);

  CFont longName;
  ASSERT_TRUE(longName.CreatePointFont(100, u"A face name much longer than thirty-one characters"));
  longName.GetLogFont(&back);
  EXPECT_EQ(std::u16string(back.lfFaceName).size(), static_cast<std::size_t>(LF_FACESIZE - 1));
}

TEST(GdiObject, PalettesAndTheirEntries) {
  struct {
    LOGPALETTE header;
    PALETTEENTRY more[2];
  } logical{{0x300, 3, {{10, 20, 30, 0}}}, {{40, 50, 60, 0}, {70, 80, 90, 0}}};
  CPalette palette;
  EXPECT_EQ(palette.GetEntryCount(), 0);
  ASSERT_TRUE(palette.CreatePalette(&logical.header));
  EXPECT_EQ(palette.GetEntryCount(), 3);
  PALETTEENTRY entries[3]{};
  EXPECT_EQ(palette.GetPaletteEntries(1, 2, entries), 2u);
  EXPECT_EQ(entries[1].peRed, 70);

  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CPalette* old = dc.SelectPalette(&palette, FALSE);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->m_hObject, ::GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(dc.RealizePalette(), 0u);  // the display is true-colour
  EXPECT_EQ(dc.SelectPalette(old, FALSE), &palette);
}

using ResourceBitmap = ImageLibrary;

TEST_F(ResourceBitmap, LoadBitmapTakesTheResourceModulesBitmap) {
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadBitmap(IDB_BARS)) << GetLastError();
  BITMAP info{};
  ASSERT_EQ(bitmap.GetBitmap(&info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 6);
  EXPECT_EQ(info.bmHeight, 4);
  EXPECT_EQ(info.bmBitsPixel, 32);

  CBitmap missing;
  EXPECT_FALSE(missing.LoadBitmap(999));
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(missing.m_hObject, nullptr);
  CBitmap damaged;
  EXPECT_FALSE(damaged.LoadBitmap(IDB_CUT));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
}
