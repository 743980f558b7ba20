// Menus: items by command and by position, submenus destroyed with their
// menu, and popup menus tracked with the keyboard, the pointer and the
// owner's WM_MENUCHAR answer, with owner-drawn items measured and drawn by
// the owner.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "testing/tempmachine.h"
#include "usertesthelpers.h"
#include "win32/errors.h"
#include "win32/user.h"

namespace {

constexpr UINT kOpen = 101, kSave = 102, kClose = 103, kDisabled = 104;
constexpr int kItemWidth = 90, kItemHeight = 20;

std::u16string menuString(HMENU menu, UINT item, UINT flags) {
  WCHAR text[64] = {};
  GetMenuStringW(menu, item, text, 64, flags);
  return text;
}

TEST(Menu, ItemsAreFoundByCommandAndByPosition) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  ASSERT_TRUE(menu && sub && IsMenu(menu));
  ASSERT_TRUE(AppendMenuW(menu, MF_STRING, kOpen, u"&Open"));
  ASSERT_TRUE(AppendMenuW(menu, MF_SEPARATOR, 0, nullptr));
  ASSERT_TRUE(AppendMenuW(menu, MF_STRING | MF_GRAYED, kDisabled, u"Gone"));
  ASSERT_TRUE(AppendMenuW(sub, MF_STRING, kClose, u"Close"));
  ASSERT_TRUE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"More"));
  ASSERT_TRUE(InsertMenuW(menu, kOpen, MF_BYCOMMAND | MF_STRING, kSave, u"Save"));  // before Open

  EXPECT_EQ(GetMenuItemCount(menu), 5);
  EXPECT_EQ(GetMenuItemID(menu, 0), kSave);
  EXPECT_EQ(GetMenuItemID(menu, 1), kOpen);
  EXPECT_EQ(GetMenuItemID(menu, 4), static_cast<UINT>(-1));  // a submenu
  EXPECT_EQ(GetSubMenu(menu, 4), sub);
  EXPECT_EQ(menuString(menu, kOpen, MF_BYCOMMAND), u"&Open");
  EXPECT_EQ(menuString(menu, 3, MF_BYPOSITION), u"Gone");
  EXPECT_EQ(menuString(menu, kClose, MF_BYCOMMAND), u"Close");  // found in the submenu
  EXPECT_EQ(GetMenuStringW(menu, kOpen, nullptr, 0, MF_BYCOMMAND), 5);
  WCHAR cut[3];
  EXPECT_EQ(GetMenuStringW(menu, kOpen, cut, 3, MF_BYCOMMAND), 2);
  EXPECT_EQ(std::u16string(cut), u"&O");

  EXPECT_EQ(CheckMenuItem(menu, kOpen, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(GetMenuState(menu, kOpen, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(EnableMenuItem(menu, kDisabled, MF_BYCOMMAND | MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_EQ(GetMenuState(menu, 4, MF_BYPOSITION) >> 8, 1u);  // the submenu's item count
  EXPECT_EQ(GetMenuState(menu, 999, MF_BYCOMMAND), static_cast<UINT>(-1));

  ASSERT_TRUE(ModifyMenuW(menu, kSave, MF_BYCOMMAND | MF_STRING, kSave, u"Save as"));
  EXPECT_EQ(menuString(menu, kSave, MF_BYCOMMAND), u"Save as");
  ASSERT_TRUE(RemoveMenu(menu, 1, MF_BYPOSITION));  // Open
  EXPECT_EQ(GetMenuState(menu, kOpen, MF_BYCOMMAND), static_cast<UINT>(-1));
  EXPECT_FALSE(AppendMenuW(menu, MF_POPUP, 0x12345, u"Bad"));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);

  // Destroying the menu destroys its submenus.
  ASSERT_TRUE(DestroyMenu(menu));
  EXPECT_FALSE(IsMenu(menu));
  EXPECT_FALSE(IsMenu(sub));
  EXPECT_FALSE(DestroyMenu(menu));
}

/// The owner of the popup menus below: it measures and draws owner-drawn
/// items, answers characters and records what it hears.
struct Heard {
  std::vector<UINT> messages;
  std::vector<UINT> measured;
  std::vector<UINT> drawn;
  HMENU drawnMenu = nullptr;
  std::vector<MSG> inputAfterDrawing;  // posted once the menu has drawn itself
  std::vector<WPARAM> commands;
  LRESULT menuCharAnswer = 0;
};
Heard g_heard;

LRESULT ownerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ENTERMENULOOP:
    case WM_INITMENUPOPUP:
    case WM_EXITMENULOOP:
      g_heard.messages.push_back(message);
      return 0;
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      g_heard.measured.push_back(measure->itemID);
      measure->itemWidth = kItemWidth;
      measure->itemHeight = kItemHeight;
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      g_heard.drawn.push_back(draw->itemID);
      g_heard.drawnMenu = reinterpret_cast<HMENU>(draw->hwndItem);
      FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(COLOR_WINDOW));
      for (const MSG& input : g_heard.inputAfterDrawing)
        PostMessageW(input.hwnd, input.message, input.wParam, input.lParam);
      g_heard.inputAfterDrawing.clear();
      return TRUE;
    }
    case WM_MENUCHAR:
      g_heard.messages.push_back(message);
      return g_heard.menuCharAnswer;
    case WM_COMMAND:
      g_heard.commands.push_back(wParam);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

class PopupMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_heard = Heard{};
    static const ATOM atom = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof wc;
      wc.lpfnWndProc = ownerProc;
      wc.lpszClassName = u"MenuOwner";
      return RegisterClassExW(&wc);
    }();
    ASSERT_NE(atom, 0);
    m_owner = CreateWindowExW(0, u"MenuOwner", u"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(m_owner, nullptr);
    m_menu = CreatePopupMenu();
    AppendMenuW(m_menu, MF_STRING, kOpen, u"&Open");
    AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m_menu, MF_STRING | MF_GRAYED, kDisabled, u"&Disabled");
    AppendMenuW(m_menu, MF_STRING, kSave, u"&Save");
  }
  void TearDown() override {
    DestroyMenu(m_menu);
    DestroyWindow(m_owner);
    usertest::pump();
  }
  void key(int vk) {
    PostMessageW(m_owner, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
    PostMessageW(m_owner, WM_KEYUP, static_cast<WPARAM>(vk), static_cast<LPARAM>(0xC0000001u));
  }

  winsim::testing::TempMachine m_machine;
  HWND m_owner = nullptr;
  HMENU m_menu = nullptr;
};

