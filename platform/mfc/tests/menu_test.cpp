// Menu objects: ownership of the menu, temporary objects for menus the
// library did not attach, and an owner-drawn menu measuring and drawing its
// items for a library window it is tracked for.
#include <gtest/gtest.h>

#include <vector>

#include "afxwin.h"
#include "testing/tempmachine.h"

namespace {

constexpr UINT kFirst = 201, kSecond = 202;

/// A menu that measures and draws its own items, as an owner-drawn menu
/// class does.
class CDrawnMenu : public CMenu {
 public:
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override {
    measured.push_back(lpMeasureItemStruct->itemID);
    lpMeasureItemStruct->itemWidth = 80;
    lpMeasureItemStruct->itemHeight = 18;
  }
  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override {
    drawn.push_back(lpDrawItemStruct->itemID);
    // Once the menu has shown itself, the user presses Down and Enter.
    if (drawn.size() == 1) {
      PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 1);
      PostMessageW(owner, WM_KEYDOWN, VK_RETURN, 1);
    }
  }
  std::vector<UINT> measured;
  std::vector<UINT> drawn;
  HWND owner = nullptr;
};

TEST(Menu, AnObjectOwnsItsMenu) {
  winsim::testing::TempMachine machine;
  HMENU handle = nullptr;
  {
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    handle = menu.GetSafeHmenu();
    EXPECT_FALSE(menu.CreatePopupMenu());  // it has one already
    ASSERT_TRUE(menu.AppendMenu(MF_STRING, kFirst, u"&First"));
    CString text;
    EXPECT_EQ(menu.GetMenuString(kFirst, text, MF_BYCOMMAND), 6);
    EXPECT_EQ(text, u"&First");
    EXPECT_EQ(CMenu::FromHandle(handle), &menu);
    EXPECT_EQ(CMenu::FromHandlePermanent(handle), &menu);
  }
  EXPECT_FALSE(IsMenu(handle));

  // A menu nobody attached gets a temporary object, which never destroys it.
  HMENU loose = CreatePopupMenu();
  CMenu* temporary = CMenu::FromHandle(loose);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(temporary->GetSafeHmenu(), loose);
  EXPECT_EQ(CMenu::FromHandlePermanent(loose), nullptr);
  CMenu attached;
  ASSERT_TRUE(attached.Attach(loose));
  EXPECT_EQ(attached.Detach(), loose);
  EXPECT_TRUE(IsMenu(loose));
  DestroyMenu(loose);
}

TEST(Menu, AnOwnerDrawnMenuMeasuresAndDrawsForALibraryWindow) {
  winsim::testing::TempMachine machine;
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, u"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
  CDrawnMenu menu;
  menu.owner = owner.GetSafeHwnd();
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_OWNERDRAW, kFirst, nullptr);
  menu.AppendMenu(MF_OWNERDRAW, kSecond, nullptr);
  // One Down from no highlighted item reaches the first item; Enter picks it.
  const BOOL picked = menu.TrackPopupMenu(TPM_RETURNCMD, 10, 10, &owner);
  EXPECT_EQ(picked, static_cast<BOOL>(kFirst));
  EXPECT_EQ(menu.measured, (std::vector<UINT>{kFirst, kSecond}));
  EXPECT_FALSE(menu.drawn.empty());
  owner.DestroyWindow();
}

}  // namespace
