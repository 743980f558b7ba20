// CDHtmlDialog: the browser control over the dialog, its page, and its
// element handlers.
#include <string>

#include "afxdhtml.h"
#include "controlcontainer.h"
#include "htmlbrowser.h"

const CRuntimeClass CDHtmlDialog::runtimeClass = CRuntimeClass::Described<CDHtmlDialog, CDialog>("CDHtmlDialog");

namespace {

/// "res://" and the resource module's path, as the browser's res: protocol
/// names a module; empty when the path cannot be had.
CString resourceModuleLocation() {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(AfxGetResourceHandle(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return CString();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return CString(u"res://") + CString(path.c_str());
}

}  // namespace

const CDHtmlEventMap::Handler* CDHtmlEventMap::findClick(std::u16string_view elementId) const {
  for (const Entry& entry : m_entries)
    if (entry.elementId == elementId) return &entry.handler;
  return nullptr;
}

CDHtmlDialog::CDHtmlDialog() = default;

CDHtmlDialog::CDHtmlDialog(UINT nIDTemplate, UINT nHtmlResID, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd), m_nHtmlResID(nHtmlResID) {}

CDHtmlDialog::CDHtmlDialog(LPCWSTR lpszTemplateName, LPCWSTR szHtmlResID, CWnd* pParentWnd)
    : CDialog(lpszTemplateName, pParentWnd), m_szHtmlResID(szHtmlResID) {}

CDHtmlDialog::~CDHtmlDialog() = default;

BOOL CDHtmlDialog::OnInitDialog() {
  const BOOL result = CDialog::OnInitDialog();
  if (!m_hWnd || !winsim::mfc::controlContainerEnabled()) return result;
  m_browser = std::make_unique<winsim::mfc::HtmlBrowser>(*this);
  if (!m_browser->create()) {
    m_browser.reset();
    return result;
  }
  if (m_nHtmlResID)
    LoadFromResource(m_nHtmlResID);
  else if (m_szHtmlResID)
    LoadFromResource(m_szHtmlResID);
  return result;
}

void CDHtmlDialog::Navigate(LPCWSTR lpszURL, DWORD, LPCWSTR, LPCWSTR, LPVOID, DWORD) {
  if (!lpszURL) return;
  m_strCurrentUrl = lpszURL;
  if (m_browser) m_browser->navigate(std::u16string(lpszURL));
}

BOOL CDHtmlDialog::LoadFromResource(UINT nRes) {
  const CString module = resourceModuleLocation();
  if (module.IsEmpty()) return FALSE;
  CString location;
  location.Format(u"%s/#%u", module.GetString(), nRes);
  Navigate(location);
  return TRUE;
}

BOOL CDHtmlDialog::LoadFromResource(LPCWSTR lpszResource) {
  if (IS_INTRESOURCE(lpszResource))
    return LoadFromResource(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszResource)));
  const CString module = resourceModuleLocation();
  if (module.IsEmpty() || !lpszResource) return FALSE;
  Navigate(module + u"/" + lpszResource);
  return TRUE;
}

void CDHtmlDialog::GetCurrentUrl(CString& szUrl) const { szUrl = m_strCurrentUrl; }

const CDHtmlEventMap& CDHtmlDialog::GetDHtmlEventMap() const {
  static const CDHtmlEventMap map = CDHtmlEventMapOf<CDHtmlDialog>();
  return map;
}

void CDHtmlDialog::elementClicked(const std::u16string& elementId) {
  if (const auto* handler = GetDHtmlEventMap().findClick(elementId)) {
    IHTMLElement element{CString(elementId.c_str())};
    (*handler)(*this, &element);
  }
}

void CDHtmlDialog::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  if (m_browser && m_browser->GetSafeHwnd()) m_browser->MoveWindow(0, 0, cx, cy);
}

const CMessageMap& CDHtmlDialog::GetMessageMap() const {
  static const CMessageMap map =
      CMessageMapOf<CDHtmlDialog>(CDialog::GetMessageMap()).on<WM_SIZE>(&CDHtmlDialog::OnSize);
  return map;
}
