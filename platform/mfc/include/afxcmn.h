// The common controls as classes: the progress bar and the rich-edit
// control, CWnds over the USER layer's "msctls_progress32" and "RichEdit20W"
// windows whose members send the classes' messages.
#pragma once

#include "afxwin.h"
#include "commctrl.h"
#include "richedit.h"

using CHARFORMAT = CHARFORMATW;
using CHARFORMAT2 = CHARFORMAT2W;

class CProgressCtrl : public CWnd {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  /// The range in 16 bits (PBM_SETRANGE) or in 32 (SetRange32).
  void SetRange(short nLower, short nUpper);
  void SetRange32(int nLower, int nUpper);
  void GetRange(int& nLower, int& nUpper) const;
  /// Each returns the position before.
  int SetPos(int nPos);
  int GetPos() const;
  int OffsetPos(int nPos);
  /// Returns the step before.
  int SetStep(int nStep);
  /// Advances by the step, wrapping to the low end past the high end;
  /// returns the position before.
  int StepIt();
  COLORREF SetBarColor(COLORREF clrBar);
  COLORREF SetBkColor(COLORREF clrNew);
};

class CRichEditCtrl : public CWnd {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  /// Reads the control's text from the stream's callback (nFormat: SF_RTF,
  /// SF_TEXT ...); the number of characters read.
  long StreamIn(int nFormat, EDITSTREAM& es);
  void SetSel(long nStartChar, long nEndChar);
  void SetSel(CHARRANGE& cr);
  void GetSel(long& nStartChar, long& nEndChar) const;
  void GetSel(CHARRANGE& cr) const;
  /// The format of text without one of its own; the result is cf.dwMask.
  DWORD GetDefaultCharFormat(CHARFORMAT& cf) const;
  DWORD GetDefaultCharFormat(CHARFORMAT2& cf) const;
  BOOL SetDefaultCharFormat(CHARFORMAT& cf);
  BOOL SetDefaultCharFormat(CHARFORMAT2& cf);
  DWORD GetSelectionCharFormat(CHARFORMAT& cf) const;
  BOOL SetSelectionCharFormat(CHARFORMAT& cf);
  /// bSysColor: the system window colour, else cr; returns the colour before.
  COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr);
  DWORD SetEventMask(DWORD dwEventMask);
  DWORD GetEventMask() const;
  void LimitText(long nChars = 0);
  BOOL SetReadOnly(BOOL bReadOnly = TRUE);
  long GetTextLength() const;
};
