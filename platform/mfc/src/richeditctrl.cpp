// CRichEditCtrl: the rich-edit control's streaming, selection and formats.
#include "afxcmn.h"

const CRuntimeClass CRichEditCtrl::runtimeClass = CRuntimeClass::Described<CRichEditCtrl, CWnd>("CRichEditCtrl");

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateEx(0, RICHEDIT_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

long CRichEditCtrl::StreamIn(int nFormat, EDITSTREAM& es) {
  return static_cast<long>(SendMessage(EM_STREAMIN, static_cast<WPARAM>(nFormat), reinterpret_cast<LPARAM>(&es)));
}

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar) {
  CHARRANGE range{static_cast<LONG>(nStartChar), static_cast<LONG>(nEndChar)};
  SetSel(range);
}

void CRichEditCtrl::SetSel(CHARRANGE& cr) { SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const {
  CHARRANGE range{};
  GetSel(range);
  nStartChar = range.cpMin;
  nEndChar = range.cpMax;
}

void CRichEditCtrl::GetSel(CHARRANGE& cr) const { SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }

DWORD CRichEditCtrl::GetDefaultCharFormat(CHARFORMAT& cf) const {
  cf.cbSize = sizeof(CHARFORMAT);
  SendMessage(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  return cf.dwMask;
}

DWORD CRichEditCtrl::GetDefaultCharFormat(CHARFORMAT2& cf) const {
  cf.cbSize = sizeof(CHARFORMAT2);
  SendMessage(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  return cf.dwMask;
}

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMAT& cf) {
  cf.cbSize = sizeof(CHARFORMAT);
  return static_cast<BOOL>(SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf)));
}

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMAT2& cf) {
  cf.cbSize = sizeof(CHARFORMAT2);
  return static_cast<BOOL>(SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf)));
}

DWORD CRichEditCtrl::GetSelectionCharFormat(CHARFORMAT& cf) const {
  cf.cbSize = sizeof(CHARFORMAT);
  SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  return cf.dwMask;
}

BOOL CRichEditCtrl::SetSelectionCharFormat(CHARFORMAT& cf) {
  cf.cbSize = sizeof(CHARFORMAT);
  return static_cast<BOOL>(SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
}

COLORREF CRichEditCtrl::SetBackgroundColor(BOOL bSysColor, COLORREF cr) {
  return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, static_cast<WPARAM>(bSysColor), static_cast<LPARAM>(cr)));
}

DWORD CRichEditCtrl::SetEventMask(DWORD dwEventMask) {
  return static_cast<DWORD>(SendMessage(EM_SETEVENTMASK, 0, static_cast<LPARAM>(dwEventMask)));
}

DWORD CRichEditCtrl::GetEventMask() const { return static_cast<DWORD>(SendMessage(EM_GETEVENTMASK)); }

void CRichEditCtrl::LimitText(long nChars) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }

BOOL CRichEditCtrl::SetReadOnly(BOOL bReadOnly) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, bReadOnly)); }

long CRichEditCtrl::GetTextLength() const { return static_cast<long>(SendMessage(WM_GETTEXTLENGTH)); }
