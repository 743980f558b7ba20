// The HTML page dialog: its browser control shows a page of a real resource
// library (testpages.dll) over the dialog, and a click on an element reaches
// the handler that the event map names for the element's id.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "afxdhtml.h"
#include "memorytemplate.h"
#include "testing/tempmachine.h"
#include "winsim/htmlview.h"

namespace {

namespace fs = std::filesystem;

constexpr const char16_t* kPage = u"res://C:\\Setup\\testpages.dll/REQUIREMENT";

/// Where a person would click to hit an element: a point of the browser's
/// client area whose element (or nearest ancestor with an id) is `id`.
std::optional<CPoint> pointOf(const std::u16string& location, const CRect& client, const std::u16string& id) {
  winsim::HtmlView view;
  if (!view.navigate(location)) return std::nullopt;
  view.layout(client.Width(), client.Height());
  for (int y = 0; y < client.Height(); y += 2)
    for (int x = 0; x < client.Width(); x += 2)
      if (view.elementIdAt(x, y) == id) return CPoint(x, y);
  return std::nullopt;
}

class CPageDlg : public CDHtmlDialog {
 public:
  CPageDlg(LPCDLGTEMPLATEW dialogTemplate, std::u16string clickOn)
      : CDHtmlDialog(nullptr, u"REQUIREMENT"), m_clickOn(std::move(clickOn)) {
    InitModalIndirect(dialogTemplate);
  }
  const CDHtmlEventMap& GetDHtmlEventMap() const override {
    static const CDHtmlEventMap map = CDHtmlEventMapOf<CPageDlg>()
                                          .onClick(u"ButtonOK", &CPageDlg::OnButtonOK)
                                          .onClick(u"ButtonCancel", &CPageDlg::OnButtonCancel);
    return map;
  }
  BOOL OnInitDialog() override {
    const BOOL result = CDHtmlDialog::OnInitDialog();
    GetCurrentUrl(m_urlAtStart);
    CWnd* browser = GetDlgItem(AFX_IDC_BROWSER);
    m_hadBrowser = browser != nullptr;
    if (!browser) return result;
    CRect client;
    browser->GetClientRect(&client);
    // A click on the title (no handler), then on the element the test wants.
    for (const std::u16string& target : {std::u16string(u"title"), m_clickOn}) {
      if (auto at = pointOf(kPage, client, target)) {
        const LPARAM where = MAKELPARAM(static_cast<WORD>(at->x), static_cast<WORD>(at->y));
        browser->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, where);
        browser->PostMessage(WM_LBUTTONUP, 0, where);
      } else {
        ADD_FAILURE() << "no point of the page is in element " << std::string(target.begin(), target.end());
      }
    }
    return result;
  }
  HRESULT OnButtonOK(IHTMLElement* pElement) {
    m_clicked = pElement->id();
    EndDialog(IDOK);
    return S_OK;
  }
  HRESULT OnButtonCancel(IHTMLElement* pElement) {
    m_clicked = pElement->id();
    EndDialog(IDCANCEL);
    return S_OK;
  }

  std::u16string m_clickOn;
  CString m_clicked;
  CString m_urlAtStart;
  bool m_hadBrowser = false;
};

class HtmlDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path built = winsim::testing::testProgramFolder() / "testpages.dll";
    ASSERT_TRUE(fs::exists(built)) << "build the testpages_dll target first";
    const fs::path target = m_machine.host(u"C:\\Setup\\testpages.dll");
    fs::create_directories(target.parent_path());
    fs::copy_file(built, target, fs::copy_options::overwrite_existing);
    m_resources = LoadLibraryExW(u"C:\\Setup\\testpages.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_resources, nullptr);
    AfxSetResourceHandle(m_resources);
    AfxEnableControlContainer();
  }
  void TearDown() override {
    AfxSetResourceHandle(nullptr);
    FreeLibrary(m_resources);
  }

  winsim::testing::TempMachine m_machine;
  HMODULE m_resources = nullptr;
  const mfctest::MemoryTemplate m_template{
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER, 420, 330, u"System requirements", {}};
};

TEST_F(HtmlDialogTest, AClickOnAnElementReachesItsHandler) {
  CPageDlg ok(m_template.get(), u"ButtonOK");
  EXPECT_EQ(ok.DoModal(), IDOK);
  EXPECT_TRUE(ok.m_hadBrowser);
  EXPECT_EQ(ok.m_clicked, u"ButtonOK");  // the title's click called nothing
  EXPECT_EQ(ok.m_urlAtStart, kPage);

  CPageDlg cancel(m_template.get(), u"ButtonCancel");
  EXPECT_EQ(cancel.DoModal(), IDCANCEL);
  EXPECT_EQ(cancel.m_clicked, u"ButtonCancel");
}

TEST_F(HtmlDialogTest, TheBrowserFollowsTheDialogsSizeAndEscapeCloses) {
  class CResizedDlg : public CDHtmlDialog {
   public:
    explicit CResizedDlg(LPCDLGTEMPLATEW dialogTemplate) : CDHtmlDialog(nullptr, u"NOSUCHPAGE") {
      InitModalIndirect(dialogTemplate);
    }
    BOOL OnInitDialog() override {
      const BOOL result = CDHtmlDialog::OnInitDialog();
      MoveWindow(0, 0, 500, 300);
      CRect dialog, browser;
      GetClientRect(&dialog);
      GetDlgItem(AFX_IDC_BROWSER)->GetClientRect(&browser);
      m_sameSize = dialog == browser;
      // A missing page shows the browser's error page; Escape still closes.
      GetDlgItem(AFX_IDC_BROWSER)->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
      return result;
    }
    bool m_sameSize = false;
  } dialog(m_template.get());
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(dialog.m_sameSize);
  CString url;
  dialog.GetCurrentUrl(url);
  EXPECT_EQ(url, u"res://C:\\Setup\\testpages.dll/NOSUCHPAGE");
}

}  // namespace
