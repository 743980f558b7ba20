// BCMenu: items appended and loaded from menu resources, their sizes, the
// two looks drawn into memory, the menu character, and a CButtonST whose
// popup menu a person opens and picks from through a UI script.
#include "bcmenu.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bcmenuids.h"
#include "buttonst.h"
#include "controltesting.h"
#include "testing/tempmachine.h"

using controltesting::Canvas;

namespace {

constexpr int kItemWidth = 150;

/// The flat look forced for one test.
class FlatLook {
 public:
  FlatLook() { BCMenu::SetMenuDrawMode(BCMENU_DRAWMODE_XP); }
  ~FlatLook() { BCMenu::SetMenuDrawMode(BCMENU_DRAWMODE_ORIGINAL); }
};

COLORREF lighten(double f, COLORREF c) {
  auto part = [f](BYTE v) { return static_cast<BYTE>(v + f * (255 - v)); };
  return RGB(part(GetRValue(c)), part(GetGValue(c)), part(GetBValue(c)));
}

/// The width of a text in the system's menu font, "&" marks shown as they are drawn.
int textWidth(LPCWSTR text) {
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  HGDIOBJ old = dc.SelectObject(GetStockObject(DEFAULT_GUI_FONT));
  CRect r(0, 0, 0, 0);
  dc.DrawText(text, -1, &r, DT_SINGLELINE | DT_CALCRECT);
  dc.SelectObject(old);
  return r.Width();
}

MEASUREITEMSTRUCT measure(BCMenu& menu, const BCMenuData& data) {
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, static_cast<UINT>(data.nID), 1234, 5678, reinterpret_cast<ULONG_PTR>(&data)};
  menu.MeasureItem(&mis);
  return mis;
}

/// Draws one item at the top of the canvas, kItemWidth x height.
void draw(BCMenu& menu, const BCMenuData& data, Canvas& canvas, UINT state, int height) {
  DRAWITEMSTRUCT dis{ODT_MENU,
                     0,
                     static_cast<UINT>(data.nID),
                     ODA_DRAWENTIRE,
                     state,
                     reinterpret_cast<HWND>(menu.GetSafeHmenu()),
                     canvas.dc().GetSafeHdc(),
                     RECT{0, 0, kItemWidth, height},
                     reinterpret_cast<ULONG_PTR>(&data)};
  menu.DrawItem(&dis);
}

/// How many pixels of the rectangle have exactly the colour.
int count(Canvas& canvas, const RECT& r, COLORREF colour) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += canvas.at(x, y) == colour;
  return n;
}

/// Writes a MENU template: header, then (option, id, text) entries; a
/// pop-up (MF_POPUP) has no id.
std::vector<BYTE> menuTemplate(std::initializer_list<std::tuple<WORD, WORD, std::u16string>> items) {
  std::vector<BYTE> bytes{0, 0, 0, 0};
  auto word = [&bytes](WORD w) {
    bytes.push_back(static_cast<BYTE>(w));
    bytes.push_back(static_cast<BYTE>(w >> 8));
  };
  for (const auto& [option, id, text] : items) {
    word(option);
    if (!(option & MF_POPUP)) word(id);
    for (char16_t c : text) word(c);
    word(0);
  }
  return bytes;
}

class BCMenuTest : public ::testing::Test {
 protected:
  void TearDown() override {
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
  }
  winsim::testing::TempMachine m_machine;
};

}  // namespace

TEST(BCMenuVersion, TheCodeFollowsTheSystemFamilyAndVersion) {
  struct Case {
    DWORD platform, major, minor;
    int code;
  } const cases[] = {
      {1, 3, 95, 0}, {1, 4, 0, 2}, {1, 4, 10, 3}, {1, 4, 90, 4},  // the 9x family
      {2, 4, 0, 5},  {2, 5, 0, 6}, {2, 5, 1, 7},  {2, 5, 2, 1},  {2, 6, 1, 1},
  };
  for (const Case& c : cases) {
    OSVERSIONINFOW version{sizeof(OSVERSIONINFOW), c.major, c.minor, 0, c.platform, {}};
    EXPECT_EQ(BCMenu::GetVersionCode(version), c.code) << c.platform << " " << c.major << "." << c.minor;
  }
}

