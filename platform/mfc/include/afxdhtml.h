// Dialogs that show an HTML page: CDHtmlDialog hosts the HTML view
// (winsim/htmlview.h) as its browser control, over the whole client area,
// and reports clicks on the page's elements through its event map.
//
// The page comes from the resource module: the initial HTML resource given
// to the constructor ("res://MODULE/#id"), or any res: location given to
// Navigate. The browser control exists once the dialog is initialised and
// only when the program called AfxEnableControlContainer; it follows the
// dialog's size, scrolls with the arrow and page keys, and leaves Escape and
// Enter to the dialog.
//
// A derived dialog names its element handlers in its event map; a click on
// an element (or inside it) with a mapped id calls the handler:
//
//   const CDHtmlEventMap& CHtmlDlg::GetDHtmlEventMap() const {
//     static const CDHtmlEventMap map = CDHtmlEventMapOf<CHtmlDlg>()
//         .onClick(u"ButtonOK", &CHtmlDlg::OnButtonOK)       // HRESULT (IHTMLElement*)
//         .onClick(u"ButtonCancel", &CHtmlDlg::OnButtonCancel);
//     return map;
//   }
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "afxwin.h"

namespace winsim::mfc {
class HtmlBrowser;
}

// Host flags of the browser control (m_dwHostFlags). The view draws no
// scroll bar and no border of its own, so these only record the wish.
constexpr DWORD DOCHOSTUIFLAG_DIALOG = 0x00000001;
constexpr DWORD DOCHOSTUIFLAG_DISABLE_HELP_MENU = 0x00000002;
constexpr DWORD DOCHOSTUIFLAG_NO3DBORDER = 0x00000004;
constexpr DWORD DOCHOSTUIFLAG_SCROLL_NO = 0x00000008;
constexpr DWORD DOCHOSTUIFLAG_FLAT_SCROLLBAR = 0x00000080;
constexpr DWORD DOCHOSTUIFLAG_THEME = 0x00040000;

/// The browser control's id in the dialog.
constexpr UINT AFX_IDC_BROWSER = 0xE900;

/// The element of the page an event happened on: the one with the id the
/// event map names.
class IHTMLElement {
 public:
  explicit IHTMLElement(CString id) : m_id(std::move(id)) {}
  const CString& id() const { return m_id; }

 private:
  CString m_id;
};

class CDHtmlDialog;

/// The element handlers of one dialog class.
class CDHtmlEventMap {
 public:
  using Handler = std::function<HRESULT(CDHtmlDialog& dialog, IHTMLElement* element)>;
  struct Entry {
    std::u16string elementId;
    Handler handler;
  };

  explicit CDHtmlEventMap(std::vector<Entry> entries) : m_entries(std::move(entries)) {}
  /// The click handler of an element id (ids are case-sensitive); null when none.
  const Handler* findClick(std::u16string_view elementId) const;

 private:
  std::vector<Entry> m_entries;
};

/// Builds the event map of dialog class Self.
template <class Self>
class CDHtmlEventMapOf {
 public:
  template <class T>
  CDHtmlEventMapOf& onClick(const char16_t* elementId, HRESULT (T::*handler)(IHTMLElement*)) {
    static_assert(std::is_base_of_v<T, Self> && std::is_base_of_v<CDHtmlDialog, T>,
                  "the handler belongs to a class that is not the map's dialog class or its base");
    m_entries.push_back({elementId, [handler](CDHtmlDialog& dialog, IHTMLElement* element) {
                           return (static_cast<T&>(dialog).*handler)(element);
                         }});
    return *this;
  }
  operator CDHtmlEventMap() const { return CDHtmlEventMap(m_entries); }

 private:
  std::vector<CDHtmlEventMap::Entry> m_entries;
};

class CDHtmlDialog : public CDialog {
 public:
  static const CRuntimeClass runtimeClass;
  const CRuntimeClass* GetRuntimeClass() const override { return &runtimeClass; }
  const CMessageMap& GetMessageMap() const override;

  CDHtmlDialog();
  /// Dialog template nIDTemplate; nHtmlResID: the HTML resource shown first
  /// (0: none).
  explicit CDHtmlDialog(UINT nIDTemplate, UINT nHtmlResID = 0, CWnd* pParentWnd = nullptr);
  CDHtmlDialog(LPCWSTR lpszTemplateName, LPCWSTR szHtmlResID, CWnd* pParentWnd = nullptr);
  ~CDHtmlDialog() override;

  /// The dialog's initialisation, then the browser control over the client
  /// area showing the initial resource.
  BOOL OnInitDialog() override;
  /// Shows the page at a res: location; a page that cannot be had shows the
  /// browser's error page. The other parameters are the browser's and are
  /// not used.
  void Navigate(LPCWSTR lpszURL, DWORD dwFlags = 0, LPCWSTR lpszTargetFrameName = nullptr,
                LPCWSTR lpszHeaders = nullptr, LPVOID lpvPostData = nullptr, DWORD dwPostDataLen = 0);
  /// Shows an HTML resource of the resource module.
  BOOL LoadFromResource(UINT nRes);
  BOOL LoadFromResource(LPCWSTR lpszResource);
  /// The location shown last.
  void GetCurrentUrl(CString& szUrl) const;

  virtual const CDHtmlEventMap& GetDHtmlEventMap() const;

  DWORD m_dwHostFlags = 0;
  UINT m_nHtmlResID = 0;
  LPCWSTR m_szHtmlResID = nullptr;
  CString m_strCurrentUrl;

 protected:
  afx_msg void OnSize(UINT nType, int cx, int cy);

 private:
  friend class winsim::mfc::HtmlBrowser;
  /// A click on the page: the event map's handler of the element, if any.
  void elementClicked(const std::u16string& elementId);

  std::unique_ptr<winsim::mfc::HtmlBrowser> m_browser;
};
