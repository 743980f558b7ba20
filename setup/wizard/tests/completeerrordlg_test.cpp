// The error-completion page: its message as a yellow heading in the bold
// 16-pixel face of text 2037, the colour answer of its static texts, and
// the results of its button and Escape.
#include "completeerrordlg.h"

#include <string>

#include "labelex.h"
#include "pagechecks.h"
#include "pagetest.h"

namespace {

using pagechecks::pump;
using pagetest::PageTest;
namespace fs = std::filesystem;

using CompleteErrorPageTest = PageTest;

TEST_F(CompleteErrorPageTest, ShowsItsMessageInTheHeadingColourAndFont) {
  CKoraxCompleteErrorDlg page;
  ASSERT_TRUE(page.Create(IDD_ERROR_COMPLETE));
  page.ShowWindow(SW_SHOW);
  pump();
  HWND message = GetDlgItem(page.GetSafeHwnd(), IDC_PAGE_TEXT);
  ASSERT_NE(message, nullptr);

  CFont* font = CWnd::FromHandle(message)->GetFont();
  ASSERT_NE(font, nullptr);
  LOGFONTW logFont{};
  ASSERT_NE(font->GetLogFont(&logFont), 0);
  EXPECT_EQ(logFont.lfHeight, 16);
  EXPECT_EQ(logFont.lfWeight, FW_BOLD);
  EXPECT_EQ(logFont.lfCharSet, ANSI_CHARSET);
  EXPECT_EQ(logFont.lfPitchAndFamily, DEFAULT_PITCH | FF_SWISS);
  EXPECT_EQ(std::u16string(logFont.lfFaceName), u"Arial");  // text 2037 of the resource library

  auto* label = dynamic_cast<CLabelEx*>(CWnd::FromHandlePermanent(message));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->m_crText, RGB(249, 224, 109));
  // The message's strokes are drawn in that colour.
  auto picture = winsim::captureWindow(message);
  ASSERT_TRUE(picture);
  int yellow = 0;
  for (int y = 0; y < picture.value()->height(); ++y)
    for (int x = 0; x < picture.value()->width(); ++x)
      yellow += winsim::colorFromPixel(picture.value()->pixel(x, y) & 0xFFFFFF) == RGB(249, 224, 109);
  EXPECT_GT(yellow, 50);

  EXPECT_EQ(page.GetBackground().GetWidth(), 500);
  page.DestroyWindow();
  pump();
}

TEST_F(CompleteErrorPageTest, StaticTextsAreAnsweredWhiteAndTransparent) {
  CKoraxCompleteErrorDlg page;
  ASSERT_TRUE(page.Create(IDD_ERROR_COMPLETE));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  dc.SetTextColor(RGB(1, 2, 3));
  dc.SetBkMode(OPAQUE);
  HWND message = GetDlgItem(page.GetSafeHwnd(), IDC_PAGE_TEXT);
  const LRESULT staticBrush =
      page.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), reinterpret_cast<LPARAM>(message));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(staticBrush), GetStockObject(HOLLOW_BRUSH));
  EXPECT_EQ(dc.GetTextColor(), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
  // A button gets the bitmap dialog's answer, which leaves its text colour.
  dc.SetTextColor(RGB(1, 2, 3));
  HWND button = GetDlgItem(page.GetSafeHwnd(), IDC_NEXT);
  const LRESULT buttonBrush =
      page.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), reinterpret_cast<LPARAM>(button));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(buttonBrush), GetStockObject(HOLLOW_BRUSH));
  EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));
  page.DestroyWindow();
  pump();
}

TEST_F(CompleteErrorPageTest, ItsButtonAndEscapeEndThePage) {
  struct Case {
    const char* script;
    int result;
  } const kCases[] = {
      {"click 1001\n", IDC_NEXT},
      {"key ESCAPE\n", IDCANCEL},
      {"key ENTER\nclick 1001\n", IDC_NEXT},
  };
  int run = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.script);
    pagechecks::scriptForRun(machineFolder(), ++run, c.script);
    CKoraxCompleteErrorDlg page;
    EXPECT_EQ(page.DoModal(), c.result);
  }
  EXPECT_TRUE(transcript("ScriptError").empty());
  EXPECT_TRUE(transcript("MessageBox").empty());
}

TEST_F(CompleteErrorPageTest, Screenshot) {
  fs::remove("/tmp/completeerror.png");
  script("wait-dialog 109\nscreenshot /tmp/completeerror.png\nclick 1001\n");
  CKoraxCompleteErrorDlg page;
  EXPECT_EQ(page.DoModal(), IDC_NEXT);
  EXPECT_TRUE(fs::exists("/tmp/completeerror.png"));
}

}  // namespace
