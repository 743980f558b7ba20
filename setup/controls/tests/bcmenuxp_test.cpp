// BCMenu on Windows XP with its themes on: the flat look without forcing
// it, in the themed colours (an untinted icon column, a stronger selection).
#include <gtest/gtest.h>

#include "bcmenu.h"
#include "bcmenutheme.h"
#include "controltesting.h"
#include "testing/tempmachine.h"

using controltesting::Canvas;

TEST(BCMenuOnThemedXp, TheFlatLookUsesTheThemedColours) {
  winsim::testing::TempMachine machine({{"system", "version", "5.1"}, {"system", "build", "2600"}});
  bcmenutheme::setCurrentTheme(u"C:\\WINDOWS\\Resources\\Themes\\Luna.theme");
  BCMenu menu;
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, 1, u"&Open"));
  const BCMenuData& item = *menu.GetItems()[0];
  EXPECT_EQ(bcmenutheme::measuredHeight(menu, item), 15u + 7u);  // the flat look's gap

  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF selection = RGB(static_cast<BYTE>(GetRValue(highlight) + 0.7 * (255 - GetRValue(highlight))),
                                 static_cast<BYTE>(GetGValue(highlight) + 0.7 * (255 - GetGValue(highlight))),
                                 static_cast<BYTE>(GetBValue(highlight) + 0.7 * (255 - GetBValue(highlight))));
  for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
    Canvas canvas(120, 22, RGB(1, 2, 3));
    DRAWITEMSTRUCT dis{ODT_MENU,
                       0,
                       1,
                       ODA_DRAWENTIRE,
                       state,
                       nullptr,
                       canvas.dc().GetSafeHdc(),
                       RECT{0, 0, 120, 22},
                       reinterpret_cast<ULONG_PTR>(&item)};
    menu.DrawItem(&dis);
    if (state == 0) {
      EXPECT_PIXEL(canvas, 5, 5, GetSysColor(COLOR_BTNFACE));
      EXPECT_PIXEL(canvas, 100, 5, GetSysColor(COLOR_WINDOW));
    } else {
      EXPECT_PIXEL(canvas, 5, 5, selection);
      EXPECT_PIXEL(canvas, 100, 5, selection);
    }
  }
}
