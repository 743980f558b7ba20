// Message maps: each message reaches the handler its map names with the
// parameters decoded as the class library's handlers take them; a derived
// map comes before its base's; what no entry takes gets the window's own
// processing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afxwin.h"
#include "testing/tempmachine.h"

namespace {

/// What a handler saw, written out as text so a table can name it.
std::vector<std::string> g_calls;

std::string handle(const CWnd* window) {
  if (!window) return "null";
  return window->GetSafeHwnd() ? "wnd" : "empty";
}

void record(const std::string& call) { g_calls.push_back(call); }

class CProbeWnd : public CWnd {
 public:
  const CMessageMap& GetMessageMap() const override;

  HWND m_other = nullptr;  // the window the tests name in parameters
  HBRUSH m_brush = nullptr;

  std::string nameOf(const CWnd* window) const {
    if (!window) return "null";
    if (window == this) return "self";
    if (window->GetSafeHwnd() == m_other) return "other";
    return handle(window);
  }

  afx_msg void OnSize(UINT nType, int cx, int cy) {
    record("size " + std::to_string(nType) + " " + std::to_string(cx) + " " + std::to_string(cy));
  }
  afx_msg void OnMove(int x, int y) { record("move " + std::to_string(x) + " " + std::to_string(y)); }
  afx_msg void OnMouseMove(UINT nFlags, CPoint point) {
    record("mousemove " + std::to_string(nFlags) + " " + std::to_string(point.x) + " " + std::to_string(point.y));
  }
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point) {
    record("ldown " + std::to_string(nFlags) + " " + std::to_string(point.x) + " " + std::to_string(point.y));
  }
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point) {
    record("lup " + std::to_string(nFlags) + " " + std::to_string(point.x) + " " + std::to_string(point.y));
  }
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point) {
    record("ldbl " + std::to_string(nFlags) + " " + std::to_string(point.x) + " " + std::to_string(point.y));
  }
  afx_msg void OnMouseLeave() { record("leave"); }
  afx_msg void OnTimer(UINT_PTR nIDEvent) { record("timer " + std::to_string(nIDEvent)); }
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    record("setcursor " + nameOf(pWnd) + " " + std::to_string(nHitTest) + " " + std::to_string(message));
    return TRUE;
  }
  afx_msg BOOL OnEraseBkgnd(CDC* pDC) {
    record(std::string("erase ") + (pDC && pDC->GetSafeHdc() ? "dc" : "none"));
    return 7;
  }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    record("ctlcolor " + std::string(pDC && pDC->GetSafeHdc() ? "dc " : "none ") + nameOf(pWnd) + " " +
           std::to_string(nCtlColor));
    return m_brush;
  }
  afx_msg void OnKillFocus(CWnd* pNewWnd) { record("killfocus " + nameOf(pNewWnd)); }
  afx_msg void OnSetFocus(CWnd* pOldWnd) { record("setfocus " + nameOf(pOldWnd)); }
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    record("activate " + std::to_string(nState) + " " + nameOf(pWndOther) + " " + std::to_string(bMinimized));
  }
  afx_msg void OnEnable(BOOL bEnable) { record("enable " + std::to_string(bEnable)); }
  afx_msg void OnCancelMode() { record("cancelmode"); }
  afx_msg UINT OnGetDlgCode() {
    record("getdlgcode");
    return DLGC_WANTARROWS | DLGC_BUTTON;
  }
  afx_msg void OnSysColorChange() { record("syscolorchange"); }
  afx_msg BOOL OnQueryNewPalette() {
    record("querynewpalette");
    return TRUE;
  }
  afx_msg void OnPaletteChanged(CWnd* pFocusWnd) { record("palettechanged " + nameOf(pFocusWnd)); }
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
    record("minmax");
    lpMMI->ptMinTrackSize = POINT{710, 446};
  }
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    record("keydown " + std::to_string(nChar) + " " + std::to_string(nRepCnt) + " " + std::to_string(nFlags));
  }
  afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
    record("menuchar " + std::to_string(nChar) + " " + std::to_string(nFlags) + " " +
           (pMenu && pMenu->GetSafeHmenu() ? "menu" : "none"));
    return MAKELRESULT(2, MNC_EXECUTE);
  }
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    record("drawitem " + std::to_string(nIDCtl) + " " + std::to_string(lpDrawItemStruct->CtlID));
  }
  afx_msg LRESULT OnUserMessage(WPARAM wParam, LPARAM lParam) {
    record("user " + std::to_string(wParam) + " " + std::to_string(lParam));
    return static_cast<LRESULT>(wParam) + lParam;
  }
  afx_msg void OnBrowse() { record("browse"); }
  afx_msg void OnLink() { record("link"); }
  afx_msg void OnChoice(UINT nID) { record("choice " + std::to_string(nID)); }
};

