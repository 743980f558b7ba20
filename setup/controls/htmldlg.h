// CHtmlDlg: the modal dialog that shows one HTML page of the resource
// library, such as the system requirements the pages' links open. The page
// closes it with its elements "ButtonOK" and "ButtonCancel"; the close box
// and Escape close it too, also when the page is missing.
#pragma once

#include "afxdhtml.h"

class CHtmlDlg : public CDHtmlDialog {
 public:
  /// The dialog's template and the page it shows first, in the resource library.
  static constexpr UINT kTemplateId = 112;
  static constexpr UINT kInitialHtmlId = 113;
  /// The setup program's icon, the dialog's big and small icon.
  static constexpr WORD kIconId = 128;
  /// The user cannot make the dialog smaller than this.
  static constexpr int kMinTrackWidth = 710;
  static constexpr int kMinTrackHeight = 446;

  CHtmlDlg();

  const CMessageMap& GetMessageMap() const override;
  const CDHtmlEventMap& GetDHtmlEventMap() const override;
  BOOL OnInitDialog() override;

  /// The HTML resource to show, e.g. "REQUIREMENT".
  CString m_strPageName;
  CString m_strTitle;
  /// Where the dialog opens, before it is centred (it takes this size).
  CRect m_rect{0, 0, 0, 0};
  HICON m_hIcon = nullptr;

 protected:
  HRESULT OnButtonOK(IHTMLElement* pElement);
  HRESULT OnButtonCancel(IHTMLElement* pElement);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
};
