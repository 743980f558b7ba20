#include <gtest/gtest.h>

#include <string>

#include "usertesthelpers.h"
#include "win32/errors.h"
#include "win32/user.h"

namespace {

using usertest::journal;
using usertest::messagesOf;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    usertest::registerRecorder();
    journal().clear();
  }
  void TearDown() override {
    for (HWND h : m_windows)
      if (IsWindow(h)) DestroyWindow(h);
    usertest::pump();
  }
  HWND make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr, int id = 0, DWORD ex = 0) {
    HWND hwnd = CreateWindowExW(ex, u"Recorder", u"Title", style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    EXPECT_NE(hwnd, nullptr);
    m_windows.push_back(hwnd);
    return hwnd;
  }
  std::vector<HWND> m_windows;
};

TEST_F(WindowTest, CreationSendsItsMessagesInOrder) {
  HWND top = make(WS_POPUP | WS_VISIBLE, 10, 20, 200, 100);
  const std::vector<UINT> expected{WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW};
  const auto seen = messagesOf(top, {WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW});
  EXPECT_EQ(seen, expected);
  HWND child = make(WS_CHILD | WS_VISIBLE, 5, 5, 50, 20, top, 7);
  const auto childSeen = messagesOf(child, {WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE});
  EXPECT_EQ(childSeen, (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
  // The parent hears of its child.
  bool notified = false;
  for (const auto& e : journal())
    if (e.hwnd == top && e.message == WM_PARENTNOTIFY && LOWORD(e.wParam) == WM_CREATE && HIWORD(e.wParam) == 7)
      notified = true;
  EXPECT_TRUE(notified);
}

TEST_F(WindowTest, DestructionGoesParentFirstThenChildrenThenNcDestroyUpwards) {
  HWND top = make(WS_POPUP, 0, 0, 100, 100);
  HWND a = make(WS_CHILD, 0, 0, 10, 10, top, 1);
  HWND b = make(WS_CHILD, 0, 0, 10, 10, top, 2);
  journal().clear();
  ASSERT_TRUE(DestroyWindow(top));
  std::vector<std::pair<HWND, UINT>> order;
  for (const auto& e : journal())
    if (e.message == WM_DESTROY || e.message == WM_NCDESTROY) order.emplace_back(e.hwnd, e.message);
  const std::vector<std::pair<HWND, UINT>> expected{{top, WM_DESTROY}, {a, WM_DESTROY},   {a, WM_NCDESTROY},
                                                    {b, WM_DESTROY},   {b, WM_NCDESTROY}, {top, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(a));
  EXPECT_FALSE(IsWindow(b));
}

TEST_F(WindowTest, TreeRelationsFollowCreationOrder) {
  HWND top = make(WS_POPUP, 0, 0, 100, 100);
  HWND first = make(WS_CHILD, 0, 0, 10, 10, top, 11);
  HWND second = make(WS_CHILD, 0, 0, 10, 10, top, 12);
  HWND owned = make(WS_POPUP, 0, 0, 10, 10, first);
  EXPECT_EQ(GetParent(first), top);
  EXPECT_EQ(GetWindow(top, GW_CHILD), first);
  EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
  EXPECT_EQ(GetWindow(second, GW_HWNDPREV), first);
  EXPECT_EQ(GetDlgItem(top, 12), second);
  EXPECT_EQ(GetDlgCtrlID(second), 12);
  EXPECT_EQ(GetDlgItem(top, 99), nullptr);
  EXPECT_TRUE(IsChild(top, second));
  EXPECT_FALSE(IsChild(second, top));
  // A popup's parent is its owner, the top-level window of the one given.
  EXPECT_EQ(GetWindow(owned, GW_OWNER), top);
  EXPECT_EQ(GetParent(owned), top);
  WCHAR name[32];
  EXPECT_EQ(GetClassNameW(first, name, 32), 8);
  EXPECT_EQ(std::u16string(name), u"Recorder");
}

TEST_F(WindowTest, RectanglesAndCoordinatesAddUp) {
  // A captioned window: 3-pixel dialog frame, 22-pixel caption.
  HWND top = make(WS_POPUP | WS_CAPTION, 100, 50, 300, 200);
  RECT window{}, client{};
  GetWindowRect(top, &window);
  GetClientRect(top, &client);
  EXPECT_EQ(window.left, 100);
  EXPECT_EQ(window.top, 50);
  EXPECT_EQ(window.right, 400);
  EXPECT_EQ(window.bottom, 250);
  EXPECT_EQ(client.right, 300 - 6);
  EXPECT_EQ(client.bottom, 200 - 6 - 22);
  POINT origin{0, 0};
  ClientToScreen(top, &origin);
  EXPECT_EQ(origin.x, 103);
  EXPECT_EQ(origin.y, 75);

  HWND child = make(WS_CHILD | WS_BORDER, 10, 20, 50, 40, top, 1);
  RECT childWindow{};
  GetWindowRect(child, &childWindow);
  EXPECT_EQ(childWindow.left, 113);
  EXPECT_EQ(childWindow.top, 95);
  POINT p{0, 0};
  ClientToScreen(child, &p);
  EXPECT_EQ(p.x, 114);  // one pixel of border
  EXPECT_EQ(p.y, 96);
  ScreenToClient(top, &p);
  EXPECT_EQ(p.x, 11);
  EXPECT_EQ(p.y, 21);
  POINT pts[2] = {{0, 0}, {5, 5}};
  MapWindowPoints(child, top, pts, 2);
  EXPECT_EQ(pts[0].x, 11);
  EXPECT_EQ(pts[1].y, 26);

  ASSERT_TRUE(MoveWindow(child, 30, 40, 20, 10, TRUE));
  GetWindowRect(child, &childWindow);
  EXPECT_EQ(childWindow.left, 133);
  EXPECT_EQ(childWindow.right, 153);
  bool sized = false;
  for (const auto& e : journal())
    if (e.hwnd == child && e.message == WM_SIZE && LOWORD(e.lParam) == 18 && HIWORD(e.lParam) == 8) sized = true;
  EXPECT_TRUE(sized);

  RECT adjusted{0, 0, 100, 100};
  AdjustWindowRectEx(&adjusted, WS_CAPTION, FALSE, 0);
  EXPECT_EQ(adjusted.left, -3);
  EXPECT_EQ(adjusted.top, -25);
}

TEST_F(WindowTest, VisibilityEnableAndText) {
  HWND top = make(WS_POPUP, 0, 0, 100, 100);
  HWND child = make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, 1);
  EXPECT_FALSE(IsWindowVisible(child));  // its parent is hidden
  ShowWindow(top, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_FALSE(EnableWindow(child, FALSE));  // it was enabled
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_TRUE(EnableWindow(child, TRUE));
  EXPECT_EQ(messagesOf(child, {WM_CANCELMODE, WM_ENABLE}), (std::vector<UINT>{WM_CANCELMODE, WM_ENABLE, WM_ENABLE}));
  ASSERT_TRUE(SetWindowTextW(child, u"Hello"));
  EXPECT_EQ(GetWindowTextLengthW(child), 5);
  WCHAR text[4];
  EXPECT_EQ(GetWindowTextW(child, text, 4), 3);  // cut to the buffer, terminated
  EXPECT_EQ(std::u16string(text), u"Hel");
}

LRESULT g_calls = 0;
WNDPROC g_previous = nullptr;
LRESULT subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 5) return 42;
  ++g_calls;
  return CallWindowProcW(g_previous, hwnd, message, wParam, lParam);
}

TEST_F(WindowTest, SubclassingReplacesTheProcedure) {
  HWND top = make(WS_POPUP, 0, 0, 100, 100);
  g_previous =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));
  EXPECT_EQ(g_previous, usertest::recorderProc);
  EXPECT_EQ(SendMessageW(top, WM_USER + 5, 0, 0), 42);
  journal().clear();
  SetWindowTextW(top, u"x");
  EXPECT_GE(g_calls, 1);
  EXPECT_EQ(messagesOf(top, {WM_SETTEXT}).size(), 1u);  // the old procedure still ran
  SetWindowLongPtrW(top, GWLP_USERDATA, 1234);
  EXPECT_EQ(GetWindowLongPtrW(top, GWLP_USERDATA), 1234);
  EXPECT_EQ(GetWindowLongPtrW(top, 64), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
}