const CMessageMap& CProbeWnd::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CProbeWnd>(CWnd::GetMessageMap())
                                     .on<WM_SIZE>(&CProbeWnd::OnSize)
                                     .on<WM_MOVE>(&CProbeWnd::OnMove)
                                     .on<WM_MOUSEMOVE>(&CProbeWnd::OnMouseMove)
                                     .on<WM_LBUTTONDOWN>(&CProbeWnd::OnLButtonDown)
                                     .on<WM_LBUTTONUP>(&CProbeWnd::OnLButtonUp)
                                     .on<WM_LBUTTONDBLCLK>(&CProbeWnd::OnLButtonDblClk)
                                     .on<WM_MOUSELEAVE>(&CProbeWnd::OnMouseLeave)
                                     .on<WM_TIMER>(&CProbeWnd::OnTimer)
                                     .on<WM_SETCURSOR>(&CProbeWnd::OnSetCursor)
                                     .on<WM_ERASEBKGND>(&CProbeWnd::OnEraseBkgnd)
                                     .on<WM_CTLCOLOR>(&CProbeWnd::OnCtlColor)
                                     .on<WM_KILLFOCUS>(&CProbeWnd::OnKillFocus)
                                     .on<WM_SETFOCUS>(&CProbeWnd::OnSetFocus)
                                     .on<WM_ACTIVATE>(&CProbeWnd::OnActivate)
                                     .on<WM_ENABLE>(&CProbeWnd::OnEnable)
                                     .on<WM_CANCELMODE>(&CProbeWnd::OnCancelMode)
                                     .on<WM_GETDLGCODE>(&CProbeWnd::OnGetDlgCode)
                                     .on<WM_SYSCOLORCHANGE>(&CProbeWnd::OnSysColorChange)
                                     .on<WM_QUERYNEWPALETTE>(&CProbeWnd::OnQueryNewPalette)
                                     .on<WM_PALETTECHANGED>(&CProbeWnd::OnPaletteChanged)
                                     .on<WM_GETMINMAXINFO>(&CProbeWnd::OnGetMinMaxInfo)
                                     .on<WM_KEYDOWN>(&CProbeWnd::OnKeyDown)
                                     .on<WM_MENUCHAR>(&CProbeWnd::OnMenuChar)
                                     .on<WM_DRAWITEM>(&CProbeWnd::OnDrawItem)
                                     .onMessage(WM_USER + 7, &CProbeWnd::OnUserMessage)
                                     .onBnClicked(1024, &CProbeWnd::OnBrowse)
                                     .onStnClicked(1020, &CProbeWnd::OnLink)
                                     .onCommandRange(1012, 1014, &CProbeWnd::OnChoice);
  return map;
}

class MessageMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    ASSERT_TRUE(m_window.CreateEx(0, nullptr, u"Probe", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr));
    m_other =
        CreateWindowExW(0, u"Static", u"other", WS_CHILD, 0, 0, 10, 10, m_window.m_hWnd, nullptr, nullptr, nullptr);
    m_window.m_other = m_other;
    m_brush = CreateSolidBrush(RGB(1, 2, 3));
    m_window.m_brush = m_brush;
    m_dc = CreateCompatibleDC(nullptr);
    m_menu = CreatePopupMenu();
    g_calls.clear();
  }
  void TearDown() override {
    m_window.DestroyWindow();
    DestroyMenu(m_menu);
    DeleteDC(m_dc);
    DeleteObject(m_brush);
  }

  winsim::testing::TempMachine m_machine;
  CProbeWnd m_window;
  HWND m_other = nullptr;
  HBRUSH m_brush = nullptr;
  HDC m_dc = nullptr;
  HMENU m_menu = nullptr;
};

