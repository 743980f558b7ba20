#include "bitmapdialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "controltesting.h"
#include "testimages.h"
#include "winsim/windowing.h"

namespace {

using controltesting::Canvas;
using controltesting::makePicture;
using controltesting::MemoryTemplate;
using controltesting::TemplateItem;

constexpr WORD kStaticId = 100;
constexpr WORD kButtonId = 101;
constexpr WORD kEditId = 102;
constexpr WORD kTrackbarId = 103;

/// A picture whose every pixel names its own coordinates: RGB(x, y, 7).
COLORREF coded(int x, int y) { return RGB(static_cast<BYTE>(x), static_cast<BYTE>(y), 7); }

class BitmapDialogTest : public controltesting::ImageLibrary {
 protected:
  /// Shows the page modeless with a client area of width x height pixels.
  void show(CBitmapDialog& dialog, int width, int height) {
    ASSERT_TRUE(dialog.CreateIndirect(m_template.get()));
    dialog.MoveWindow(0, 0, width, height, FALSE);
    CRect client;
    dialog.GetClientRect(&client);
    ASSERT_EQ(client.Width(), width);
    ASSERT_EQ(client.Height(), height);
  }
  /// Gives the dialog a picture of width x height made in memory.
  static void setCodedBackground(CBitmapDialog& dialog, int width, int height) {
    HBITMAP picture = makePicture(width, height, coded);
    CDC screen;
    screen.CreateCompatibleDC(nullptr);
    ASSERT_EQ(dialog.GetBackground().LoadFromBitmap(picture, &screen), 1);
    DeleteObject(picture);
  }
  /// The brush the dialog answers to a control-colour message of a control.
  static HBRUSH controlColor(CBitmapDialog& dialog, UINT message, HWND control, CDC& dc) {
    return reinterpret_cast<HBRUSH>(
        dialog.SendMessage(message, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), reinterpret_cast<LPARAM>(control)));
  }

  MemoryTemplate m_template{WS_POPUP,
                            160,
                            80,
                            {
                                {u"Static", u"Text", kStaticId, SS_LEFT, 4, 4, 60, 10},
                                {u"Button", u"OK", kButtonId, BS_PUSHBUTTON, 4, 20, 40, 14},
                                {u"Edit", u"", kEditId, ES_LEFT, 4, 40, 60, 12},
                                {u"msctls_trackbar32", u"", kTrackbarId, 0, 70, 40, 60, 12},
                            }};
};

TEST_F(BitmapDialogTest, StartsEmptyAndTiled) {
  CBitmapDialog dialog(0);
  EXPECT_EQ(dialog.GetDrawMode(), CBitmapDialog::kDrawTile);
  EXPECT_FALSE(dialog.GetBackground().IsValid());
}

TEST_F(BitmapDialogTest, LoadsTheBackgroundFromTheResourceModuleAndKeepsItWhenAResourceIsMissing) {
  CBitmapDialog dialog(0);
  ASSERT_TRUE(dialog.LoadBackground(IDB_BARS));
  EXPECT_EQ(dialog.GetBackground().GetWidth(), 6);
  EXPECT_EQ(dialog.GetBackground().GetHeight(), 4);
  EXPECT_EQ(dialog.GetBackground().GetBitCount(), 24);
  EXPECT_FALSE(dialog.LoadBackground(9999));
  EXPECT_EQ(dialog.GetBackground().GetWidth(), 6);
  ASSERT_TRUE(dialog.LoadBackground(IDB_PALETTE));  // loading again replaces it
  EXPECT_EQ(dialog.GetBackground().GetWidth(), 4);
  EXPECT_NE(dialog.GetBackground().GetPalette(), nullptr);
}

TEST_F(BitmapDialogTest, TilesThePictureFromTheTopLeftCornerClippingTheLastRowAndColumn) {
  CBitmapDialog dialog(0);
  show(dialog, 250, 120);
  setCodedBackground(dialog, 100, 50);
  Canvas canvas(250, 120, RGB(1, 1, 1));
  EXPECT_EQ(dialog.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc().GetSafeHdc())), TRUE);
  struct Point {
    int x, y;
  } const kPoints[] = {{0, 0}, {99, 49}, {100, 0}, {200, 0}, {249, 0}, {0, 50}, {150, 75}, {0, 100}, {249, 119}};
  for (Point p : kPoints) EXPECT_PIXEL(canvas, p.x, p.y, coded(p.x % 100, p.y % 50));
}

TEST_F(BitmapDialogTest, StretchesThePictureOverTheClientArea) {
  CBitmapDialog dialog(0);
  dialog.SetDrawMode(CBitmapDialog::kDrawStretch);
  show(dialog, 200, 100);
  setCodedBackground(dialog, 100, 50);
  Canvas canvas(200, 100, RGB(1, 1, 1));
  dialog.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc().GetSafeHdc()));
  EXPECT_PIXEL(canvas, 0, 0, coded(0, 0));
  EXPECT_PIXEL(canvas, 51, 21, coded(25, 10));
  EXPECT_PIXEL(canvas, 199, 99, coded(99, 49));
}