TEST_F(BCMenuTest, AppendedItemsAreOwnerDrawnRecordsWithTheirPictures) {
  BCMenu menu;
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, ID_OPEN, u"&Open", IDB_SQUARE));
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, 0, nullptr));
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, ID_SAVE, u"&Save", 999));  // no such picture
  BCMenu* popup = menu.AppendODPopupMenu(u"&More");
  ASSERT_NE(popup, nullptr);

  const auto& items = menu.GetItems();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(menu.GetMenuItemCount(), 4u);
  EXPECT_EQ(items[0]->text, u"&Open");
  ASSERT_NE(items[0]->bitmap, nullptr);
  EXPECT_EQ(items[0]->menuIconNormal, 0);
  EXPECT_EQ(items[0]->bitmap->GetImageCount(), 1);
  EXPECT_EQ(items[2]->bitmap, nullptr);
  EXPECT_EQ(items[2]->menuIconNormal, -1);
  for (UINT i = 0; i < 3; ++i) EXPECT_TRUE(menu.GetMenuState(i, MF_BYPOSITION) & MF_OWNERDRAW) << i;
  EXPECT_TRUE(menu.GetMenuState(3, MF_BYPOSITION) & MF_POPUP);
  EXPECT_TRUE(menu.GetMenuState(1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(items[3]->nID, reinterpret_cast<UINT_PTR>(popup->GetSafeHmenu()));
  EXPECT_TRUE(BCMenu::IsMenu(popup));
  EXPECT_FALSE(BCMenu::IsMenu(&menu));  // only pop-ups are listed

  // The command's picture shows in another menu that has the command.
  BCMenu other;
  ASSERT_TRUE(other.AppendMenu(MF_STRING, ID_OPEN, u"Open again"));
  ASSERT_GE(other.GetItems()[0]->globalImageIndex, 0);
  Canvas canvas(kItemWidth, 20, RGB(1, 2, 3));
  draw(other, *other.GetItems()[0], canvas, 0, 20);
  EXPECT_PIXEL(canvas, 2 + 8, 10, RGB(200, 0, 0));       // the picture's red middle
  EXPECT_PIXEL(canvas, 2, 10, GetSysColor(COLOR_MENU));  // its silver edge is transparent

  const HMENU popupHandle = popup->GetSafeHmenu();
  EXPECT_TRUE(menu.DestroyMenu());
  EXPECT_FALSE(BCMenu::IsMenu(popupHandle));
  EXPECT_FALSE(::IsMenu(popupHandle));
  EXPECT_TRUE(menu.GetItems().empty());

  // A BCMenu pop-up of the caller's goes with the menu it was appended to.
  BCMenu outer;
  BCMenu inner;
  ASSERT_TRUE(inner.CreatePopupMenu());
  ASSERT_TRUE(inner.AppendMenu(MF_STRING, ID_DEEP, u"&Deep"));
  ASSERT_TRUE(outer.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(inner.GetSafeHmenu()), u"&Inner"));
  EXPECT_TRUE(BCMenu::IsMenu(&inner));
  EXPECT_TRUE(outer.DestroyMenu());
  EXPECT_EQ(inner.GetSafeHmenu(), nullptr);
  EXPECT_TRUE(inner.GetItems().empty());
}

