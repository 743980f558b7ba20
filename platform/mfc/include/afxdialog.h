// Dialogs made from templates, and the data exchange between a dialog's
// controls and its members.
//
// DoModal finds the template in the resource modules (AfxFindResourceHandle),
// disables the owner (the parent given, else the thread's main or active
// window), creates the dialog and runs the library's modal loop until
// EndDialog, then destroys the window and returns the result: -1 when the
// template is missing or the dialog could not be made, or when initialising
// it failed (a control that DDX_Control names is not in the template). The
// loop offers every message to PreTranslateMessage of the windows it is for
// and to the thread's CWinThread (thread messages are dispatched through its
// map), so a thread's messages keep coming while a dialog is up.
#pragma once

#include "afxwnd.h"

/// One UpdateData pass: which way the data goes, and whether an exchange
/// failed (the ones after a failure do nothing).
class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  /// The control nIDC of the dialog; null, and the pass failed, when the
  /// dialog has none.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  /// Marks the pass failed; when saving, the last control prepared gets the
  /// focus so the user can correct it.
  void Fail();
  bool failed() const { return m_failed; }

  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;

 private:
  bool m_failed = false;
};

class CDialog : public CWnd {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
  const CMessageMap& GetMessageMap() const override;

  CDialog() = default;
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  explicit CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);

  /// A template in memory instead of a resource; it must outlive DoModal.
  BOOL InitModalIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd = nullptr);
  virtual INT_PTR DoModal();
  /// A modeless dialog from a template of the resource modules.
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd = nullptr);
  /// Ends the modal loop with nResult; a modeless dialog only records the
  /// result (it goes with DestroyWindow).
  void EndDialog(int nResult);

  /// Moves data from the members to the controls (FALSE) or back (TRUE);
  /// FALSE when an exchange failed.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  virtual BOOL OnInitDialog();
  /// IDOK: saves the data and ends the dialog with IDOK when that worked.
  virtual void OnOK();
  /// IDCANCEL: ends the dialog with IDCANCEL.
  virtual void OnCancel();
  BOOL PreTranslateMessage(MSG* pMsg) override;

  /// Makes a control the focus the way the dialog manager does.
  void GotoDlgCtrl(CWnd* pWndCtrl);
  void SetDefID(UINT nID);
  DWORD GetDefID() const;
  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;

  /// The dialog procedure of the library's dialogs: it attaches the object
  /// to its window and runs OnInitDialog.
  static INT_PTR AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

  LPCWSTR m_lpszTemplateName = nullptr;
  UINT m_nIDHelp = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  /// The exchanges of a derived dialog (DDX_Text, DDX_Control ...).
  virtual void DoDataExchange(CDataExchange* pDX);

 private:
  BOOL createFromTemplate(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner);
  /// The template of m_lpszTemplateName or the one given in memory.
  LPCDLGTEMPLATEW findTemplate(HINSTANCE& instance) const;
  int runModalLoop();

  LPCDLGTEMPLATEW m_lpDialogTemplate = nullptr;
  bool m_continueModal = false;
  int m_nModalResult = -1;
};

/// An edit control's text and a string member.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
/// Subclasses the member onto the dialog's control nIDC (once); the pass
/// fails when the dialog has no such control.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
