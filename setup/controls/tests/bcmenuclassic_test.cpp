// BCMenu on Windows XP with the classic theme chosen: the classic look.
#include <gtest/gtest.h>

#include "bcmenu.h"
#include "bcmenutheme.h"
#include "testing/tempmachine.h"

TEST(BCMenuOnClassicXp, TheClassicThemeKeepsTheClassicLook) {
  winsim::testing::TempMachine machine({{"system", "version", "5.1"}, {"system", "build", "2600"}});
  // The theme's name is compared without regard to case.
  bcmenutheme::setCurrentTheme(u"C:\\WINDOWS\\Resources\\Themes\\WINDOWS CLASSIC.theme");
  BCMenu menu;
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, 1, u"&Open"));
  // The classic look's gap of 4 leaves the item at the menu bar's height.
  EXPECT_EQ(bcmenutheme::measuredHeight(menu, *menu.GetItems()[0]), static_cast<UINT>(GetSystemMetrics(SM_CYMENU)));
}