TEST_F(BCMenuTest, ItemsAreMeasuredByTheMenuFontAndTheLook) {
  BCMenu menu;
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, ID_OPEN, u"&Open the drawing"));
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, 0, nullptr));
  const BCMenuData& text = *menu.GetItems()[0];
  const BCMenuData& separator = *menu.GetItems()[1];
  const int menuBar = GetSystemMetrics(SM_CYMENU);
  const int width = textWidth(u"&Open the drawing");
  ASSERT_GT(width, 40);

  // Classic look (the machine is Windows 7): gap 4.
  MEASUREITEMSTRUCT mis = measure(menu, text);
  EXPECT_EQ(mis.itemWidth, static_cast<UINT>(width + 2 * 16 + 1));
  EXPECT_EQ(mis.itemHeight, static_cast<UINT>(std::max(15 + 4, menuBar)));
  mis = measure(menu, separator);
  EXPECT_EQ(mis.itemWidth, 0u);
  EXPECT_EQ(mis.itemHeight, static_cast<UINT>(std::max((15 + 4) / 2, menuBar / 2)));

  {
    FlatLook flat;  // gap 7
    mis = measure(menu, text);
    EXPECT_EQ(mis.itemWidth, static_cast<UINT>(width + 16 + 7 + 8));
    EXPECT_EQ(mis.itemHeight, static_cast<UINT>(std::max(15 + 7, menuBar)));
    mis = measure(menu, separator);
    EXPECT_EQ(mis.itemHeight, static_cast<UINT>(std::max((15 + 7) / 2, menuBar / 2)));
  }

  // Item data that is no record of the menu is not read.
  BCMenuData stranger;
  mis = measure(menu, stranger);
  EXPECT_EQ(mis.itemWidth, 1234u);
  EXPECT_EQ(mis.itemHeight, 5678u);
}

