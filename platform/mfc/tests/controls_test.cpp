// The control classes over the USER layer's controls: the edit box's
// selection and limit, the progress bar's range and steps, the rich-edit
// control streaming a licence text in and taking a default format, a check
// box's state; and the window device contexts painting.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "afxcmn.h"
#include "testing/tempmachine.h"
#include "winsim/windowing.h"

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_parent.CreateEx(0, nullptr, u"Parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
  }
  void TearDown() override { m_parent.DestroyWindow(); }
  static void pump() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  static COLORREF pixel(HWND hwnd, int x, int y) {
    auto picture = winsim::captureWindow(hwnd);
    if (!picture) return CLR_INVALID;
    return winsim::colorFromPixel(picture.value()->pixel(x, y) & 0xFFFFFF);
  }

  winsim::testing::TempMachine m_machine;
  CWnd m_parent;
};

TEST_F(ControlsTest, AnEditBoxSelectsReplacesAndLimits) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(5, 5, 200, 25), &m_parent, 1023));
  edit.SetWindowText(u"C:\\Program Files");
  // The caret after the last character, as the welcome page's editor puts it.
  const int length = edit.GetWindowTextLength();
  edit.SetSel(length, length);
  int start = 0, end = 0;
  edit.GetSel(start, end);
  EXPECT_EQ(start, 16);
  EXPECT_EQ(end, 16);
  edit.ReplaceSel(u"\\Merrowin");
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(text, u"C:\\Program Files\\Merrowin");
  edit.SetSel(0, 2);
  EXPECT_EQ(edit.GetSel(), MAKELONG(0, 2));
  edit.LimitText(4);
  EXPECT_EQ(edit.GetLimitText(), 4u);
}

TEST_F(ControlsTest, AProgressBarKeepsItsRangeAndSteps) {
  CProgressCtrl bar;
  ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(5, 40, 305, 60), &m_parent, 1013));
  bar.SetRange(0, 8);
  int low = -1, high = -1;
  bar.GetRange(low, high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 8);
  EXPECT_EQ(bar.SetPos(1), 0);
  EXPECT_EQ(bar.GetPos(), 1);
  EXPECT_EQ(bar.SetStep(3), 10);  // the default step
  EXPECT_EQ(bar.StepIt(), 1);
  EXPECT_EQ(bar.GetPos(), 4);
  EXPECT_EQ(bar.OffsetPos(-2), 4);
  EXPECT_EQ(bar.GetPos(), 2);
  bar.SetRange32(-5, 100000);
  bar.GetRange(low, high);
  EXPECT_EQ(low, -5);
  EXPECT_EQ(high, 100000);
}

struct StreamSource {
  CMemFile* file;
  int calls = 0;
};

DWORD readStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  ++source->calls;
  *read = static_cast<LONG>(source->file->Read(buffer, static_cast<UINT>(size)));
  return 0;
}

TEST_F(ControlsTest, ARichEditControlStreamsTextInAndTakesADefaultFormat) {
  CRichEditCtrl rich;
  ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, CRect(0, 70, 400, 300), &m_parent, 1002));
  // The licence text, held in a memory file and read out as the control asks.
  std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
  for (int i = 0; i < 200; ++i) rtf += "Licence line " + std::to_string(i) + ".\\par ";
  rtf += "}";
  CMemFile file(1024);
  ASSERT_TRUE(file.Write(rtf.data(), static_cast<UINT>(rtf.size())));
  file.SeekToBegin();
  StreamSource source{&file};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, readStream};
  EXPECT_GT(rich.StreamIn(SF_RTF, stream), 2000);
  EXPECT_EQ(stream.dwError, 0u);
  EXPECT_GT(source.calls, 1);  // the text came in more than one piece
  EXPECT_GT(rich.GetTextLength(), 2000);

  CHARFORMAT format{};
  rich.GetDefaultCharFormat(format);
  format.dwEffects &= ~CFE_AUTOCOLOR;
  format.dwMask |= CFM_COLOR;
  format.crTextColor = RGB(255, 255, 255);
  EXPECT_TRUE(rich.SetDefaultCharFormat(format));
  CHARFORMAT again{};
  rich.GetDefaultCharFormat(again);
  EXPECT_EQ(again.crTextColor, RGB(255, 255, 255));
  EXPECT_FALSE(again.dwEffects & CFE_AUTOCOLOR);
  EXPECT_EQ(rich.SetBackgroundColor(FALSE, RGB(0, 0, 80)), GetSysColor(COLOR_WINDOW));
}

TEST_F(ControlsTest, ACheckBoxKeepsItsStateAndStyle) {
  CButton check;
  ASSERT_TRUE(check.Create(u"Start", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(5, 5, 100, 25), &m_parent, 1044));
  EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
  check.SetCheck(BST_CHECKED);
  EXPECT_EQ(check.GetCheck(), BST_CHECKED);
  EXPECT_EQ(check.GetButtonStyle() & BS_TYPEMASK, static_cast<UINT>(BS_AUTOCHECKBOX));
  check.SetButtonStyle(BS_OWNERDRAW);
  EXPECT_EQ(check.GetButtonStyle() & BS_TYPEMASK, static_cast<UINT>(BS_OWNERDRAW));
  EXPECT_TRUE(check.ModifyStyle(0, WS_DISABLED));
  EXPECT_FALSE(check.ModifyStyle(0, WS_DISABLED));  // nothing changed
  EXPECT_FALSE(check.IsWindowEnabled());
}

/// Paints its client area blue through CPaintDC, and a yellow square
/// through CClientDC when asked.
class CPaintedWnd : public CWnd {
 public:
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map =
        CMessageMapOf<CPaintedWnd>(CWnd::GetMessageMap()).on<WM_PAINT>(&CPaintedWnd::OnPaint);
    return map;
  }
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    ++m_paints;
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, RGB(0, 0, 255));
  }
  void markCorner() {
    CClientDC dc(this);
    dc.FillSolidRect(0, 0, 10, 10, RGB(255, 255, 0));
  }
  int m_paints = 0;
};

TEST_F(ControlsTest, WindowDeviceContextsPaintTheWindow) {
  CPaintedWnd window;
  ASSERT_TRUE(window.CreateEx(0, nullptr, u"", WS_CHILD | WS_VISIBLE, CRect(50, 50, 150, 120), &m_parent, 7));
  pump();
  EXPECT_GE(window.m_paints, 1);
  EXPECT_EQ(pixel(window.GetSafeHwnd(), 50, 30), RGB(0, 0, 255));
  window.markCorner();
  EXPECT_EQ(pixel(window.GetSafeHwnd(), 5, 5), RGB(255, 255, 0));
  // Painting validated the window: nothing is left to paint.
  const int paints = window.m_paints;
  pump();
  EXPECT_EQ(window.m_paints, paints);
}

}  // namespace
