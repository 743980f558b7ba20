// The standard controls: owner drawing as the state changes, colours from
// the parent (WM_CTLCOLOR*), typing, pictures, bars, rich text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commctrl.h"
#include "dialogtesthelpers.h"
#include "richedit.h"
#include "usertesthelpers.h"
#include "win32/user.h"
#include "winsim/windowing.h"

namespace {

using dialogtest::Item;
using dialogtest::Template;

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;
const COLORREF kRed = RGB(200, 0, 0);
const COLORREF kGreen = RGB(0, 160, 0);

struct Draw {
  UINT action;
  UINT state;
};
struct Seen {
  std::vector<Draw> draws;
  std::vector<WPARAM> commands;
  std::vector<WPARAM> scrolls;
  HBRUSH staticBrush = nullptr;  // what WM_CTLCOLORSTATIC answers; null: the default
  bool transparentStatic = false;
};
Seen g_seen;
HBRUSH g_red = nullptr;

INT_PTR pageProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return FALSE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      g_seen.draws.push_back({item->itemAction, item->itemState});
      FillRect(item->hDC, &item->rcItem, (item->itemState & ODS_SELECTED) ? GetSysColorBrush(COLOR_HIGHLIGHT) : g_red);
      return TRUE;
    }
    case WM_COMMAND:
      g_seen.commands.push_back(wParam);
      return TRUE;
    case WM_HSCROLL:
      g_seen.scrolls.push_back(wParam);
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(g_red);
    case WM_CTLCOLORSTATIC:
      if (!g_seen.staticBrush) return FALSE;
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      if (g_seen.transparentStatic) SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(g_seen.staticBrush);
    default:
      return FALSE;
  }
}

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_seen = Seen{};
    g_red = CreateSolidBrush(kRed);
  }
  void TearDown() override {
    if (m_dialog) DestroyWindow(m_dialog);
    usertest::pump();
    DeleteObject(g_red);
  }
  HWND open(std::vector<Item> items) {
    m_template = std::make_unique<Template>(WS_POPUP | WS_VISIBLE, 200, 100, u"Page", std::move(items));
    m_dialog = CreateDialogIndirectParamW(nullptr, m_template->get(), nullptr, pageProc, 0);
    EXPECT_NE(m_dialog, nullptr);
    usertest::pump();
    return m_dialog;
  }
  HWND item(int id) { return GetDlgItem(m_dialog, id); }

  std::unique_ptr<Template> m_template;
  HWND m_dialog = nullptr;
};

TEST_F(ControlTest, AnOwnerDrawnButtonIsToldEveryChangeOfState) {
  open({{kButton, u"", 10, BS_OWNERDRAW | WS_TABSTOP, 10, 10, 50, 20}, {kButton, u"", 11, WS_TABSTOP, 70, 10, 50, 20}});
  HWND button = item(10);
  ASSERT_FALSE(g_seen.draws.empty());
  EXPECT_EQ(g_seen.draws.back().action, ODA_DRAWENTIRE);
  SetFocus(item(11));
  g_seen.draws.clear();
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  // Focus first, then the press, each drawn at once.
  ASSERT_EQ(g_seen.draws.size(), 2u);
  EXPECT_EQ(g_seen.draws[0].action, ODA_FOCUS);
  EXPECT_EQ(g_seen.draws[0].state, ODS_FOCUS);
  EXPECT_EQ(g_seen.draws[1].action, ODA_SELECT);
  EXPECT_EQ(g_seen.draws[1].state, ODS_SELECTED | ODS_FOCUS);
  EXPECT_EQ(usertest::clientPixel(button, 3, 3), GetSysColor(COLOR_HIGHLIGHT));  // the owner drew into the window
  EXPECT_TRUE(g_seen.commands.empty());
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_EQ(g_seen.draws.size(), 3u);
  EXPECT_EQ(g_seen.draws[2].action, ODA_SELECT);
  EXPECT_EQ(g_seen.draws[2].state, ODS_FOCUS);
  ASSERT_EQ(g_seen.commands.size(), 1u);
  EXPECT_EQ(g_seen.commands[0], MAKEWPARAM(10, BN_CLICKED));
  // Released outside: no click.
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 5));
  SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  EXPECT_EQ(g_seen.commands.size(), 1u);
  // Disabled, it is drawn so.
  EnableWindow(button, FALSE);
  g_seen.draws.clear();
  usertest::pump();
  ASSERT_FALSE(g_seen.draws.empty());
  EXPECT_TRUE(g_seen.draws.back().state & ODS_DISABLED);
}