TEST_F(BCMenuTest, TheClassicLookDrawsSelectionCellsGreyTextAndSeparators) {
  BCMenu menu;
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, ID_OPEN, u"&Open", IDB_SQUARE));
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, ID_SAVE, u"&Save"));
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, 0, nullptr));
  const auto& items = menu.GetItems();
  const COLORREF background = GetSysColor(COLOR_MENU);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);

  // Selected, with a picture: the raised cell, then the highlight from
  // 16 + 5 pixels on, the text in the highlight-text colour.
  Canvas selected(kItemWidth, 20, RGB(1, 2, 3));
  draw(menu, *items[0], selected, ODS_SELECTED, 20);
  EXPECT_PIXEL(selected, 0, 5, GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_PIXEL(selected, 19, 5, GetSysColor(COLOR_BTNSHADOW));
  EXPECT_PIXEL(selected, 10, 10, RGB(200, 0, 0));
  EXPECT_PIXEL(selected, 20, 10, background);
  EXPECT_PIXEL(selected, 21, 10, highlight);
  EXPECT_PIXEL(selected, kItemWidth - 1, 19, highlight);
  EXPECT_GT(count(selected, RECT{24, 0, 80, 20}, GetSysColor(COLOR_HIGHLIGHTTEXT)), 5);

  // Selected without picture or mark: the whole item.
  Canvas plain(kItemWidth, 20, RGB(1, 2, 3));
  draw(menu, *items[1], plain, ODS_SELECTED, 20);
  EXPECT_PIXEL(plain, 0, 10, highlight);

  // Disabled: grey text over its embossed highlight, no menu-text pixel.
  Canvas disabled(kItemWidth, 20, RGB(1, 2, 3));
  draw(menu, *items[1], disabled, ODS_GRAYED, 20);
  EXPECT_GT(count(disabled, RECT{24, 0, 80, 20}, GetSysColor(COLOR_GRAYTEXT)), 5);
  EXPECT_GT(count(disabled, RECT{24, 0, 80, 20}, GetSysColor(COLOR_BTNHIGHLIGHT)), 0);
  EXPECT_EQ(count(disabled, RECT{0, 0, kItemWidth, 20}, GetSysColor(COLOR_MENUTEXT)), 0);

  // Checked without a picture: a sunken cell of the lightened background
  // with the drawn tick.
  Canvas checked(kItemWidth, 20, RGB(1, 2, 3));
  draw(menu, *items[1], checked, ODS_CHECKED, 20);
  EXPECT_PIXEL(checked, 0, 5, GetSysColor(COLOR_BTNSHADOW));
  EXPECT_PIXEL(checked, 2, 2, lighten(0.6, background));
  EXPECT_GT(count(checked, RECT{1, 1, 19, 19}, GetSysColor(COLOR_MENUTEXT)), 8);

  // A separator: the etched line across the middle.
  Canvas separator(kItemWidth, 10, RGB(1, 2, 3));
  draw(menu, *items[2], separator, 0, 10);
  EXPECT_PIXEL(separator, 0, 2, background);
  EXPECT_PIXEL(separator, 30, 5, GetSysColor(COLOR_BTNSHADOW));
  EXPECT_PIXEL(separator, 30, 6, GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_PIXEL(separator, 30, 8, background);
}

TEST_F(BCMenuTest, TheFlatLookTintsTheIconColumnAndLightensTheSelection) {
  FlatLook flat;
  BCMenu menu;
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, ID_OPEN, u"&Open", IDB_SQUARE));
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, ID_SAVE, u"&Save"));
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, 0, nullptr));
  const auto& items = menu.GetItems();
  const COLORREF column = lighten(0.25, GetSysColor(COLOR_BTNFACE));
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF selection = lighten(0.85, highlight);
  constexpr int kColumn = 16 + 7;

  Canvas normal(kItemWidth, 22, RGB(1, 2, 3));
  draw(menu, *items[0], normal, 0, 22);
  EXPECT_PIXEL(normal, 1, 1, column);
  EXPECT_PIXEL(normal, kColumn - 1, 20, column);
  EXPECT_PIXEL(normal, kColumn, 1, window);
  EXPECT_PIXEL(normal, 3 + 8, 11, RGB(200, 0, 0));  // the picture, centred in the column
  EXPECT_PIXEL(normal, 3 + 1, 11, column);          // its transparent edge
  EXPECT_GT(count(normal, RECT{kColumn, 0, 80, 22}, GetSysColor(COLOR_MENUTEXT)), 5);

  Canvas selected(kItemWidth, 22, RGB(1, 2, 3));
  draw(menu, *items[1], selected, ODS_SELECTED, 22);
  EXPECT_PIXEL(selected, 0, 0, highlight);  // the frame
  EXPECT_PIXEL(selected, kItemWidth - 1, 21, highlight);
  EXPECT_PIXEL(selected, 5, 5, selection);
  EXPECT_PIXEL(selected, 100, 11, selection);

  Canvas disabled(kItemWidth, 22, RGB(1, 2, 3));
  draw(menu, *items[1], disabled, ODS_GRAYED | ODS_SELECTED, 22);
  EXPECT_PIXEL(disabled, 100, 11, window);  // a disabled item shows no selection
  EXPECT_GT(count(disabled, RECT{kColumn, 0, 80, 22}, GetSysColor(COLOR_GRAYTEXT)), 5);
  EXPECT_EQ(count(disabled, RECT{0, 0, kItemWidth, 22}, GetSysColor(COLOR_MENUTEXT)), 0);

  Canvas separator(kItemWidth, 11, RGB(1, 2, 3));
  draw(menu, *items[2], separator, 0, 11);
  EXPECT_PIXEL(separator, 5, 5, column);
  EXPECT_PIXEL(separator, kColumn + 6, 5, window);  // the line starts 7 pixels after the column
  EXPECT_PIXEL(separator, kColumn + 7, 5, GetSysColor(COLOR_BTNSHADOW));
  EXPECT_PIXEL(separator, kItemWidth - 3, 5, GetSysColor(COLOR_BTNSHADOW));
  EXPECT_PIXEL(separator, 100, 2, window);
}

