// The HTML page dialog on the pages' resource library: it shows the page it
// is given at the rectangle it is given, centred, titled; the page's
// "ButtonOK" and "ButtonCancel" close it; a missing page still lets Escape
// close it; and the user cannot shrink it below 710 x 446.
#include "htmldlg.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "testing/tempmachine.h"
#include "winsim/htmlview.h"

namespace {

constexpr const char16_t* kLibrary = u"C:\\Setup\\IntallerRes.dll";

/// A point of the browser where a person would click to hit element `id`.
std::optional<CPoint> pointOf(const CString& location, const CRect& client, const std::u16string& id) {
  winsim::HtmlView view;
  if (!view.navigate(std::u16string(location, location.GetLength()))) return std::nullopt;
  view.layout(client.Width(), client.Height());
  for (int y = 0; y < client.Height(); y += 4)
    for (int x = 0; x < client.Width(); x += 4)
      if (view.elementIdAt(x, y) == id) return CPoint(x, y);
  return std::nullopt;
}

/// The dialog as a page opens it, with what it showed once initialised, and
/// then a person's click on an element (or Escape).
class CWatchedHtmlDlg : public CHtmlDlg {
 public:
  explicit CWatchedHtmlDlg(std::u16string clickOn) : m_clickOn(std::move(clickOn)) {}
  BOOL OnInitDialog() override {
    const BOOL result = CHtmlDlg::OnInitDialog();
    GetCurrentUrl(m_url);
    GetWindowText(m_shownTitle);
    GetWindowRect(&m_windowRect);
    m_hostFlags = m_dwHostFlags;
    MINMAXINFO info{};
    SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    m_minTrack = CSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y);
    CWnd* browser = GetDlgItem(AFX_IDC_BROWSER);
    if (!browser) {
      ADD_FAILURE() << "no browser control";
      return result;
    }
    if (m_clickOn.empty()) {
      browser->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
      return result;
    }
    CRect client;
    browser->GetClientRect(&client);
    for (const std::u16string& target : {std::u16string(u"requirements"), m_clickOn}) {
      if (auto point = pointOf(m_url, client, target)) {
        const LPARAM where = MAKELPARAM(static_cast<WORD>(point->x), static_cast<WORD>(point->y));
        browser->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, where);
        browser->PostMessage(WM_LBUTTONUP, 0, where);
      } else {
        ADD_FAILURE() << "no point of the page is in " << std::string(target.begin(), target.end());
      }
    }
    return result;
  }

  std::u16string m_clickOn;
  CString m_url;
  CString m_shownTitle;
  CRect m_windowRect;
  DWORD m_hostFlags = 0;
  CSize m_minTrack;
};

class HtmlDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::filesystem::path target = m_machine.host(kLibrary);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(winsim::testing::testProgramFolder() / "IntallerRes.dll", target);
    m_resources = LoadLibraryExW(kLibrary, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_resources, nullptr);
    m_saved = AfxGetResourceHandle();
    AfxSetResourceHandle(m_resources);
    AfxEnableControlContainer();
  }
  void TearDown() override {
    AfxSetResourceHandle(m_saved);
    FreeLibrary(m_resources);
  }
  static void openAsAPage(CHtmlDlg& dialog, const CString& page, const CRect& pageClient) {
    dialog.m_strPageName = page;
    dialog.m_strTitle = u"System requirements";
    dialog.m_rect = pageClient;
  }

  winsim::testing::TempMachine m_machine;
  HMODULE m_resources = nullptr;
  HINSTANCE m_saved = nullptr;
};

TEST_F(HtmlDlgTest, TheRequirementPageIsShownAtThePagesSizeCentredAndTitled) {
  CWatchedHtmlDlg dialog(u"ButtonOK");
  openAsAPage(dialog, u"REQUIREMENT", CRect(0, 0, 750, 500));
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.m_url, CString(u"res://C:\\Setup\\IntallerRes.dll/REQUIREMENT"));
  EXPECT_EQ(dialog.m_shownTitle, u"System requirements");
  EXPECT_EQ(dialog.m_windowRect.Width(), 750);
  EXPECT_EQ(dialog.m_windowRect.Height(), 500);
  // Centred on the screen (the dialog has no owner).
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(dialog.m_windowRect.left, (screenWidth - 750) / 2);
  EXPECT_EQ(dialog.m_windowRect.top, (screenHeight - 500) / 2);
  EXPECT_EQ(dialog.m_hostFlags, DOCHOSTUIFLAG_FLAT_SCROLLBAR);
}

TEST_F(HtmlDlgTest, ThePagesButtonsCloseTheDialog) {
  struct Case {
    const char16_t* element;
    INT_PTR result;
  } const kCases[] = {{u"ButtonOK", IDOK}, {u"ButtonCancel", IDCANCEL}};
  for (const Case& c : kCases) {
    CWatchedHtmlDlg dialog(c.element);
    openAsAPage(dialog, u"REQUIREMENT", CRect(0, 0, 750, 500));
    // The first click, on the requirements table, closes nothing.
    EXPECT_EQ(dialog.DoModal(), c.result) << (c.result == IDOK ? "ButtonOK" : "ButtonCancel");
  }
}

TEST_F(HtmlDlgTest, ASmallPageOpensItAtItsSizeButTheUserCannotShrinkItFurther) {
  CWatchedHtmlDlg dialog(u"ButtonCancel");
  openAsAPage(dialog, u"REQUIREMENT", CRect(0, 0, 500, 380));
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_windowRect.Width(), 500);
  EXPECT_EQ(dialog.m_windowRect.Height(), 380);
  EXPECT_EQ(dialog.m_minTrack, CSize(CHtmlDlg::kMinTrackWidth, CHtmlDlg::kMinTrackHeight));
}

TEST_F(HtmlDlgTest, AMissingPageShowsTheErrorPageAndEscapeStillCloses) {
  CWatchedHtmlDlg dialog(u"");
  openAsAPage(dialog, u"NOSUCHPAGE", CRect(0, 0, 750, 500));
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.m_url, CString(u"res://C:\\Setup\\IntallerRes.dll/NOSUCHPAGE"));
}

}  // namespace