TEST_F(BitmapDialogTest, CentresThePictureAtNaturalSize) {
  struct Case {
    int clientWidth, clientHeight;
  } const kCases[] = {
      {140, 70},  // room around it: offsets (20, 10)
      {60, 40},   // larger than the client: offsets (-20, -5) show its middle
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.clientWidth);
    CBitmapDialog dialog(0);
    dialog.SetDrawMode(CBitmapDialog::kDrawCenter);
    show(dialog, c.clientWidth, c.clientHeight);
    setCodedBackground(dialog, 100, 50);
    Canvas canvas(c.clientWidth, c.clientHeight, RGB(1, 1, 1));
    dialog.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc().GetSafeHdc()));
    int const dx = (c.clientWidth - 100) / 2, dy = (c.clientHeight - 50) / 2;
    for (int y : {0, c.clientHeight - 1}) {
      for (int x : {0, c.clientWidth - 1}) {
        bool const inside = x >= dx && x < dx + 100 && y >= dy && y < dy + 50;
        // Around the picture, the default erase's colour.
        EXPECT_PIXEL(canvas, x, y, inside ? coded(x - dx, y - dy) : GetSysColor(COLOR_BTNFACE));
      }
    }
    EXPECT_PIXEL(canvas, dx + 50, dy + 25, coded(50, 25));
  }
}

TEST_F(BitmapDialogTest, WithoutABackgroundTheDefaultEraseAndColoursApply) {
  CBitmapDialog dialog(0);
  show(dialog, 50, 30);
  Canvas canvas(50, 30, RGB(1, 1, 1));
  dialog.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc().GetSafeHdc()));
  EXPECT_PIXEL(canvas, 10, 10, GetSysColor(COLOR_BTNFACE));
  HBRUSH const hollow = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
  EXPECT_NE(controlColor(dialog, WM_CTLCOLORSTATIC, *dialog.GetDlgItem(kStaticId), canvas.dc()), hollow);
  EXPECT_NE(controlColor(dialog, WM_CTLCOLORBTN, *dialog.GetDlgItem(kButtonId), canvas.dc()), hollow);
  EXPECT_EQ(canvas.dc().GetBkMode(), OPAQUE);
}

TEST_F(BitmapDialogTest, ButtonsAndStaticsButNotTrackbarsOrEditsAreTransparentOverTheBackground) {
  CBitmapDialog dialog(0);
  show(dialog, 50, 30);
  ASSERT_TRUE(dialog.LoadBackground(IDB_BARS));
  HBRUSH const hollow = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
  struct Case {
    UINT message;
    WORD control;
    bool transparent;
  } const kCases[] =
      {
          {WM_CTLCOLORSTATIC, kStaticId, true},    {WM_CTLCOLORBTN, kButtonId, true},
          {WM_CTLCOLORSTATIC, kTrackbarId, false}, {WM_CTLCOLOREDIT, kEditId, false},
          {WM_CTLCOLORSTATIC, kEditId, true},  // a read-only edit asks as a static does
      };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.control);
    Canvas canvas(4, 4, RGB(1, 1, 1));
    HBRUSH const answer = controlColor(dialog, c.message, *dialog.GetDlgItem(c.control), canvas.dc());
    EXPECT_EQ(answer == hollow, c.transparent);
    EXPECT_EQ(canvas.dc().GetBkMode(), c.transparent ? TRANSPARENT : OPAQUE);
  }
  // The dialog's own background request is not answered transparently.
  Canvas canvas(4, 4, RGB(1, 1, 1));
  EXPECT_NE(controlColor(dialog, WM_CTLCOLORDLG, dialog.GetSafeHwnd(), canvas.dc()), hollow);
}

TEST_F(BitmapDialogTest, APaletteThatChangesNoEntryOnTheTrueColourDisplayAsksForNoRepaint) {
  CBitmapDialog dialog(0);
  show(dialog, 50, 30);
  ASSERT_TRUE(dialog.LoadBackground(IDB_PALETTE));
  dialog.ValidateRect(nullptr);
  EXPECT_EQ(dialog.SendMessage(WM_QUERYNEWPALETTE), FALSE);
  HWND const other = CreateWindowExW(0, u"Static", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  dialog.SendMessage(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(other));
  EXPECT_FALSE(GetUpdateRect(dialog.GetSafeHwnd(), nullptr, FALSE));
  DestroyWindow(other);
}

TEST_F(BitmapDialogTest, TheShownPageShowsItsPicture) {
  CBitmapDialog dialog(0);
  dialog.SetDrawMode(CBitmapDialog::kDrawStretch);
  ASSERT_TRUE(dialog.LoadBackground(IDB_BARS));
  show(dialog, 240, 160);
  dialog.ShowWindow(SW_SHOW);
  dialog.Invalidate(TRUE);
  dialog.UpdateWindow();
  auto picture = winsim::captureWindow(dialog.GetSafeHwnd());
  ASSERT_TRUE(picture);
  // Stretched 40 times: a white top row band, then the red, green and blue
  // column pairs, under the transparent static's text.
  EXPECT_EQ(winsim::colorFromPixel((*picture)->pixel(200, 20)), RGB(255, 255, 255));
  EXPECT_EQ(winsim::colorFromPixel((*picture)->pixel(200, 60)), RGB(0, 0, 255));
  EXPECT_EQ(winsim::colorFromPixel((*picture)->pixel(100, 150)), RGB(0, 255, 0));
  if (const char* folder = std::getenv("WINSIM_SCREENSHOT_DIR")) {
    ASSERT_TRUE(winsim::writeWindowPng(dialog.GetSafeHwnd(), std::filesystem::path(folder) / "bitmapdialog.png"));
  }
}

}  // namespace
