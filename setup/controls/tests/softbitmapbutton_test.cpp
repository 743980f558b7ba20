// The picture buttons: which of the four pictures shows, by state and
// hovering, and what a picture the resource library lacks does.
#include "softbitmapbutton.h"

#include <gtest/gtest.h>

#include "../../../resources/IntallerRes.h"
#include "buttontesting.h"

namespace {

class SoftBitmapButtonTest : public buttontesting::ButtonPage {
 protected:
  void attach(UINT normal, UINT pressed, UINT hover, UINT disabled) {
    HWND hwnd = makeButton(1018, BS_PUSHBUTTON, CRect(20, 20, 110, 50));
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(m_button.SubclassWindow(hwnd));
    m_button.LoadBitmaps(normal, pressed, hover, disabled);
    m_button.Invalidate();
    pump();
  }
  CSoftBitmapButton m_button;
};

TEST_F(SoftBitmapButtonTest, AttachingMakesTheButtonOwnerDrawn) {
  attach(IDB_INSTALL, IDB_INSTALL_PRESSED, IDB_INSTALL_HOVER, IDB_INSTALL_DISABLED);
  EXPECT_EQ(m_button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_TRUE(showsPicture(m_button, IDB_INSTALL));
  // The template's size stays.
  CRect client;
  m_button.GetClientRect(&client);
  EXPECT_EQ(client, CRect(0, 0, 90, 30));
}

TEST_F(SoftBitmapButtonTest, TheStateAndTheHoverChooseThePicture) {
  attach(IDB_INSTALL, IDB_INSTALL_PRESSED, IDB_INSTALL_HOVER, IDB_INSTALL_DISABLED);
  struct Case {
    bool hover;
    bool pressed;
    bool disabled;
    UINT expected;
  } cases[] = {
      {false, false, false, IDB_INSTALL},         {true, false, false, IDB_INSTALL_HOVER},
      {true, true, false, IDB_INSTALL_PRESSED},   {false, true, false, IDB_INSTALL_PRESSED},
      {false, false, true, IDB_INSTALL_DISABLED}, {true, false, true, IDB_INSTALL_DISABLED},
  };
  for (const Case& c : cases) {
    pointAt(c.hover ? 50 : 250, c.hover ? 30 : 150);
    EXPECT_EQ(m_button.IsHovering(), c.hover ? TRUE : FALSE);
    m_button.EnableWindow(!c.disabled);
    m_button.SetState(c.pressed);
    pump();
    EXPECT_TRUE(showsPicture(m_button, c.expected))
        << "hover " << c.hover << " pressed " << c.pressed << " disabled " << c.disabled;
    m_button.SetState(FALSE);
    m_button.EnableWindow(TRUE);
  }
}

TEST_F(SoftBitmapButtonTest, ReleasingOutsideShowsTheNormalPictureAfterTheLeave) {
  attach(IDB_BROWSE, IDB_BROWSE_PRESSED, IDB_BROWSE_HOVER, 0);
  pointAt(50, 30);
  m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
  pump();
  EXPECT_TRUE(showsPicture(m_button, IDB_BROWSE_PRESSED));
  // Out of the button with the button held, then released there.
  pointAt(250, 150);
  m_button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(230, 130));
  pump();
  // The capture held the pointer to the button; its next move leaves it.
  EXPECT_TRUE(showsPicture(m_button, IDB_BROWSE_HOVER));
  pointAt(251, 151);
  EXPECT_FALSE(m_button.IsHovering());
  EXPECT_TRUE(showsPicture(m_button, IDB_BROWSE));
}

TEST_F(SoftBitmapButtonTest, AMissingPictureLeavesItsSlotEmpty) {
  // The page's background shows where nothing is drawn.
  attach(999, IDB_CANCEL_PRESSED, 998, 0);
  EXPECT_EQ(m_button.m_bitmap.GetSafeHandle(), nullptr);
  EXPECT_EQ(m_button.m_bitmapFocus.GetSafeHandle(), nullptr);
  EXPECT_NE(m_button.m_bitmapSel.GetSafeHandle(), nullptr);
  EXPECT_FALSE(m_button.LoadBitmaps(999, IDB_CANCEL_PRESSED));
  EXPECT_TRUE(m_button.LoadBitmaps(IDB_CANCEL, IDB_CANCEL_PRESSED));

  // Without a disabled picture a disabled button shows the normal one.
  m_button.EnableWindow(FALSE);
  pump();
  EXPECT_TRUE(showsPicture(m_button, IDB_CANCEL));

  // Without a normal picture nothing is drawn: what was there stays.
  m_button.LoadBitmaps(999);
  CClientDC dc(&m_button);
  dc.FillSolidRect(0, 0, 90, 30, RGB(1, 2, 3));
  DRAWITEMSTRUCT item{ODT_BUTTON, 2, 0, ODA_DRAWENTIRE, 0, m_button, dc, RECT{0, 0, 90, 30}, 0};
  m_button.DrawItem(&item);
  EXPECT_EQ(dc.GetPixel(45, 15), RGB(1, 2, 3));
}

}  // namespace