TEST_F(ControlTest, AStaticControlPaintsWithThePartentsBrushOrLetsThePageShowThrough) {
  HBRUSH green = CreateSolidBrush(kGreen);
  g_seen.staticBrush = green;
  open({{kStatic, u"", 20, SS_LEFT, 10, 10, 60, 20}});
  EXPECT_EQ(usertest::clientPixel(item(20), 5, 5), kGreen);
  EXPECT_EQ(usertest::clientPixel(m_dialog, 2, 2), kRed);  // the page around it
  // The hollow brush with a transparent mode: the page's own pixels stay.
  g_seen.staticBrush = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
  g_seen.transparentStatic = true;
  InvalidateRect(m_dialog, nullptr, TRUE);
  usertest::pump();
  EXPECT_EQ(usertest::clientPixel(item(20), 5, 5), kRed);
  DeleteObject(green);
}

TEST_F(ControlTest, TextOfAStaticIsDrawnInTheColourThePageSets) {
  g_seen.staticBrush = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
  g_seen.transparentStatic = true;
  open({{kStatic, u"WWWW", 21, SS_LEFT, 10, 10, 60, 20}});
  auto picture = winsim::captureWindow(item(21));
  ASSERT_TRUE(picture.ok());
  int white = 0;
  for (int y = 0; y < picture.value()->height(); ++y)
    for (int x = 0; x < picture.value()->width(); ++x)
      if (const COLORREF c = winsim::colorFromPixel(picture.value()->pixel(x, y));
          GetRValue(c) > 230 && GetGValue(c) > 150 && GetBValue(c) > 150)
        ++white;
  EXPECT_GT(white, 20);  // white text on the red page
}

TEST_F(ControlTest, AnEditControlTakesTypedTextAndReportsChanges) {
  open({{kEdit, u"", 30, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 100, 14}});
  HWND edit = item(30);
  SetFocus(edit);
  g_seen.commands.clear();
  for (char16_t c : std::u16string(u"D:\\Apps")) SendMessageW(edit, WM_CHAR, c, 1);
  WCHAR text[32];
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"D:\\Apps");
  int changes = 0;
  for (WPARAM w : g_seen.commands)
    if (w == MAKEWPARAM(30, EN_CHANGE)) ++changes;
  EXPECT_EQ(changes, 7);
  // Select "Apps" and replace it; backspace removes one character.
  SendMessageW(edit, EM_SETSEL, 3, -1);
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 3u);
  EXPECT_EQ(end, 7u);
  SendMessageW(edit, WM_CHAR, u'X', 1);
  SendMessageW(edit, WM_CHAR, VK_BACK, 1);
  SendMessageW(edit, WM_CHAR, u'Y', 1);
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"D:\\Y");
  // The sunken edge of a template's bordered edit control.
  EXPECT_TRUE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
  SendMessageW(edit, WM_CHAR, u'Z', 1);
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"D:\\Y");
}

TEST_F(ControlTest, AutoCheckBoxesToggleOnClick) {
  open({{kButton, u"Tick", 40, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 10, 60, 12}});
  HWND box = item(40);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(m_dialog, 40), BST_CHECKED);
  CheckDlgButton(m_dialog, 40, BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(m_dialog, 40), BST_UNCHECKED);
  EXPECT_EQ(g_seen.commands.back(), MAKEWPARAM(40, BN_CLICKED));
}

TEST_F(ControlTest, ABitmapStaticStretchesItsPictureWithRealSizeControl) {
  open({{kStatic, u"", 50, SS_BITMAP | SS_REALSIZECONTROL, 10, 10, 40, 40}});
  // A 2 x 2 picture: red, green above; blue, white below.
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  auto* p = static_cast<std::uint32_t*>(bits);
  p[0] = 0xFF0000;
  p[1] = 0x00FF00;
  p[2] = 0x0000FF;
  p[3] = 0xFFFFFF;
  SendMessageW(item(50), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  usertest::pump();
  RECT r{};
  GetClientRect(item(50), &r);
  EXPECT_GT(r.right, 20);  // the control kept its own size
  EXPECT_EQ(usertest::clientPixel(item(50), 2, 2), RGB(255, 0, 0));
  EXPECT_EQ(usertest::clientPixel(item(50), r.right - 2, 2), RGB(0, 255, 0));
  EXPECT_EQ(usertest::clientPixel(item(50), 2, r.bottom - 2), RGB(0, 0, 255));
  EXPECT_EQ(usertest::clientPixel(item(50), r.right - 2, r.bottom - 2), RGB(255, 255, 255));
  DeleteObject(bitmap);
}

TEST_F(ControlTest, AProgressBarKeepsItsRangeAndFillsItsDonePart) {
  open({});
  HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, u"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 10, 10, 102, 12, m_dialog,
                             reinterpret_cast<HMENU>(60), nullptr, nullptr);
  ASSERT_NE(bar, nullptr);
  SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 8));
  EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 4, 0), 0);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 4);
  PBRANGE range{};
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)), 8);
  EXPECT_EQ(range.iLow, 0);
  usertest::pump();
  EXPECT_EQ(usertest::clientPixel(bar, 20, 6), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(usertest::clientPixel(bar, 80, 6), GetSysColor(COLOR_BTNFACE));
  SendMessageW(bar, PBM_SETSTEP, 3, 0);
  SendMessageW(bar, PBM_STEPIT, 0, 0);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 7);
  SendMessageW(bar, PBM_STEPIT, 0, 0);  // past the end it starts over
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 2);
  SendMessageW(bar, PBM_SETRANGE32, 10, 20);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 10);
}

