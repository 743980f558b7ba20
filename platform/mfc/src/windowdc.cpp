// The device contexts of a window, given back when the object goes.
#include "afxwindowdc.h"

namespace winsim::mfc {

CDC* dcFromHandle(HDC hdc) { return CDC::FromHandle(hdc); }

}  // namespace winsim::mfc

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) {
  if (HDC dc = BeginPaint(m_hWnd, &m_ps)) Attach(dc);
}

CPaintDC::~CPaintDC() {
  if (Detach()) EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) {
  if (HDC dc = ::GetDC(m_hWnd)) Attach(dc);
}

CClientDC::~CClientDC() {
  if (HDC dc = Detach()) ::ReleaseDC(m_hWnd, dc);
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr) {
  if (HDC dc = ::GetWindowDC(m_hWnd)) Attach(dc);
}

CWindowDC::~CWindowDC() {
  if (HDC dc = Detach()) ::ReleaseDC(m_hWnd, dc);
}
