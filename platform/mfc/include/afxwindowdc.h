// The device contexts of a window: CPaintDC for WM_PAINT (BeginPaint /
// EndPaint), CClientDC for the client area and CWindowDC for the whole
// window, frame included (GetDC / GetWindowDC and ReleaseDC). Each gives its
// context back when it is destroyed; a null window means the screen.
#pragma once

#include "afxgdi.h"
#include "afxwnd.h"

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;

  HWND m_hWnd;
  PAINTSTRUCT m_ps{};
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

  HWND m_hWnd;
};

class CWindowDC : public CDC {
 public:
  explicit CWindowDC(CWnd* pWnd);
  ~CWindowDC() override;

  HWND m_hWnd;
};
