#include "gradientprogressctrl.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "afxwindowdc.h"
#include "memdc3.h"
#include "winsim/text.h"

namespace {

/// A text of the resource library, or the fallback when it has none.
CString resourceText(UINT id, const WCHAR* fallback) {
  std::array<WCHAR, 256> buffer{};
  const int length = LoadStringW(AfxGetResourceHandle(), id, buffer.data(), static_cast<int>(buffer.size()));
  return length > 0 ? CString(buffer.data(), length) : CString(fallback);
}

}  // namespace

const CMessageMap& CGradientProgressCtrl::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CGradientProgressCtrl>(CProgressCtrl::GetMessageMap())
                                     .on<WM_PAINT>(&CGradientProgressCtrl::OnPaint)
                                     .on<WM_ERASEBKGND>(&CGradientProgressCtrl::OnEraseBkgnd);
  return map;
}

void CGradientProgressCtrl::SetRange(int nLower, int nUpper) {
  m_nLower = nLower;
  m_nUpper = nUpper;
  SetRange32(nLower, nUpper);
}

int CGradientProgressCtrl::SetPos(int nPos) {
  m_nPos = nPos;
  return CProgressCtrl::SetPos(nPos);
}

BOOL CGradientProgressCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CGradientProgressCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  if (m_nLower < m_nPos && m_nPos < m_nUpper) {
    const int doneWidth = static_cast<int>(static_cast<double>(m_nPos) / m_nUpper * client.Width());
    {
      CMemDC3 memDC(&dc);
      drawGradient(memDC, client, doneWidth);
    }
    if (m_bShowText) drawCaption(dc, client);
  } else {
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
  }
}

void CGradientProgressCtrl::drawGradient(CDC& dc, const CRect& client, int doneWidth) const {
  const int deltaR = GetRValue(m_clrEnd) - GetRValue(m_clrStart);
  const int deltaG = GetGValue(m_clrEnd) - GetGValue(m_clrStart);
  const int deltaB = GetBValue(m_clrEnd) - GetBValue(m_clrStart);
  // Start and end colour alike make no steps: the done part is then one band
  // of that colour rather than nothing.
  const int steps = std::max({std::abs(deltaR), std::abs(deltaG), std::abs(deltaB), 1});
  const double stepWidth = static_cast<double>(doneWidth) / steps;
  const double stepR = static_cast<double>(deltaR) / steps;
  const double stepG = static_cast<double>(deltaG) / steps;
  const double stepB = static_cast<double>(deltaB) / steps;

  int right = 0;
  for (int i = 0; i < steps; ++i) {
    const int left = static_cast<int>(i * stepWidth);
    right = static_cast<int>((i + 1) * stepWidth);
    const CRect band(left, 0, right, client.bottom + 1);
    const auto channel = [i](BYTE start, double step) {
      return static_cast<BYTE>(static_cast<int>(start + i * step) & 0xFF);
    };
    CBrush brush(RGB(channel(GetRValue(m_clrStart), stepR), channel(GetGValue(m_clrStart), stepG),
                     channel(GetBValue(m_clrStart), stepB)));
    dc.FillRect(&band, &brush);
  }

  // Without the pattern the rest keeps the off-screen surface's colour.
  CBitmap pattern;
  if (!pattern.LoadBitmap(kPatternBitmapId)) return;
  CBrush patternBrush;
  if (!patternBrush.CreatePatternBrush(&pattern)) return;
  const CRect rest(right, 0, client.right, client.bottom);
  dc.FillRect(&rest, &patternBrush);
}

void CGradientProgressCtrl::drawCaption(CDC& dc, const CRect& client) const {
  const CString caption = resourceText(kCaptionTextId, kCaptionFallback);
  const CString face = resourceText(kCaptionFaceTextId, kCaptionFaceFallback);
  LOGFONTW logFont{};
  if (CFont* current = dc.GetCurrentFont()) current->GetLogFont(&logFont);
  logFont.lfWeight = FW_NORMAL;
  winsim::copyTruncated(std::u16string_view(face, face.GetLength()), logFont.lfFaceName, LF_FACESIZE);
  CFont font;
  font.CreateFontIndirect(&logFont);

  dc.SetTextColor(m_clrText);
  CFont* oldFont = font.GetSafeHandle() ? dc.SelectObject(&font) : nullptr;
  dc.SetBkMode(TRANSPARENT);
  CRect textRect = client;
  textRect.left = kCaptionLeft;
  dc.DrawText(caption, &textRect, DT_SINGLELINE | DT_VCENTER);
  if (oldFont) dc.SelectObject(oldFont);
}