TEST_F(PopupMenuTest, TheKeysMoveOverSeparatorsAndEnterPicks) {
  key(VK_DOWN);    // Open
  key(VK_DOWN);    // over the separator to Disabled
  key(VK_RETURN);  // a disabled item is not picked
  key(VK_DOWN);    // Save
  key(VK_RETURN);
  EXPECT_EQ(TrackPopupMenu(m_menu, TPM_RETURNCMD, 20, 20, 0, m_owner, nullptr), static_cast<BOOL>(kSave));
  const std::vector<UINT> loop{WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_EXITMENULOOP};
  EXPECT_EQ(g_heard.messages, loop);
  usertest::pump();
  EXPECT_TRUE(g_heard.commands.empty());  // TPM_RETURNCMD sends no command
}

TEST_F(PopupMenuTest, EscapeClosesAndAPickedItemBecomesACommand) {
  key(VK_ESCAPE);
  EXPECT_EQ(TrackPopupMenu(m_menu, TPM_RETURNCMD, 20, 20, 0, m_owner, nullptr), 0);

  key(VK_DOWN);
  key(VK_RETURN);
  EXPECT_TRUE(TrackPopupMenu(m_menu, 0, 20, 20, 0, m_owner, nullptr));
  usertest::pump();
  EXPECT_EQ(g_heard.commands, std::vector<WPARAM>{MAKEWPARAM(kOpen, 0)});
  // A window that is none has no menu tracked for it.
  EXPECT_FALSE(TrackPopupMenu(m_menu, 0, 20, 20, 0, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(PopupMenuTest, CharactersGoToTheOwnerFirstThenToTheMnemonics) {
  // The owner does not know the character: "s" is Save's mnemonic.
  PostMessageW(m_owner, WM_CHAR, u'S', 1);
  EXPECT_EQ(TrackPopupMenu(m_menu, TPM_RETURNCMD, 20, 20, 0, m_owner, nullptr), static_cast<BOOL>(kSave));
  // The owner answers: execute the item at position 0.
  g_heard = Heard{};
  g_heard.menuCharAnswer = MAKELRESULT(0, MNC_EXECUTE);
  PostMessageW(m_owner, WM_CHAR, u'x', 1);
  EXPECT_EQ(TrackPopupMenu(m_menu, TPM_RETURNCMD, 20, 20, 0, m_owner, nullptr), static_cast<BOOL>(kOpen));
  EXPECT_EQ(g_heard.messages[2], WM_MENUCHAR);
}

TEST_F(PopupMenuTest, OwnerDrawnItemsAreMeasuredDrawnAndPickedWithThePointer) {
  HMENU drawn = CreatePopupMenu();
  AppendMenuW(drawn, MF_OWNERDRAW, kOpen, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(11)));
  AppendMenuW(drawn, MF_OWNERDRAW, kSave, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(12)));
  AppendMenuW(drawn, MF_OWNERDRAW, kClose, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(13)));
  // The popup opens at (40, 30) with a one-pixel border: the second item's
  // middle is at (40 + 1 + 10, 30 + 1 + 20 + 10) on the screen.
  POINT over{40 + 1 + 10, 30 + 1 + kItemHeight + kItemHeight / 2};
  ScreenToClient(m_owner, &over);
  const LPARAM where = MAKELPARAM(static_cast<WORD>(over.x), static_cast<WORD>(over.y));
  g_heard.inputAfterDrawing = {MSG{m_owner, WM_MOUSEMOVE, 0, where, 0, {}},
                               MSG{m_owner, WM_LBUTTONDOWN, MK_LBUTTON, where, 0, {}},
                               MSG{m_owner, WM_LBUTTONUP, 0, where, 0, {}}};
  EXPECT_EQ(TrackPopupMenu(drawn, TPM_RETURNCMD, 40, 30, 0, m_owner, nullptr), static_cast<BOOL>(kSave));
  EXPECT_EQ(g_heard.measured, (std::vector<UINT>{kOpen, kSave, kClose}));
  EXPECT_FALSE(g_heard.drawn.empty());
  EXPECT_EQ(g_heard.drawnMenu, drawn);
  DestroyMenu(drawn);

  // A press outside the menu closes it.
  PostMessageW(m_owner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(290, 190));
  EXPECT_EQ(TrackPopupMenu(m_menu, TPM_RETURNCMD, 20, 20, 0, m_owner, nullptr), 0);
}

TEST_F(PopupMenuTest, AnOwnerDrawnSeparatorIsMeasuredAndDrawnByTheOwner) {
  HMENU drawn = CreatePopupMenu();
  AppendMenuW(drawn, MF_OWNERDRAW, kOpen, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(11)));
  AppendMenuW(drawn, MF_OWNERDRAW | MF_SEPARATOR, 0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(12)));
  g_heard.inputAfterDrawing = {MSG{m_owner, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}}};
  EXPECT_EQ(TrackPopupMenu(drawn, TPM_RETURNCMD, 40, 30, 0, m_owner, nullptr), 0);
  EXPECT_EQ(g_heard.measured, (std::vector<UINT>{kOpen, 0}));
  EXPECT_EQ(std::count(g_heard.drawn.begin(), g_heard.drawn.end(), 0u), 1);
  DestroyMenu(drawn);
}

}  // namespace
