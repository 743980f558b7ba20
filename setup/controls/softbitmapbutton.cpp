#include "softbitmapbutton.h"

const CMessageMap& CSoftBitmapButton::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CSoftBitmapButton>(CBitmapButton::GetMessageMap())
                                     .on<WM_MOUSEMOVE>(&CSoftBitmapButton::OnMouseMove)
                                     .on<WM_MOUSELEAVE>(&CSoftBitmapButton::OnMouseLeave);
  return map;
}

namespace {

/// Replaces one picture slot; false when a picture was named and is missing.
bool loadSlot(CBitmap& slot, UINT id) {
  slot.DeleteObject();
  return id == 0 || slot.LoadBitmap(id);
}

}  // namespace

BOOL CSoftBitmapButton::LoadBitmaps(UINT nIDNormal, UINT nIDPressed, UINT nIDHover, UINT nIDDisabled) {
  bool all = loadSlot(m_bitmap, nIDNormal);
  all = loadSlot(m_bitmapSel, nIDPressed) && all;
  all = loadSlot(m_bitmapFocus, nIDHover) && all;
  all = loadSlot(m_bitmapDisabled, nIDDisabled) && all;
  return all ? TRUE : FALSE;
}

void CSoftBitmapButton::PreSubclassWindow() {
  CBitmapButton::PreSubclassWindow();
  ModifyStyle(0, BS_OWNERDRAW);
}

void CSoftBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  const UINT state = lpDrawItemStruct->itemState;
  CBitmap* picture = &m_bitmap;
  if ((state & ODS_SELECTED) && m_bitmapSel.GetSafeHandle()) {
    picture = &m_bitmapSel;
  } else if ((state & ODS_DISABLED) && m_bitmapDisabled.GetSafeHandle()) {
    picture = &m_bitmapDisabled;
  } else if (m_bHover && m_bitmapFocus.GetSafeHandle()) {
    picture = &m_bitmapFocus;
  }
  if (!picture->GetSafeHandle()) return;
  CDC* dc = CDC::FromHandle(lpDrawItemStruct->hDC);
  CDC memory;
  if (!dc || !memory.CreateCompatibleDC(dc)) return;
  CBitmap* old = memory.SelectObject(picture);
  const CRect rect(lpDrawItemStruct->rcItem);
  dc->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
}

void CSoftBitmapButton::OnMouseMove(UINT nFlags, CPoint point) {
  if (!m_bHover) {
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    ::TrackMouseEvent(&track);
    m_bHover = TRUE;
    Invalidate(FALSE);
  }
  CBitmapButton::OnMouseMove(nFlags, point);
}

void CSoftBitmapButton::OnMouseLeave() {
  m_bHover = FALSE;
  Invalidate(FALSE);
}
