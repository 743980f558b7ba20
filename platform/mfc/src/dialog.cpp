// Dialogs: finding the template, making the window with the object attached,
// the modal loop, and the dialog's default commands.
#include "afxdll.h"
#include "afxwin.h"
#include "threadstate.h"

using winsim::mfc::threadState;

const CRuntimeClass CDialog::runtimeClass = CRuntimeClass::Described<CDialog, CWnd>("CDialog");

namespace {

/// The window a modal dialog belongs to: the parent given, else the thread's
/// main or active window; never a child window.
HWND modalOwner(CWnd* parent) {
  HWND owner = parent ? parent->GetSafeHwnd() : nullptr;
  if (!owner) {
    CWnd* main = AfxGetMainWnd();
    owner = main ? main->GetSafeHwnd() : ::GetActiveWindow();
  }
  while (owner && (GetWindowLongPtrW(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  return owner;
}

bool isKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {
  if (IS_INTRESOURCE(lpszTemplateName)) m_nIDHelp = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd) {
  if (!lpDialogTemplate) return FALSE;
  m_lpDialogTemplate = lpDialogTemplate;
  m_lpszTemplateName = nullptr;
  m_pParentWnd = pParentWnd;
  return TRUE;
}

LPCDLGTEMPLATEW CDialog::findTemplate(HINSTANCE& instance) const {
  instance = AfxGetResourceHandle();
  if (m_lpDialogTemplate) return m_lpDialogTemplate;
  if (!m_lpszTemplateName) return nullptr;
  instance = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
  HRSRC found = FindResourceW(instance, m_lpszTemplateName, RT_DIALOG);
  if (!found) return nullptr;
  return static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(instance, found)));
}

BOOL CDialog::createFromTemplate(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner) {
  if (m_hWnd) return FALSE;
  CWnd* const previous = threadState().creating;
  threadState().creating = this;
  HWND hwnd = CreateDialogIndirectParamW(instance, dialogTemplate, owner, &CDialog::AfxDlgProc, 0);
  threadState().creating = previous;
  if (!hwnd) {
    // The dialog may have been attached and destroyed in its initialisation.
    if (m_hWnd && !::IsWindow(m_hWnd)) Detach();
    return FALSE;
  }
  return m_hWnd == hwnd;
}

INT_PTR CDialog::AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
  CWnd* window = FromHandlePermanent(hWnd);
  if (!window) window = attachWindowBeingMade(hWnd);
  if (message != WM_INITDIALOG) return FALSE;
  auto* dialog = dynamic_cast<CDialog*>(window);
  return dialog ? dialog->OnInitDialog() : TRUE;
}

INT_PTR CDialog::DoModal() {
  HINSTANCE instance = nullptr;
  LPCDLGTEMPLATEW dialogTemplate = findTemplate(instance);
  if (!dialogTemplate || m_hWnd) return -1;
  HWND owner = modalOwner(m_pParentWnd);
  const bool enableOwner = owner && owner != ::GetDesktopWindow() && ::IsWindowEnabled(owner);
  if (enableOwner) ::EnableWindow(owner, FALSE);
  m_nModalResult = -1;
  m_continueModal = true;
  if (createFromTemplate(instance, dialogTemplate, owner) && m_continueModal) runModalLoop();
  m_continueModal = false;
  const bool wasActive = m_hWnd && ::GetActiveWindow() == m_hWnd;
  // The owner is enabled before the dialog hides, as EndDialog does on
  // Windows, so that activation can go back to it.
  if (enableOwner) ::EnableWindow(owner, TRUE);
  if (m_hWnd)
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  if (owner && wasActive) ::SetActiveWindow(owner);
  DestroyWindow();
  return m_nModalResult;
}

int CDialog::runModalLoop() {
  // Shown once the initialisation's messages are done, so it appears whole.
  bool showWhenIdle = !(GetStyle() & WS_VISIBLE);
  MSG msg{};
  bool idle = true;
  while (m_continueModal) {
    if (idle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (showWhenIdle) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        showWhenIdle = false;
        continue;
      }
      // What handlers made for themselves is no longer held by anyone: a
      // page that runs for minutes does not pile up temporary objects.
      winsim::mfc::deleteTemporaryObjects(threadState().dispatchDepth);
      idle = false;
    }
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      // The quit message belongs to the loop outside: it goes back, and the
      // dialog ends without a result.
      PostQuitMessage(static_cast<int>(msg.wParam));
      m_continueModal = false;
      break;
    }
    if (!AfxPreTranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    idle = true;
  }
  return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) { return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd); }

BOOL CDialog::Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  m_lpDialogTemplate = nullptr;
  m_pParentWnd = pParentWnd;
  HINSTANCE instance = nullptr;
  LPCDLGTEMPLATEW dialogTemplate = findTemplate(instance);
  if (!dialogTemplate) return FALSE;
  return createFromTemplate(instance, dialogTemplate, pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd) {
  if (!lpDialogTemplate) return FALSE;
  m_pParentWnd = pParentWnd;
  return createFromTemplate(AfxGetResourceHandle(), lpDialogTemplate, pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr);
}

void CDialog::EndDialog(int nResult) {
  if (m_continueModal) {
    m_nModalResult = nResult;
    m_continueModal = false;
  }
  if (m_hWnd) ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange exchange(this, bSaveAndValidate);
  DoDataExchange(&exchange);
  return exchange.failed() ? FALSE : TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
  // A page whose controls are not all there cannot work: the dialog ends
  // before it is shown.
  if (!UpdateData(FALSE)) {
    EndDialog(-1);
    return FALSE;
  }
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  // Keys take the dialog manager's way: Tab, Enter, Escape.
  if (m_hWnd && isKeyMessage(pMsg->message) && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
    return IsDialogMessageW(m_hWnd, pMsg);
  return FALSE;
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  if (m_hWnd && pWndCtrl) SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE);
}

void CDialog::SetDefID(UINT nID) { SendMessageW(m_hWnd, DM_SETDEFID, nID, 0); }

DWORD CDialog::GetDefID() const { return static_cast<DWORD>(SendMessageW(m_hWnd, DM_GETDEFID, 0, 0)); }

void CDialog::NextDlgCtrl() const { SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0); }

void CDialog::PrevDlgCtrl() const { SendMessageW(m_hWnd, WM_NEXTDLGCTL, 1, 0); }

const CMessageMap& CDialog::GetMessageMap() const {
  static const CMessageMap map = CMessageMapOf<CDialog>(CWnd::GetMessageMap())
                                     .onCommand(IDOK, &CDialog::OnOK)
                                     .onCommand(IDCANCEL, &CDialog::OnCancel);
  return map;
}
