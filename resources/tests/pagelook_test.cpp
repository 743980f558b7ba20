// The pages as they look: each template made into a dialog by the window
// layer, painted the way the skinned pages paint (background stretched over
// the client area, static texts transparent in the page's colours, picture
// buttons copied 1:1), checked pixel by pixel and kept as screenshots; and
// the HTML page dialog's pages in the HTML view.
//
// Screenshots go to the machine's folder, which the test removes, unless
// WINSIM_SCREENSHOT_DIR names a folder to keep them in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "commctrl.h"
#include "richedit.h"
#include "skintesthelpers.h"
#include "win32/user.h"
#include "winsim/htmlview.h"
#include "winsim/text.h"
#include "winsim/windowing.h"

namespace {

using skintest::Library;
using skintest::luminance;
using skintest::Picture;
using skintest::pictureOf;
using skintest::Rgb;
using winsim::testing::TempMachine;

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kYellow = RGB(249, 224, 109);

/// What a page sets up: its background, the normal picture of each picture
/// button, and the colour of each text.
struct Look {
  WORD templateId;
  WORD background;
  std::map<int, WORD> buttons;
  std::map<int, COLORREF> texts;
  const char* screenshot;
};

/// The drawing objects of one page on screen.
struct Painted {
  const Look* look = nullptr;
  HBITMAP background = nullptr;
  Picture backgroundPicture;
  std::map<int, HBITMAP> buttons;
};

void blit(HDC dc, HBITMAP bitmap, int x, int y, int w, int h, int sw, int sh) {
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, x, y, w, h, memory, 0, 0, sw, sh, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

INT_PTR pageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* painted = reinterpret_cast<Painted*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      return TRUE;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(dialog, &client);
      blit(reinterpret_cast<HDC>(wParam), painted->background, 0, 0, client.right, client.bottom,
           painted->backgroundPicture.width, painted->backgroundPicture.height);
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      const auto colour = painted->look->texts.find(id);
      SetTextColor(reinterpret_cast<HDC>(wParam), colour == painted->look->texts.end() ? kWhite : colour->second);
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH));
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      const auto picture = painted->buttons.find(static_cast<int>(item->CtlID));
      if (picture == painted->buttons.end()) return FALSE;
      blit(item->hDC, picture->second, item->rcItem.left, item->rcItem.top, skintest::kButtonWidth,
           skintest::kButtonHeight, skintest::kButtonWidth, skintest::kButtonHeight);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

struct LicenceStream {
  std::string bytes;
  std::size_t at = 0;
};

DWORD streamLicence(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  auto* stream = reinterpret_cast<LicenceStream*>(cookie);
  const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(wanted), stream->bytes.size() - stream->at);
  std::memcpy(buffer, stream->bytes.data() + stream->at, count);
  stream->at += count;
  *given = static_cast<LONG>(count);
  return 0;
}