TEST_F(WindowTest, PropertiesAreKeptByName) {
  HWND top = make(WS_POPUP, 0, 0, 10, 10);
  int value = 0;
  EXPECT_TRUE(SetPropW(top, u"Owner", &value));
  EXPECT_EQ(GetPropW(top, u"OWNER"), &value);
  EXPECT_EQ(RemovePropW(top, u"owner"), &value);
  EXPECT_EQ(GetPropW(top, u"Owner"), nullptr);
}

TEST_F(WindowTest, ClassesAreRegisteredOnce) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = u"Recorder";
  EXPECT_EQ(RegisterClassExW(&wc), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
  EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
  EXPECT_EQ(CreateWindowExW(0, u"Recorder", u"", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);
  WNDCLASSEXW info{};
  EXPECT_NE(GetClassInfoExW(nullptr, u"button", &info), 0);  // system classes, any case
}

TEST_F(WindowTest, PaintingFillsTheClassBackgroundIntoTheWindowPicture) {
  HWND top = make(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
  usertest::pump();
  EXPECT_EQ(usertest::pixelOf(top, 5, 5), GetSysColor(COLOR_WINDOW));
  // WM_PAINT came once, after WM_ERASEBKGND from BeginPaint.
  const auto paints = messagesOf(top, {WM_PAINT, WM_ERASEBKGND});
  EXPECT_EQ(paints, (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
  journal().clear();
  EXPECT_EQ(usertest::pump(), 0);  // nothing left to paint
  RECT part{0, 0, 10, 10};
  InvalidateRect(top, &part, TRUE);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
  EXPECT_EQ(update.right, 10);
  ValidateRect(top, nullptr);
  EXPECT_FALSE(GetUpdateRect(top, &update, FALSE));
}

TEST_F(WindowTest, FocusMovesWithItsMessages) {
  HWND top = make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND a = make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, 1);
  HWND b = make(WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, top, 2);
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(GetForegroundWindow(), top);
  SetFocus(a);
  journal().clear();
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(GetFocus(), b);
  ASSERT_EQ(messagesOf(a, {WM_KILLFOCUS}).size(), 1u);
  ASSERT_EQ(messagesOf(b, {WM_SETFOCUS}).size(), 1u);
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(GetFocus(), nullptr);  // a hidden window keeps no focus
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(GetCapture(), a);
  ReleaseCapture();
  EXPECT_EQ(messagesOf(a, {WM_CAPTURECHANGED}).size(), 1u);
}

TEST_F(WindowTest, WindowFromPointFindsTheDeepestChild) {
  HWND top = make(WS_POPUP | WS_VISIBLE, 200, 200, 100, 100);
  HWND child = make(WS_CHILD | WS_VISIBLE, 10, 10, 30, 30, top, 1);
  EXPECT_EQ(WindowFromPoint(POINT{215, 215}), child);
  EXPECT_EQ(WindowFromPoint(POINT{280, 280}), top);
  EXPECT_EQ(WindowFromPoint(POINT{5, 5}), GetDesktopWindow());
  EXPECT_EQ(ChildWindowFromPoint(top, POINT{15, 15}), child);
  RECT r{0, 0, 10, 10};
  EXPECT_TRUE(PtInRect(&r, POINT{9, 9}));
  EXPECT_FALSE(PtInRect(&r, POINT{10, 9}));
}

}  // namespace