TEST_F(MessageMapTest, EachMessageReachesItsHandlerWithDecodedParameters) {
  const auto w = [](auto* value) { return reinterpret_cast<WPARAM>(value); };
  const auto l = [](auto* value) { return reinterpret_cast<LPARAM>(value); };
  const WORD minus3 = static_cast<WORD>(-3);
  struct Case {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string call;
    LRESULT result;
  } cases[] = {
      {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(200, 100), "size 2 200 100", 0},
      {WM_MOVE, 0, MAKELPARAM(minus3, 40), "move -3 40", 0},
      {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(minus3, 7), "mousemove 5 -3 7", 0},
      {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20), "ldown 1 10 20", 0},
      {WM_LBUTTONUP, 0, MAKELPARAM(11, 21), "lup 0 11 21", 0},
      {WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 2), "ldbl 1 1 2", 0},
      {WM_MOUSELEAVE, 0, 0, "leave", 0},
      {WM_TIMER, 42, 0, "timer 42", 0},
      {WM_SETCURSOR, w(m_other), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), "setcursor other 1 512", TRUE},
      {WM_ERASEBKGND, w(m_dc), 0, "erase dc", 7},
      {WM_CTLCOLORSTATIC, w(m_dc), l(m_other), "ctlcolor dc other 6", reinterpret_cast<LRESULT>(m_brush)},
      {WM_CTLCOLORBTN, w(m_dc), l(m_other), "ctlcolor dc other 3", reinterpret_cast<LRESULT>(m_brush)},
      {WM_CTLCOLORDLG, w(m_dc), l(m_window.m_hWnd), "ctlcolor dc self 4", reinterpret_cast<LRESULT>(m_brush)},
      {WM_KILLFOCUS, w(m_other), 0, "killfocus other", 0},
      {WM_SETFOCUS, 0, 0, "setfocus null", 0},
      {WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), l(m_other), "activate 2 other 1", 0},
      {WM_ENABLE, FALSE, 0, "enable 0", 0},
      {WM_CANCELMODE, 0, 0, "cancelmode", 0},
      {WM_GETDLGCODE, 0, 0, "getdlgcode", DLGC_WANTARROWS | DLGC_BUTTON},
      {WM_SYSCOLORCHANGE, 0, 0, "syscolorchange", 0},
      {WM_QUERYNEWPALETTE, 0, 0, "querynewpalette", TRUE},
      {WM_PALETTECHANGED, w(m_other), 0, "palettechanged other", 0},
      {WM_KEYDOWN, VK_DOWN, 0x00500001, "keydown 40 1 80", 0},
      {WM_MENUCHAR, MAKEWPARAM(u'a', 0x10), l(m_menu), "menuchar 97 16 menu", MAKELRESULT(2, MNC_EXECUTE)},
      {WM_USER + 7, 5, 6, "user 5 6", 11},
      {WM_COMMAND, MAKEWPARAM(1024, BN_CLICKED), l(m_other), "browse", 1},
      {WM_COMMAND, MAKEWPARAM(1020, STN_CLICKED), 0, "link", 1},
      {WM_COMMAND, MAKEWPARAM(1013, 0), 0, "choice 1013", 1},
  };
  for (const Case& c : cases) {
    g_calls.clear();
    const LRESULT result = m_window.SendMessage(c.message, c.wParam, c.lParam);
    ASSERT_EQ(g_calls.size(), 1u) << c.call;
    EXPECT_EQ(g_calls[0], c.call);
    EXPECT_EQ(result, c.result) << c.call;
  }

  MINMAXINFO info{};
  g_calls.clear();
  m_window.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 710);
  EXPECT_EQ(info.ptMinTrackSize.y, 446);

  DRAWITEMSTRUCT item{ODT_BUTTON, 77, 0, ODA_DRAWENTIRE, 0, m_other, m_dc, RECT{}, 0};
  g_calls.clear();
  EXPECT_EQ(m_window.SendMessage(WM_DRAWITEM, 77, reinterpret_cast<LPARAM>(&item)), TRUE);
  EXPECT_EQ(g_calls, std::vector<std::string>{"drawitem 77 77"});
}

TEST_F(MessageMapTest, WhatNoEntryTakesGetsTheWindowsOwnProcessing) {
  // No entry: WM_SETTEXT goes on to the default procedure, which keeps it.
  m_window.SetWindowText(u"Renamed");
  CString text;
  m_window.GetWindowText(text);
  EXPECT_EQ(text, u"Renamed");
  EXPECT_TRUE(g_calls.empty());
  // Commands without an entry are not handled (0).
  EXPECT_EQ(m_window.SendMessage(WM_COMMAND, MAKEWPARAM(1999, BN_CLICKED), 0), 0);
  EXPECT_EQ(m_window.SendMessage(WM_COMMAND, MAKEWPARAM(1024, BN_DOUBLECLICKED), 0), 0);
  EXPECT_EQ(m_window.SendMessage(WM_COMMAND, MAKEWPARAM(1015, 0), 0), 0);  // past the range
  EXPECT_TRUE(g_calls.empty());
}

