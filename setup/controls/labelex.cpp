#include "labelex.h"

const CMessageMap& CLabelEx::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CLabelEx>(CStatic::GetMessageMap())
                                     .on<WM_PAINT>(&CLabelEx::OnPaint)
                                     .on<WM_SETCURSOR>(&CLabelEx::OnSetCursor)
                                     .onMessage(WM_SETTEXT, &CLabelEx::OnSetText);
  return map;
}

void CLabelEx::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  attachLabel(*this);
}

void CLabelEx::OnPaint() { paintLabel(*this, TextFit::Whole); }

BOOL CLabelEx::OnSetCursor(CWnd*, UINT, UINT) { return setLabelCursor(); }

LRESULT CLabelEx::OnSetText(WPARAM, LPARAM) {
  const LRESULT result = Default();
  repaintBehind(*this);
  return result;
}
