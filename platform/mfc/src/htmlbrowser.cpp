// The HTML dialog's browser control.
#include "htmlbrowser.h"

#include <algorithm>

namespace winsim::mfc {

namespace {

constexpr int kLineStep = 16;

}  // namespace

const CMessageMap& HtmlBrowser::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<HtmlBrowser>(CWnd::GetMessageMap())
                                     .on<WM_PAINT>(&HtmlBrowser::OnPaint)
                                     .on<WM_ERASEBKGND>(&HtmlBrowser::OnEraseBkgnd)
                                     .on<WM_SIZE>(&HtmlBrowser::OnSize)
                                     .on<WM_LBUTTONDOWN>(&HtmlBrowser::OnLButtonDown)
                                     .on<WM_LBUTTONUP>(&HtmlBrowser::OnLButtonUp)
                                     .on<WM_KEYDOWN>(&HtmlBrowser::OnKeyDown)
                                     .on<WM_GETDLGCODE>(&HtmlBrowser::OnGetDlgCode);
  return map;
}

BOOL HtmlBrowser::create() {
  CRect client;
  m_dialog.GetClientRect(&client);
  return CreateEx(0, nullptr, u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, client, &m_dialog, AFX_IDC_BROWSER);
}

void HtmlBrowser::navigate(const std::u16string& location) {
  // A page that cannot be fetched shows the view's error page.
  (void)m_view.navigate(location);
  m_scroll = 0;
  relayout();
}

void HtmlBrowser::relayout() {
  CRect client;
  GetClientRect(&client);
  m_viewHeight = client.Height();
  m_view.layout(std::max(client.Width(), 1), std::max(client.Height(), 1));
  scrollTo(m_scroll);
  Invalidate(FALSE);
}

void HtmlBrowser::scrollTo(int y) {
  const int range = std::max(0, m_view.height() - m_viewHeight);
  const int next = std::clamp(y, 0, range);
  if (next == m_scroll) return;
  m_scroll = next;
  Invalidate(FALSE);
}

void HtmlBrowser::OnPaint() {
  CPaintDC dc(this);
  m_view.draw(dc.GetSafeHdc(), dc.m_ps.rcPaint, m_scroll);
}

BOOL HtmlBrowser::OnEraseBkgnd(CDC*) { return TRUE; }  // the page covers the whole control

void HtmlBrowser::OnSize(UINT, int, int) { relayout(); }

void HtmlBrowser::OnLButtonDown(UINT, CPoint) {
  SetFocus();
  SetCapture();
  m_pressed = true;
}

void HtmlBrowser::OnLButtonUp(UINT, CPoint point) {
  if (!m_pressed) return;
  m_pressed = false;
  if (GetCapture() == this) ReleaseCapture();
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point)) return;
  if (auto id = m_view.clickAt(point.x, point.y + m_scroll)) {
    Invalidate(FALSE);
    m_dialog.elementClicked(*id);
  }
}

void HtmlBrowser::OnKeyDown(UINT nChar, UINT, UINT) {
  switch (static_cast<int>(nChar)) {
    case VK_UP:
      return scrollTo(m_scroll - kLineStep);
    case VK_DOWN:
      return scrollTo(m_scroll + kLineStep);
    case 0x21:  // VK_PRIOR
      return scrollTo(m_scroll - m_viewHeight);
    case 0x22:  // VK_NEXT
      return scrollTo(m_scroll + m_viewHeight);
    case VK_HOME:
      return scrollTo(0);
    case VK_END:
      return scrollTo(m_view.height());
    default:
      Default();
  }
}

UINT HtmlBrowser::OnGetDlgCode() { return DLGC_WANTARROWS; }

}  // namespace winsim::mfc
