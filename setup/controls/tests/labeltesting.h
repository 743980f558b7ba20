// What the label tests share: a shown page (a modeless dialog from a
// template in memory) with statics to attach labels to, its messages pumped,
// and the pixels a window shows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "afxdialog.h"
#include "afxwindowdc.h"
#include "controltesting.h"
#include "testing/tempmachine.h"
#include "winsim/windowing.h"

namespace labeltesting {

constexpr UINT kFirstLabel = 1031;
constexpr UINT kSecondLabel = 1032;

/// The page: counts the clicks its labels report.
class CPage : public CDialog {
 public:
  const CMessageMap& GetMessageMap() const override {
    static const CMessageMap map = CMessageMapOf<CPage>(CDialog::GetMessageMap())
                                       .onStnClicked(kFirstLabel, &CPage::OnFirstClicked)
                                       .onStnClicked(kSecondLabel, &CPage::OnSecondClicked);
    return map;
  }
  void OnFirstClicked() { ++m_firstClicks; }
  void OnSecondClicked() { ++m_secondClicks; }
  int m_firstClicks = 0;
  int m_secondClicks = 0;
};

class LabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_page.CreateIndirect(m_template.get()));
    m_page.MoveWindow(0, 0, 420, 160);
  }
  void TearDown() override {
    m_page.DestroyWindow();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
  }
  static void pump() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  /// Repaints a label now and gives what it shows.
  static std::shared_ptr<winsim::Surface> shown(CWnd& label) {
    label.Invalidate();
    label.UpdateWindow();
    auto picture = winsim::captureWindow(label.GetSafeHwnd());
    if (!picture) {
      ADD_FAILURE() << "no picture of the label";
      return nullptr;
    }
    return picture.value();
  }
  static COLORREF at(const winsim::Surface& picture, int x, int y) {
    return winsim::colorFromPixel(picture.pixel(x, y) & 0xFFFFFF);
  }
  static int countOf(const winsim::Surface& picture, COLORREF color, const CRect& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) count += at(picture, x, y) == color;
    return count;
  }
  /// Pixels the red text tinted: the glyphs are smoothed, so few are pure red.
  static int reddish(const winsim::Surface& picture, const CRect& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        const COLORREF c = at(picture, x, y);
        count += GetRValue(c) - std::max(GetGValue(c), GetBValue(c)) > 60;
      }
    return count;
  }
  static bool samePictures(const winsim::Surface& a, const winsim::Surface& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
  }
  /// The metrics of the font a label paints with.
  static TEXTMETRICW metricsOf(CWnd& label) {
    CClientDC dc(&label);
    CFont* old = dc.SelectObject(label.GetFont());
    TEXTMETRICW metrics{};
    dc.GetTextMetrics(&metrics);
    dc.SelectObject(old);
    return metrics;
  }

  winsim::testing::TempMachine m_machine;
  const controltesting::MemoryTemplate m_template{
      WS_POPUP | WS_VISIBLE,
      280,
      100,
      {{u"Static", u"System requirements", static_cast<WORD>(kFirstLabel), 0, 10, 10, 200, 14},
       {u"Static", u"", static_cast<WORD>(kSecondLabel), SS_NOTIFY, 10, 40, 200, 14}}};
  CPage m_page;
};

}  // namespace labeltesting
