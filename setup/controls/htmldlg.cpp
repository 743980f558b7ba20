#include "htmldlg.h"

#include <array>

CHtmlDlg::CHtmlDlg()
    : CDHtmlDialog(kTemplateId, kInitialHtmlId, nullptr),
      m_hIcon(LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(kIconId))) {}

const CMessageMap& CHtmlDlg::GetMessageMap() const {
  static const CMessageMap map =
      CMessageMapOf<CHtmlDlg>(CDHtmlDialog::GetMessageMap()).on<WM_GETMINMAXINFO>(&CHtmlDlg::OnGetMinMaxInfo);
  return map;
}

const CDHtmlEventMap& CHtmlDlg::GetDHtmlEventMap() const {
  static const CDHtmlEventMap map = CDHtmlEventMapOf<CHtmlDlg>()
                                        .onClick(u"ButtonOK", &CHtmlDlg::OnButtonOK)
                                        .onClick(u"ButtonCancel", &CHtmlDlg::OnButtonCancel);
  return map;
}

BOOL CHtmlDlg::OnInitDialog() {
  // The browser takes its host flags when it is made, in the base's initialisation.
  m_dwHostFlags = DOCHOSTUIFLAG_FLAT_SCROLLBAR;
  CDHtmlDialog::OnInitDialog();

  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  std::array<WCHAR, MAX_PATH> modulePath{};
  const DWORD length =
      GetModuleFileNameW(AfxGetResourceHandle(), modulePath.data(), static_cast<DWORD>(modulePath.size()));
  if (length > 0 && length < modulePath.size()) {
    CString location;
    location.Format(u"res://%s/%s", modulePath.data(), static_cast<const WCHAR*>(m_strPageName));
    Navigate(location);
  }

  SetWindowText(m_strTitle);
  MoveWindow(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), TRUE);
  CenterWindow();
  UpdateData(FALSE);
  return TRUE;
}

HRESULT CHtmlDlg::OnButtonOK(IHTMLElement*) {
  OnOK();
  return S_OK;
}

HRESULT CHtmlDlg::OnButtonCancel(IHTMLElement*) {
  OnCancel();
  return S_OK;
}

void CHtmlDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
  CDHtmlDialog::OnGetMinMaxInfo(lpMMI);
  lpMMI->ptMinTrackSize = POINT{kMinTrackWidth, kMinTrackHeight};
}
