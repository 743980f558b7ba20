#include "labelpath.h"

const CMessageMap& CLabelPath::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CLabelPath>(CStatic::GetMessageMap())
                                     .on<WM_PAINT>(&CLabelPath::OnPaint)
                                     .on<WM_SETCURSOR>(&CLabelPath::OnSetCursor)
                                     .onMessage(WM_SETTEXT, &CLabelPath::OnSetText);
  return map;
}

void CLabelPath::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  attachLabel(*this);
}

void CLabelPath::OnPaint() { paintLabel(*this, TextFit::CutToWidth); }

BOOL CLabelPath::OnSetCursor(CWnd*, UINT, UINT) { return setLabelCursor(); }

LRESULT CLabelPath::OnSetText(WPARAM, LPARAM) {
  const LRESULT result = Default();
  repaintBehind(*this);
  return result;
}