TEST_F(ControlTest, ATrackbarMovesAndTellsItsParent) {
  open({});
  HWND track = CreateWindowExW(0, TRACKBAR_CLASSW, u"", WS_CHILD | WS_VISIBLE, 10, 10, 116, 30, m_dialog,
                               reinterpret_cast<HMENU>(70), nullptr, nullptr);
  SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  SendMessageW(track, TBM_SETPOS, TRUE, 4);
  EXPECT_EQ(SendMessageW(track, TBM_GETPOS, 0, 0), 4);
  EXPECT_EQ(SendMessageW(track, TBM_GETRANGEMAX, 0, 0), 10);
  SendMessageW(track, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(108, 15));  // the far end
  EXPECT_EQ(SendMessageW(track, TBM_GETPOS, 0, 0), 10);
  ASSERT_EQ(g_seen.scrolls.size(), 2u);
  EXPECT_EQ(g_seen.scrolls[0], MAKEWPARAM(TB_THUMBPOSITION, 10));
  EXPECT_EQ(LOWORD(g_seen.scrolls[1]), TB_ENDTRACK);
}

struct Stream {
  std::string bytes;
  std::size_t at = 0;
};
DWORD readStream(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
  auto* s = reinterpret_cast<Stream*>(cookie);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(cb), s->bytes.size() - s->at);
  std::copy_n(s->bytes.data() + s->at, n, buffer);
  s->at += n;
  *pcb = static_cast<LONG>(n);
  return 0;
}

TEST_F(ControlTest, ARichEditControlStreamsRichTextInAndShowsItInItsDefaultColour) {
  open({});
  HWND rich = CreateWindowExW(WS_EX_TRANSPARENT, RICHEDIT_CLASSW, u"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10,
                              200, 80, m_dialog, reinterpret_cast<HMENU>(80), nullptr, nullptr);
  ASSERT_NE(rich, nullptr);
  Stream stream{"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Licence \\b terms\\b0\\par Second line}"};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&stream), 0, readStream};
  EXPECT_GT(SendMessageW(rich, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es)), 0);
  EXPECT_EQ(es.dwError, 0u);
  WCHAR text[64];
  GetWindowTextW(rich, text, 64);
  EXPECT_EQ(std::u16string(text), u"Licence terms\r\nSecond line");
  // The default format: its automatic colour off, white text.
  CHARFORMATW cf{};
  cf.cbSize = sizeof cf;
  SendMessageW(rich, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  EXPECT_TRUE(cf.dwEffects & CFE_AUTOCOLOR);
  cf.dwMask = CFM_COLOR;
  cf.dwEffects &= ~CFE_AUTOCOLOR;
  cf.crTextColor = RGB(255, 255, 255);
  EXPECT_TRUE(SendMessageW(rich, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf)));
  usertest::pump();
  auto picture = winsim::captureWindow(rich);
  ASSERT_TRUE(picture.ok());
  int white = 0, red = 0;
  for (int y = 0; y < picture.value()->height(); ++y)
    for (int x = 0; x < picture.value()->width(); ++x) {
      const COLORREF c = winsim::colorFromPixel(picture.value()->pixel(x, y) & 0xFFFFFF);
      white += c == RGB(255, 255, 255);
      red += c == kRed;
    }
  EXPECT_GT(white, 30);
  EXPECT_GT(red, 1000);  // transparent: the page shows around the text
  // A plain text stream.
  Stream plain{"one\r\ntwo"};
  EDITSTREAM ps{reinterpret_cast<DWORD_PTR>(&plain), 0, readStream};
  SendMessageW(rich, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&ps));
  GetWindowTextW(rich, text, 64);
  EXPECT_EQ(std::u16string(text), u"one\r\ntwo");
}

}  // namespace
