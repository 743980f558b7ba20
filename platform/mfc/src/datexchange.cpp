// The data exchange between a dialog's controls and its members.
#include "afxwin.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  if (m_failed) return nullptr;
  HWND control = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC) : nullptr;
  if (!control) {
    m_failed = true;
    return nullptr;
  }
  m_hWndLastControl = control;
  m_bEditLastControl = FALSE;
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND control = PrepareCtrl(nIDC);
  if (control) m_bEditLastControl = TRUE;
  return control;
}

void CDataExchange::Fail() {
  m_failed = true;
  if (!m_bSaveAndValidate || !m_hWndLastControl) return;
  // The user is taken to the control whose value did not do.
  SetFocus(m_hWndLastControl);
  if (m_bEditLastControl) SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND control = pDX->PrepareEditCtrl(nIDC);
  if (!control) return;
  if (pDX->m_bSaveAndValidate) {
    CWnd::FromHandle(control)->GetWindowText(value);
    return;
  }
  // Only a changed text is set, so the control does not flicker.
  CString shown;
  CWnd::FromHandle(control)->GetWindowText(shown);
  if (shown != value) SetWindowTextW(control, value);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.GetSafeHwnd()) return;
  HWND control = pDX->PrepareCtrl(nIDC);
  if (!control) return;
  if (!rControl.SubclassWindow(control)) pDX->Fail();
}