/// A derived class: its own OnTimer first; its WM_SIZE handler gives the
/// message to the base class's handler as well.
class CDerivedWnd : public CProbeWnd {
 public:
  const CMessageMap& GetMessageMap() const override;
  afx_msg void OnTimer(UINT_PTR nIDEvent) { record("derived timer " + std::to_string(nIDEvent)); }
  afx_msg void OnSize(UINT nType, int cx, int cy) {
    record("derived size");
    CProbeWnd::OnSize(nType, cx, cy);
  }
};

const CMessageMap& CDerivedWnd::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CDerivedWnd>(CProbeWnd::GetMessageMap())
                                     .on<WM_TIMER>(&CDerivedWnd::OnTimer)
                                     .on<WM_SIZE>(&CDerivedWnd::OnSize);
  return map;
}

TEST_F(MessageMapTest, ADerivedMapComesBeforeItsBase) {
  CDerivedWnd derived;
  ASSERT_TRUE(derived.CreateEx(0, nullptr, u"Derived", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  g_calls.clear();
  derived.SendMessage(WM_TIMER, 3);
  derived.SendMessage(WM_SIZE, 0, MAKELPARAM(5, 6));
  derived.SendMessage(WM_MOUSELEAVE);  // only the base has an entry
  const std::vector<std::string> expected{"derived timer 3", "derived size", "size 0 5 6", "leave"};
  EXPECT_EQ(g_calls, expected);
  EXPECT_EQ(derived.GetRuntimeClass(), RUNTIME_CLASS(CWnd));  // it declares no run-time class of its own
  EXPECT_TRUE(derived.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
}

/// An edit control whose object handles WM_CHAR and then gives it to the
/// control itself with Default().
class CUpperEdit : public CEdit {
 public:
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map = CMessageMapOf<CUpperEdit>(CEdit::GetMessageMap()).on<WM_CHAR>(&CUpperEdit::OnChar);
    return map;
  }
  afx_msg void OnChar(UINT nChar, UINT, UINT) {
    ++m_seen;
    if (nChar != u'x') Default();  // an "x" never reaches the control
  }
  int m_seen = 0;
};

TEST_F(MessageMapTest, DefaultGivesTheMessageToTheSubclassedProcedure) {
  HWND edit = CreateWindowExW(0, u"Edit", u"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, m_window.m_hWnd, nullptr, nullptr,
                              nullptr);
  CUpperEdit object;
  ASSERT_TRUE(object.SubclassWindow(edit));
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), &object);
  EXPECT_FALSE(CUpperEdit().SubclassWindow(edit));  // a window has one object
  for (char16_t c : std::u16string(u"axb")) SendMessageW(edit, WM_CHAR, c, 1);
  EXPECT_EQ(object.m_seen, 3);
  CString text;
  object.GetWindowText(text);
  EXPECT_EQ(text, u"ab");
  // Unsubclassed, the control is on its own again.
  EXPECT_EQ(object.UnsubclassWindow(), edit);
  SendMessageW(edit, WM_CHAR, u'x', 1);
  EXPECT_EQ(object.m_seen, 3);
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
  DestroyWindow(edit);
}

TEST_F(MessageMapTest, TemporaryObjectsStandForWindowsTheLibraryDidNotAttach) {
  CWnd* temporary = CWnd::FromHandle(m_other);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(temporary->GetSafeHwnd(), m_other);
  EXPECT_EQ(CWnd::FromHandle(m_other), temporary);  // the same object while it lives
  EXPECT_EQ(CWnd::FromHandlePermanent(m_other), nullptr);
  EXPECT_EQ(CWnd::FromHandle(m_window.m_hWnd), &m_window);
  EXPECT_EQ(m_window.GetDlgItem(99), nullptr);  // no child has that id
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
  // Attach records the pair without taking the window's messages.
  CWnd attached;
  ASSERT_TRUE(attached.Attach(m_other));
  EXPECT_EQ(CWnd::FromHandle(m_other), &attached);
  EXPECT_EQ(attached.Detach(), m_other);
  EXPECT_TRUE(::IsWindow(m_other));
  // An object that goes while it has its window destroys the window.
  {
    CWnd owner;
    ASSERT_TRUE(owner.Attach(m_other));
  }
  EXPECT_FALSE(::IsWindow(m_other));
}

}  // namespace
