// The shaded radio buttons: empty slots draw as CButtonST; filled ones show
// the normal picture at rest and the hover picture under the pointer,
// pushed by one pixel while pressed.
#include "shadebuttonst.h"

#include <gtest/gtest.h>

#include "buttontesting.h"

namespace {

class ShadeButtonSTTest : public buttontesting::ButtonPage {
 protected:
  void attach() {
    HWND hwnd = makeButton(1003, BS_PUSHBUTTON, CRect(20, 20, 60, 40));
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(m_button.SubclassWindow(hwnd));
    m_button.Invalidate();
    pump();
  }
  /// Fills a slot with one colour.
  void fill(CShadeButtonST::Slot which, BYTE r, BYTE g, BYTE b) {
    CCeXDib& dib = m_button.slot(which);
    ASSERT_TRUE(dib.Create(40, 20, 8));
    dib.SetPaletteIndex(0, r, g, b);
  }
  CShadeButtonST m_button;
};

TEST_F(ShadeButtonSTTest, EmptySlotsDrawAsTheIconButton) {
  attach();
  m_button.SetColor(CButtonST::BTNST_COLOR_BK_OUT, RGB(1, 2, 3));
  pump();
  // Nothing fills the background: what the window had stays.
  EXPECT_NE(shown(m_button, 10, 10), RGB(1, 2, 3));
  m_button.DrawTransparent();
  pump();
  EXPECT_EQ(shown(m_button, 10, 10), shown(m_parent, 30, 30));
}

TEST_F(ShadeButtonSTTest, FilledSlotsFollowTheHoverAndThePress) {
  attach();
  fill(CShadeButtonST::kNormal, 200, 0, 0);
  fill(CShadeButtonST::kHover, 0, 200, 0);
  // The hover picture's top-left pixel is blue (the rows are bottom-up).
  CCeXDib& hover = m_button.slot(CShadeButtonST::kHover);
  hover.SetPaletteIndex(1, 0, 0, 255);
  hover.GetBits()[hover.GetLineWidth() * 19] = 1;
  m_button.Invalidate();
  pump();
  EXPECT_EQ(shown(m_button, 0, 0), RGB(200, 0, 0));
  pointAt(30, 30);
  EXPECT_EQ(shown(m_button, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(shown(m_button, 1, 1), RGB(0, 200, 0));
  m_button.SetState(TRUE);
  pump();
  EXPECT_EQ(shown(m_button, 1, 1), RGB(0, 0, 255));
  EXPECT_EQ(shown(m_button, 2, 2), RGB(0, 200, 0));
}

}  // namespace