TEST_F(BCMenuTest, CheckMarkPicturesReplaceTheDrawnTick) {
  CImageList marks;
  ASSERT_TRUE(marks.Create(16, 15, ILC_COLORDDB | ILC_MASK, 2, 1));
  CBitmap strip;
  strip.Attach(controltesting::makePicture(32, 15, [](int x, int) { return x < 16 ? RGB(0, 90, 0) : RGB(90, 0, 0); }));
  ASSERT_EQ(marks.Add(&strip, RGB(255, 0, 255)), 0);
  BCMenu menu;
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, ID_SAVE, u"&Save"));
  menu.SetCheckMarkImages(&marks, TRUE, 0, 1);
  Canvas checked(kItemWidth, 20, RGB(1, 2, 3));
  draw(menu, *menu.GetItems()[0], checked, ODS_CHECKED, 20);
  EXPECT_PIXEL(checked, 10, 10, RGB(0, 90, 0));
  Canvas unchecked(kItemWidth, 20, RGB(1, 2, 3));
  draw(menu, *menu.GetItems()[0], unchecked, 0, 20);
  EXPECT_PIXEL(unchecked, 10, 10, RGB(90, 0, 0));

  // Taken over: the menu destroys the list with itself.
  menu.SetCheckMarkImages(&marks, FALSE, 0, 1);
  EXPECT_EQ(marks.GetSafeHandle(), nullptr);
}

TEST_F(BCMenuTest, TheMenuCharacterExecutesTheFirstItemWithItsShortcut) {
  BCMenu menu;
  BCMenu* popup = menu.AppendODPopupMenu(u"Popup");
  ASSERT_NE(popup, nullptr);
  popup->AppendMenu(MF_STRING, ID_OPEN, u"&Open");
  popup->AppendMenu(MF_STRING, 0, nullptr);
  popup->AppendMenu(MF_STRING, ID_SAVE, u"&Save as");
  popup->AppendMenu(MF_STRING, ID_CLOSE, u"Save && &Close");
  struct Case {
    UINT key;
    LRESULT answer;
  } const cases[] = {
      {'o', MAKELRESULT(0, MNC_EXECUTE)},
      {'S', MAKELRESULT(2, MNC_EXECUTE)},
      {'c', MAKELRESULT(3, MNC_EXECUTE)},
      {'a', 0},  // only after "&"
      {'x', 0},
  };
  for (const Case& c : cases) EXPECT_EQ(BCMenu::FindKeyboardShortcut(c.key, MF_POPUP, popup), c.answer) << c.key;

  // Not one of the BCMenu pop-ups: not handled.
  CMenu plain;
  ASSERT_TRUE(plain.CreatePopupMenu());
  plain.AppendMenu(MF_STRING, ID_OPEN, u"&Open");
  EXPECT_EQ(BCMenu::FindKeyboardShortcut('o', MF_POPUP, &plain), 0);
  EXPECT_EQ(BCMenu::FindKeyboardShortcut('o', MF_POPUP, nullptr), 0);
}