/// License.rtf shown white, as the licence page shows it.
void showLicence(HWND richEdit) {
  std::ifstream in(WINSIM_LICENSE_RTF, std::ios::binary);
  LicenceStream stream{std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
  ASSERT_FALSE(stream.bytes.empty()) << WINSIM_LICENSE_RTF;
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&stream), 0, streamLicence};
  EXPECT_GT(SendMessageW(richEdit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es)), 100);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(richEdit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  format.dwEffects &= ~CFE_AUTOCOLOR;
  format.dwMask |= CFM_COLOR;
  format.crTextColor = kWhite;
  SendMessageW(richEdit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

std::filesystem::path screenshotFolder(const TempMachine& machine) {
  const char* kept = std::getenv("WINSIM_SCREENSHOT_DIR");
  return kept && *kept ? std::filesystem::path(kept) : machine.folder() / "screenshots";
}

Rgb rgbAt(HDC dc, int x, int y) {
  const COLORREF c = GetPixel(dc, x, y);
  return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
}

/// The extreme luminance of the painted pixels in a control's rectangle.
std::pair<double, double> luminanceRange(HWND dialog, int id) {
  RECT r{};
  GetWindowRect(GetDlgItem(dialog, id), &r);
  POINT at{r.left, r.top};
  ScreenToClient(dialog, &at);
  HDC dc = GetDC(dialog);
  double low = 255, high = 0;
  for (int y = at.y; y < at.y + (r.bottom - r.top); ++y)
    for (int x = at.x; x < at.x + (r.right - r.left); ++x) {
      low = std::min(low, luminance(rgbAt(dc, x, y)));
      high = std::max(high, luminance(rgbAt(dc, x, y)));
    }
  ReleaseDC(dialog, dc);
  return {low, high};
}

}  // namespace

TEST(PageLook, EveryPageIsDrawnFromItsPictures) {
  TempMachine machine;
  Library library(machine);
  ASSERT_NE(library.module(), nullptr);
  const Look kLooks[] = {
      {IDD_WELCOME,
       IDB_WELCOME,
       {{IDC_BROWSE, IDB_BROWSE}, {IDC_INSTALL, IDB_INSTALL}, {IDC_CUSTOM, IDB_CUSTOM}, {IDCANCEL, IDB_CANCEL}},
       {{IDC_ACCEPT_TEXT, kBlack},
        {IDC_LICENSE_LINK, kBlack},
        {IDC_REQUIREMENTS_LINK, kBlack},
        {IDC_LICENSE_CHECK, kBlack}},
       "welcome.png"},
      {IDD_LICENSE,
       IDB_LICENSE,
       {{IDC_BACK, IDB_BACK}, {IDC_NEXT, IDB_INSTALL_DISABLED}, {IDCANCEL, IDB_CANCEL_CHOICE}},
       {},
       "licence.png"},
      {IDD_COPY_FILES, 143, {{IDCANCEL, IDB_CANCEL}}, {}, "copyfiles.png"},
      {IDD_FINISH, IDB_FINISH, {{IDC_NEXT, IDB_FINISH_BUTTON}}, {{IDC_LAUNCH_CHECK, kBlack}}, "finish.png"},
      {IDD_ERROR_COMPLETE, IDB_CLOSING, {{IDC_NEXT, IDB_FINISH_BUTTON}}, {{IDC_PAGE_TEXT, kYellow}}, "error.png"},
      {IDD_MAINTENANCE,
       IDB_CLOSING,
       {{IDC_BACK, IDB_BACK_DISABLED}, {IDC_NEXT, IDB_NEXT}, {IDCANCEL, IDB_CANCEL_CHOICE}},
       {{IDC_PAGE_TEXT, kYellow}, {IDC_REPAIR, kBlack}, {IDC_REMOVE, kBlack}},
       "maintenance.png"},
  };
  const auto folder = screenshotFolder(machine);
  std::filesystem::create_directories(folder);
  for (const Look& look : kLooks) {
    SCOPED_TRACE(look.screenshot);
    Painted painted;
    painted.look = &look;
    painted.backgroundPicture = pictureOf(library.module(), look.background);
    ASSERT_TRUE(painted.backgroundPicture.ok);
    painted.background = skintest::bitmapOf(painted.backgroundPicture);
    std::map<int, Picture> buttonPictures;
    for (const auto& [id, picture] : look.buttons) {
      buttonPictures[id] = pictureOf(library.module(), picture);
      painted.buttons[id] = skintest::bitmapOf(buttonPictures[id]);
    }
    HWND dialog = CreateDialogParamW(library.module(), MAKEINTRESOURCEW(look.templateId), nullptr, pageProc,
                                     reinterpret_cast<LPARAM>(&painted));
    ASSERT_NE(dialog, nullptr);
    if (look.templateId == IDD_WELCOME)
      SetDlgItemTextW(dialog, IDC_PATH, u"C:\\Program Files (x86)\\Halvorn\\DWG Merrowin");
    if (look.templateId == IDD_LICENSE) {
      WCHAR name[32] = {};
      GetClassNameW(GetDlgItem(dialog, IDC_LICENSE_TEXT), name, 32);
      EXPECT_TRUE(winsim::equalsNoCase(name, u"RichEdit20W"));
      showLicence(GetDlgItem(dialog, IDC_LICENSE_TEXT));
    }
    if (look.templateId == IDD_COPY_FILES) {
      SendMessageW(GetDlgItem(dialog, IDC_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, 8));
      SendMessageW(GetDlgItem(dialog, IDC_PROGRESS), PBM_SETPOS, 3, 0);
    }
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    ASSERT_TRUE(winsim::writeWindowPng(dialog, folder / look.screenshot).ok());

    HDC dc = GetDC(dialog);
    // The background where no control lies, and every picture button.
    for (POINT p : {POINT{250, 8}, POINT{8, 330}, POINT{490, 375}})
      EXPECT_EQ(rgbAt(dc, p.x, p.y), painted.backgroundPicture.at(p.x, p.y)) << p.x << "," << p.y;
    for (const auto& [id, picture] : buttonPictures) {
      RECT r{};
      GetWindowRect(GetDlgItem(dialog, id), &r);
      POINT at{r.left, r.top};
      ScreenToClient(dialog, &at);
      for (POINT p : {POINT{45, 15}, POINT{10, 5}, POINT{80, 25}})
        EXPECT_EQ(rgbAt(dc, at.x + p.x, at.y + p.y), picture.at(p.x, p.y)) << "button " << id;
    }
    ReleaseDC(dialog, dc);
    // Texts show in their colours: white or yellow ones bright on the dark
    // ground, black ones dark on the light ground.
    for (const auto& [id, colour] : look.texts) {
      const auto [low, high] = luminanceRange(dialog, id);
      if (id == IDC_LICENSE_CHECK || id == IDC_LAUNCH_CHECK || id == IDC_REPAIR || id == IDC_REMOVE) continue;
      if (colour == kBlack)
        EXPECT_LT(low, 80) << "text " << id;
      else
        EXPECT_GT(high, 180) << "text " << id;
    }
    DestroyWindow(dialog);
    DeleteObject(painted.background);
    for (const auto& [id, bitmap] : painted.buttons) DeleteObject(bitmap);
  }
}

TEST(PageLook, TheRequirementsPageShowsItsStylesAndBothButtons) {
  TempMachine machine;
  Library library(machine);
  winsim::HtmlView view;
  ASSERT_TRUE(view.navigate(u"res://C:\\Setup\\IntallerRes.dll/REQUIREMENT").ok());
  // The HTML page dialog takes the calling page's size: 500 x 380 with its
  // frame, a little less inside.
  constexpr int kWidth = 490, kHeight = 350;
  const int height = view.layout(kWidth, kHeight);
  EXPECT_LE(height, kHeight) << "the page should not need scrolling at the pages' size";

  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, canvas);
  view.draw(dc, RECT{0, 0, kWidth, kHeight}, 0);
  // The banner's navy from the style sheet, and the logo's blue in it.
  EXPECT_EQ(GetPixel(dc, kWidth - 4, 4), RGB(0x0b, 0x25, 0x45));
  int logoBlue = 0;
  for (int y = 0; y < 44; ++y)
    for (int x = 0; x < 60; ++x)
      if (GetBValue(GetPixel(dc, x, y)) > 180 && GetRValue(GetPixel(dc, x, y)) < 100) ++logoBlue;
  EXPECT_GT(logoBlue, 50);

  // Both closing buttons are there and can be clicked by id.
  bool ok = false, cancel = false;
  for (int y = 0; y < kHeight; y += 3)
    for (int x = 0; x < kWidth; x += 3) {
      const auto id = view.elementIdAt(x, y);
      if (!id) continue;
      ok |= *id == u"ButtonOK";
      cancel |= *id == u"ButtonCancel";
    }
  EXPECT_TRUE(ok);
  EXPECT_TRUE(cancel);

  const char* kept = std::getenv("WINSIM_SCREENSHOT_DIR");
  if (kept && *kept) {
    // Kept as a picture of its own for a person to look at.
    std::vector<std::uint8_t> bmp(54 + 4 * kWidth * kHeight);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(bmp.size()), 0, 0, 54};
    std::memcpy(bmp.data(), &file, 14);
    std::memcpy(bmp.data() + 14, &info.bmiHeader, 40);
    std::memcpy(bmp.data() + 54, bits, 4 * static_cast<std::size_t>(kWidth) * kHeight);
    std::ofstream(std::filesystem::path(kept) / "requirement.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(canvas);

  // The dialog's first page loads with its style sheet too.
  winsim::HtmlView start;
  EXPECT_TRUE(start.navigate(u"res://C:\\Setup\\IntallerRes.dll/#113").ok());
}
