// The standard controls as classes: each is a CWnd over a window of the
// USER layer's class ("Button", "Static", "Edit") whose members send the
// class's messages. Owner-drawn buttons and statics (BS_OWNERDRAW,
// SS_OWNERDRAW) draw themselves: the parent reflects WM_DRAWITEM to the
// control's object, which calls DrawItem.
#pragma once

#include "afxwnd.h"

class CButton : public CWnd {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  BOOL Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  /// BST_* bits: checked, pushed, focus.
  UINT GetState() const;
  void SetState(BOOL bHighlight);
  int GetCheck() const;
  void SetCheck(int nCheck);
  /// The button's style bits (the low 16 bits of its window style).
  UINT GetButtonStyle() const;
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
  HICON SetIcon(HICON hIcon);
  HICON GetIcon() const;
  HBITMAP SetBitmap(HBITMAP hBitmap);
  HBITMAP GetBitmap() const;

  /// Draws an owner-drawn button; the base class draws nothing.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CStatic : public CWnd {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  BOOL Create(LPCWSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);

  HBITMAP SetBitmap(HBITMAP hBitmap);
  HBITMAP GetBitmap() const;
  HICON SetIcon(HICON hIcon);
  HICON GetIcon() const;

  /// Draws an owner-drawn static; the base class draws nothing.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CEdit : public CWnd {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }

  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  /// Selects characters nStartChar to nEndChar (-1: the end); unless
  /// bNoScroll, the caret is scrolled into view.
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
  void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE);
  /// The selection: start in the low word, end in the high word.
  DWORD GetSel() const;
  void GetSel(int& nStartChar, int& nEndChar) const;
  void ReplaceSel(LPCWSTR lpszNewText, BOOL bCanUndo = FALSE);
  /// The most characters the user may type; 0 restores the default.
  void LimitText(int nChars = 0);
  void SetLimitText(UINT nMax);
  UINT GetLimitText() const;
  BOOL SetReadOnly(BOOL bReadOnly = TRUE);
  int GetLineCount() const;
  BOOL GetModify() const;
  void SetModify(BOOL bModified = TRUE);
};