TEST_F(BCMenuTest, AMenuResourceBecomesBCMenusAllTheWayDown) {
  BCMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDR_NESTEDMENU));
  ASSERT_EQ(menu.GetMenuItemCount(), 2u);
  EXPECT_EQ(menu.GetMenuItemID(1), static_cast<UINT>(ID_CLOSE));
  auto* file = dynamic_cast<BCMenu*>(menu.GetSubMenu(0));
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(BCMenu::IsMenu(file));
  ASSERT_EQ(file->GetItems().size(), 2u);
  EXPECT_EQ(file->GetItems()[0]->text, u"&Open");
  auto* more = dynamic_cast<BCMenu*>(file->GetSubMenu(1));
  ASSERT_NE(more, nullptr);
  EXPECT_TRUE(BCMenu::IsMenu(more));
  ASSERT_EQ(more->GetItems().size(), 1u);
  EXPECT_EQ(more->GetItems()[0]->nID, static_cast<UINT_PTR>(ID_DEEP));
  // The top menu measures its pop-ups' items.
  MEASUREITEMSTRUCT mis = measure(menu, *more->GetItems()[0]);
  EXPECT_EQ(mis.itemWidth, static_cast<UINT>(textWidth(u"&Deep") + 2 * 16 + 1));

  const HMENU moreHandle = more->GetSafeHmenu();
  ASSERT_TRUE(menu.LoadMenu(IDR_BUTTONMENU));  // replaces the menu
  EXPECT_FALSE(BCMenu::IsMenu(moreHandle));
  EXPECT_FALSE(::IsMenu(moreHandle));
  auto* popup = dynamic_cast<BCMenu*>(menu.GetSubMenu(0));
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetMenuItemCount(), 4u);
  EXPECT_TRUE(popup->GetMenuState(1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(popup->GetMenuState(ID_SAVE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(popup->GetMenuState(ID_CLOSE, MF_BYCOMMAND) & MF_CHECKED);

  EXPECT_FALSE(menu.LoadMenu(999));
  EXPECT_EQ(menu.GetSafeHmenu(), nullptr);
}

TEST_F(BCMenuTest, DamagedTemplatesAreRefusedWithoutReadingPastThem) {
  const std::vector<BYTE> good = menuTemplate({{MF_POPUP | 0x80, 0, u"&File"}, {0x80, ID_OPEN, u"&Open"}});
  BCMenu menu;
  ASSERT_TRUE(menu.LoadMenuIndirect(good.data(), static_cast<DWORD>(good.size())));
  EXPECT_EQ(menu.GetMenuItemCount(), 1u);

  std::vector<std::vector<BYTE>> damaged;
  for (std::size_t cut = 0; cut < good.size(); ++cut) damaged.emplace_back(good.begin(), good.begin() + cut);
  damaged.push_back(menuTemplate({{0, ID_OPEN, u"no end"}}));         // no MF_END
  damaged.push_back(menuTemplate({{MF_POPUP | 0x80, 0, u"&File"}}));  // a pop-up without items
  std::vector<BYTE> extended = good;
  extended[0] = 1;  // the extended format is not read
  damaged.push_back(extended);
  for (const auto& bytes : damaged) {
    EXPECT_FALSE(menu.LoadMenuIndirect(bytes.data(), static_cast<DWORD>(bytes.size()))) << bytes.size();
    EXPECT_EQ(menu.GetSafeHmenu(), nullptr);
  }
}

namespace {

constexpr int kButtonId = 1001;

/// The page: hears the commands posted to it (a menu's, without a control).
class CommandPage : public CWnd {
 public:
  std::vector<WPARAM> commands;

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (lParam == 0) commands.push_back(wParam);
    return CWnd::OnCommand(wParam, lParam);
  }
};

class ButtonMenuTest : public BCMenuTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_page.CreateEx(0, nullptr, u"Page", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    HWND button = CreateWindowExW(0, u"Button", u"Menu", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 20, 30,
                                  100, 30, m_page.GetSafeHwnd(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), nullptr, nullptr);
    ASSERT_TRUE(m_button.SubclassWindow(button));
    ::setenv("WINSIM_UI_TIMEOUT", "5000", 1);
  }
  void TearDown() override {
    ::unsetenv("WINSIM_UI");
    ::unsetenv("WINSIM_UI_TIMEOUT");
    m_button.DestroyWindow();
    m_page.DestroyWindow();
    BCMenuTest::TearDown();
  }
  void script(const std::string& text) {
    const std::filesystem::path file = m_machine.folder() / "ui" / "ui.txt";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    ::setenv("WINSIM_UI", file.c_str(), 1);
  }

  CommandPage m_page;
  CButtonST m_button;
};

}  // namespace

TEST_F(ButtonMenuTest, AClickShowsThePopupAndItsShortcutPostsTheCommand) {
  ASSERT_EQ(m_button.SetMenu(IDR_BUTTONMENU, m_page.GetSafeHwnd()), 0u);
  // The person opens the menu, looks at it and presses the Close item's key.
  script(
      "click 1001\n"
      "screenshot-screen menu.png\n"
      "type 1001 c\n");
  MSG msg{};
  while (m_page.commands.empty() && GetMessageW(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  EXPECT_EQ(m_page.commands, (std::vector<WPARAM>{MAKEWPARAM(ID_CLOSE, 0)}));
  EXPECT_TRUE(std::filesystem::exists(m_machine.folder() / "ui" / "menu.png"));

  EXPECT_EQ(m_button.SetMenu(999, m_page.GetSafeHwnd()), 1u);
  EXPECT_EQ(m_button.SetMenu(0, m_page.GetSafeHwnd()), 0u);
}
