// IntallerRes.dll against what the setup program's pages expect of it: every
// resource id, each template's controls by id and kind, pictures of the
// sizes the templates give, texts on grounds they read on, buttons whose
// states differ, an 8-bit background with its palette, icons with masks.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "commctrl.h"
#include "richedit.h"
#include "skintesthelpers.h"
#include "win32/errors.h"
#include "win32/image.h"
#include "win32/user.h"
#include "winsim/dialogtemplate.h"
#include "winsim/text.h"

namespace {

using skintest::Library;
using skintest::luminance;
using skintest::Picture;
using skintest::pictureOf;
using winsim::testing::TempMachine;

enum class Kind {
  PictureButton,  // CSoftBitmapButton: an owner-drawn push button
  IconCheckBox,   // CButtonST check box
  IconChoice,     // CShadeButtonST choice or bound button
  Label,          // CLabelEx text
  Link,           // CLabelEx or CLabelPath that reports clicks
  Edit,
  RichEdit,
  Progress,
  Cover,  // any control: the licence page stretches it over the page
};

struct Control {
  DWORD id;
  Kind kind;
  bool visible = true;
};

struct Page {
  WORD templateId;
  std::vector<Control> controls;
};

const std::vector<Page>& pages() {
  static const std::vector<Page> kPages = {
      {IDD_WELCOME,
       {{IDC_PATH, Kind::Link},
        {IDC_PATH_EDIT, Kind::Edit, false},
        {IDC_BROWSE, Kind::PictureButton},
        {IDC_INSTALL, Kind::PictureButton},
        {IDC_CUSTOM, Kind::PictureButton},
        {IDCANCEL, Kind::PictureButton},
        {IDC_LICENSE_CHECK, Kind::IconCheckBox},
        {IDC_LICENSE_LINK, Kind::Link},
        {IDC_REQUIREMENTS_LINK, Kind::Link},
        {IDC_INSTALL_TO_TEXT, Kind::Label},
        {IDC_PAGE_TEXT, Kind::Label},
        {IDC_ACCEPT_TEXT, Kind::Label},
        {IDC_SPARE_BUTTON, Kind::IconChoice, false}}},
      {IDD_LICENSE,
       {{IDC_LICENSE_TEXT, Kind::RichEdit},
        {IDC_PAGE_COVER, Kind::Cover, false},
        {IDC_ACCEPT, Kind::IconChoice},
        {IDC_DECLINE, Kind::IconChoice},
        {IDC_BACK, Kind::PictureButton},
        {IDC_NEXT, Kind::PictureButton},
        {IDCANCEL, Kind::PictureButton},
        {IDC_PAGE_TEXT, Kind::Label},
        {IDC_REQUIREMENTS_LINK, Kind::Link}}},
      {IDD_COPY_FILES,
       {{IDC_PROGRESS, Kind::Progress},
        {IDCANCEL, Kind::PictureButton},
        {IDC_PAGE_TEXT, Kind::Label},
        {IDC_PAGE_TEXT_2, Kind::Label},
        {IDC_REQUIREMENTS_LINK, Kind::Link}}},
      {IDD_FINISH,
       {{IDC_NEXT, Kind::PictureButton},
        {IDC_LAUNCH_CHECK, Kind::IconCheckBox},
        {IDC_PAGE_TEXT, Kind::Label},
        {IDC_MODERN_WORKSPACE, Kind::IconChoice, false},
        {IDC_CLASSIC_WORKSPACE, Kind::IconChoice, false}}},
      {IDD_ERROR_COMPLETE, {{IDC_NEXT, Kind::PictureButton}, {IDC_PAGE_TEXT, Kind::Label}}},
      {IDD_MAINTENANCE,
       {{IDC_REPAIR, Kind::IconChoice},
        {IDC_REMOVE, Kind::IconChoice},
        {IDC_NEXT, Kind::PictureButton},
        {IDC_BACK, Kind::PictureButton},
        {IDCANCEL, Kind::PictureButton},
        {IDC_PAGE_TEXT, Kind::Label}}},
  };
  return kPages;
}

winsim::DialogTemplate templateOf(HMODULE module, WORD id) {
  const auto bytes = skintest::resourceBytes(module, MAKEINTRESOURCEW(id), RT_DIALOG);
  EXPECT_NE(bytes.data, nullptr) << "template " << id;
  auto decoded = winsim::decodeDialogTemplate(std::span<const std::uint8_t>(bytes.data, bytes.size));
  EXPECT_TRUE(decoded.ok()) << "template " << id;
  return decoded.ok() ? decoded.value() : winsim::DialogTemplate{};
}

const winsim::DialogItem* itemOf(const winsim::DialogTemplate& t, DWORD id) {
  for (const auto& item : t.items)
    if (item.id == id) return &item;
  return nullptr;
}

INT_PTR quietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

/// A control's rectangle in its dialog's client coordinates.
RECT clientRectOf(HWND dialog, int id) {
  RECT r{};
  GetWindowRect(GetDlgItem(dialog, id), &r);
  POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
  ScreenToClient(dialog, &topLeft);
  ScreenToClient(dialog, &bottomRight);
  return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

class IntallerRes : public ::testing::Test {
 protected:
  TempMachine m_machine;
  Library m_library{m_machine};
};

}  // namespace

TEST_F(IntallerRes, HoldsEveryResourceThePagesUse) {
  HMODULE module = m_library.module();
  ASSERT_NE(module, nullptr);
  struct Expected {
    LPCWSTR type;
    std::vector<int> ids;
  } const kExpected[] = {
      {RT_DIALOG, {102, 103, 108, 109, 110, 111, 112}},
      {RT_HTML, {113}},
      {RT_BITMAP, {129, 139, 140, 141, 142, 143, 144, 145, 146, 148, 181}},
      {RT_GROUP_ICON, {131, 132, 137, 138}},
  };
  for (const auto& e : kExpected)
    for (int id : e.ids) EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(id), e.type), nullptr) << id;
  for (int id = IDB_BUTTON_FIRST; id <= IDB_BUTTON_LAST; ++id)
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP), nullptr) << id;
  for (LPCWSTR name : {u"REQUIREMENT", u"SETUP.CSS", u"LOGO.BMP"})
    EXPECT_NE(FindResourceW(module, name, RT_HTML), nullptr);
  // The window icon 128 is the setup program's own, not the library's.
  EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(128), RT_GROUP_ICON), nullptr);
}

TEST_F(IntallerRes, EveryPageTemplateHoldsTheControlsItsPageBinds) {
  for (const Page& page : pages()) {
    SCOPED_TRACE(page.templateId);
    const auto t = templateOf(m_library.module(), page.templateId);
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.cx, 333);
    EXPECT_EQ(t.cy, 253);
    ASSERT_TRUE(t.font.has_value());
    EXPECT_EQ(t.font->face, u"MS Shell Dlg");
    EXPECT_EQ(t.font->pointSize, 8);
    std::set<DWORD> ids;
    for (const auto& item : t.items) EXPECT_TRUE(ids.insert(item.id).second) << "id " << item.id << " twice";

    for (const Control& control : page.controls) {
      SCOPED_TRACE(control.id);
      const winsim::DialogItem* item = itemOf(t, control.id);
      ASSERT_NE(item, nullptr);
      // The resource compiler stores a class it has no atom for upper-case;
      // class names match without case.
      const std::u16string cls = winsim::upperCase(item->className());
      const DWORD type = item->style & 0xF;
      EXPECT_EQ((item->style & WS_VISIBLE) != 0, control.visible);
      switch (control.kind) {
        case Kind::PictureButton:
          EXPECT_EQ(cls, u"BUTTON");
          EXPECT_EQ(type, static_cast<DWORD>(BS_OWNERDRAW));
          EXPECT_EQ(item->cx, 60);
          EXPECT_EQ(item->cy, 20);
          break;
        case Kind::IconCheckBox:
          EXPECT_EQ(cls, u"BUTTON");
          EXPECT_EQ(type, static_cast<DWORD>(BS_CHECKBOX));
          break;
        case Kind::IconChoice:
          EXPECT_EQ(cls, u"BUTTON");
          EXPECT_EQ(type, static_cast<DWORD>(BS_PUSHBUTTON));
          break;
        case Kind::Label:
          EXPECT_EQ(cls, u"STATIC");
          EXPECT_EQ(item->style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
          break;
        case Kind::Link:
          EXPECT_EQ(cls, u"STATIC");
          EXPECT_NE(item->style & SS_NOTIFY, 0u);
          break;
        case Kind::Edit:
          EXPECT_EQ(cls, u"EDIT");
          EXPECT_NE(item->style & ES_AUTOHSCROLL, 0u);
          break;
        case Kind::RichEdit:
          EXPECT_EQ(cls, u"RICHEDIT20W");
          EXPECT_NE(item->style & ES_MULTILINE, 0u);
          EXPECT_NE(item->style & ES_READONLY, 0u);
          // White text over the page's own dark panel.
          EXPECT_NE(item->exStyle & WS_EX_TRANSPARENT, 0u);
          break;
        case Kind::Progress:
          EXPECT_EQ(cls, u"MSCTLS_PROGRESS32");
          break;
        case Kind::Cover:
          // Last, so that it lies below the others once stretched over them.
          EXPECT_EQ(item, &t.items.back());
          break;
      }
    }
  }
  // The HTML page dialog's template: a resizable frame for the browser view.
  const auto html = templateOf(m_library.module(), IDD_HTML_PAGE);
  EXPECT_NE(html.style & WS_THICKFRAME, 0u);
  EXPECT_NE(html.style & WS_CAPTION, 0u);
}

TEST_F(IntallerRes, PagesAndButtonsAreTheSizeOfTheirPictures) {
  struct Case {
    WORD templateId;
    std::vector<WORD> backgrounds;
    std::map<int, std::vector<WORD>> buttons;  // control id -> its pictures
  } const kCases[] = {
      {IDD_WELCOME,
       {IDB_WELCOME},
       {{IDC_BROWSE, {157, 158, 159}},
        {IDC_INSTALL, {153, 154, 155}},
        {IDC_CUSTOM, {150, 151, 152}},
        {IDCANCEL, {160, 161, 162}}}},
      {IDD_LICENSE,
       {IDB_LICENSE},
       {{IDC_BACK, {163, 164, 165}}, {IDC_NEXT, {153, 154, 155, 156}}, {IDCANCEL, {171, 172, 173}}}},
      {IDD_COPY_FILES, {141, 142, 143, 144, 145, 146}, {{IDCANCEL, {160, 161, 162}}}},
      {IDD_FINISH, {IDB_FINISH}, {{IDC_NEXT, {174, 175, 176}}}},
      {IDD_ERROR_COMPLETE, {IDB_CLOSING}, {{IDC_NEXT, {174, 175, 176}}}},
      {IDD_MAINTENANCE,
       {IDB_CLOSING},
       {{IDC_NEXT, {167, 168, 169}}, {IDC_BACK, {163, 164, 165, 166}}, {IDCANCEL, {171, 172, 173}}}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.templateId);
    HWND dialog = CreateDialogParamW(m_library.module(), MAKEINTRESOURCEW(c.templateId), nullptr, quietProc, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, skintest::kPageWidth);
    EXPECT_EQ(client.bottom, skintest::kPageHeight);
    for (WORD id : c.backgrounds) {
      const Picture background = pictureOf(m_library.module(), id);
      ASSERT_TRUE(background.ok) << id;
      EXPECT_EQ(background.width, client.right) << id;
      EXPECT_EQ(background.height, client.bottom) << id;
      for (const auto& [control, pictures] : c.buttons) {
        const RECT r = clientRectOf(dialog, control);
        EXPECT_EQ(r.right - r.left, skintest::kButtonWidth) << control;
        EXPECT_EQ(r.bottom - r.top, skintest::kButtonHeight) << control;
        for (WORD pictureId : pictures) {
          const Picture picture = pictureOf(m_library.module(), pictureId);
          ASSERT_TRUE(picture.ok) << pictureId;
          EXPECT_EQ(picture.width, skintest::kButtonWidth) << pictureId;
          EXPECT_EQ(picture.height, skintest::kButtonHeight) << pictureId;
          // Copied 1:1 without transparency, a button must sit on the colour
          // its corners were smoothed against, all around it.
          for (POINT corner : {POINT{0, 0}, POINT{89, 0}, POINT{0, 29}, POINT{89, 29}})
            EXPECT_EQ(picture.at(corner.x, corner.y), background.at(r.left + corner.x, r.top + corner.y))
                << "picture " << pictureId << " on background " << id;
        }
      }
    }
    DestroyWindow(dialog);
  }
}

TEST_F(IntallerRes, TextsStandOnGroundsTheyReadOn) {
  // Where each page draws white (or yellow) and where black text.
  enum Ground { Dark, Light };
  struct Case {
    WORD templateId;
    std::vector<WORD> backgrounds;
    int control;
    Ground ground;
  } const kCases[] = {
      {IDD_WELCOME, {IDB_WELCOME}, IDC_PAGE_TEXT, Dark},
      {IDD_WELCOME, {IDB_WELCOME}, IDC_INSTALL_TO_TEXT, Dark},
      {IDD_WELCOME, {IDB_WELCOME}, IDC_PATH, Dark},
      {IDD_WELCOME, {IDB_WELCOME}, IDC_ACCEPT_TEXT, Light},
      {IDD_WELCOME, {IDB_WELCOME}, IDC_LICENSE_LINK, Light},
      {IDD_WELCOME, {IDB_WELCOME}, IDC_REQUIREMENTS_LINK, Light},
      {IDD_WELCOME, {IDB_WELCOME}, IDC_LICENSE_CHECK, Light},
      {IDD_LICENSE, {IDB_LICENSE}, IDC_PAGE_TEXT, Dark},
      {IDD_LICENSE, {IDB_LICENSE}, IDC_LICENSE_TEXT, Dark},
      {IDD_LICENSE, {IDB_LICENSE}, IDC_ACCEPT, Dark},
      {IDD_LICENSE, {IDB_LICENSE}, IDC_DECLINE, Dark},
      {IDD_LICENSE, {IDB_LICENSE}, IDC_REQUIREMENTS_LINK, Dark},
      {IDD_COPY_FILES, {141, 142, 143, 144, 145, 146}, IDC_PAGE_TEXT, Dark},
      {IDD_COPY_FILES, {141, 142, 143, 144, 145, 146}, IDC_PAGE_TEXT_2, Dark},
      {IDD_COPY_FILES, {141, 142, 143, 144, 145, 146}, IDC_REQUIREMENTS_LINK, Dark},
      {IDD_COPY_FILES, {141, 142, 143, 144, 145, 146}, IDC_PROGRESS, Dark},
      {IDD_FINISH, {IDB_FINISH}, IDC_PAGE_TEXT, Dark},
      {IDD_FINISH, {IDB_FINISH}, IDC_LAUNCH_CHECK, Light},
      {IDD_ERROR_COMPLETE, {IDB_CLOSING}, IDC_PAGE_TEXT, Dark},
      {IDD_MAINTENANCE, {IDB_CLOSING}, IDC_PAGE_TEXT, Dark},
      {IDD_MAINTENANCE, {IDB_CLOSING}, IDC_REPAIR, Light},
      {IDD_MAINTENANCE, {IDB_CLOSING}, IDC_REMOVE, Light},
  };
  for (const Case& c : kCases) {
    HWND dialog = CreateDialogParamW(m_library.module(), MAKEINTRESOURCEW(c.templateId), nullptr, quietProc, 0);
    ASSERT_NE(dialog, nullptr);
    const RECT r = clientRectOf(dialog, c.control);
    for (WORD id : c.backgrounds) {
      const Picture background = pictureOf(m_library.module(), id);
      ASSERT_TRUE(background.ok);
      double darkest = 255, lightest = 0;
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
          darkest = std::min(darkest, luminance(background.at(x, y)));
          lightest = std::max(lightest, luminance(background.at(x, y)));
        }
      if (c.ground == Dark)
        EXPECT_LT(lightest, 100) << "control " << c.control << " of " << c.templateId << " on " << id;
      else
        EXPECT_GT(darkest, 200) << "control " << c.control << " of " << c.templateId << " on " << id;
    }
    DestroyWindow(dialog);
  }
}

TEST_F(IntallerRes, ButtonStatesDifferVisiblyAndDisabledLooksDisabled) {
  struct Set {
    WORD normal, pressed, hover, disabled;
  } const kSets[] = {
      {150, 151, 152, 0},   {153, 154, 155, 156}, {157, 158, 159, 0}, {160, 161, 162, 0},
      {163, 164, 165, 166}, {167, 168, 169, 170}, {171, 172, 173, 0}, {174, 175, 176, 0},
  };
  // How much the caption stands out: the spread of luminance inside the button.
  auto contrast = [](const Picture& p) {
    double low = 255, high = 0;
    for (int y = 4; y < p.height - 4; ++y)
      for (int x = 6; x < p.width - 6; ++x) {
        low = std::min(low, luminance(p.at(x, y)));
        high = std::max(high, luminance(p.at(x, y)));
      }
    return high - low;
  };
  auto colourfulness = [](const Picture& p) {
    int most = 0;
    for (const auto& c : p.pixels) most = std::max(most, skintest::chroma(c));
    return most;
  };
  for (const Set& s : kSets) {
    SCOPED_TRACE(s.normal);
    const Picture normal = pictureOf(m_library.module(), s.normal);
    const Picture pressed = pictureOf(m_library.module(), s.pressed);
    const Picture hover = pictureOf(m_library.module(), s.hover);
    ASSERT_TRUE(normal.ok && pressed.ok && hover.ok);
    EXPECT_GT(skintest::differingShare(normal, pressed), 0.5);
    EXPECT_GT(skintest::differingShare(normal, hover), 0.5);
    EXPECT_GT(skintest::differingShare(pressed, hover), 0.5);
    if (!s.disabled) continue;
    const Picture disabled = pictureOf(m_library.module(), s.disabled);
    ASSERT_TRUE(disabled.ok);
    EXPECT_LT(contrast(disabled), contrast(normal) * 0.6);
    EXPECT_LE(colourfulness(disabled), colourfulness(normal));
    EXPECT_LT(colourfulness(disabled), 40);
  }
}

TEST_F(IntallerRes, BackgroundsHaveTheirDepthsAndTheSlidesDiffer) {
  for (WORD id : {IDB_WELCOME, IDB_CLOSING, IDB_FINISH}) {
    const Picture p = pictureOf(m_library.module(), id);
    ASSERT_TRUE(p.ok) << id;
    EXPECT_EQ(p.header.biBitCount, 24) << id;
  }
  // The licence background is the skin's 8-bit picture: a full colour table,
  // which the page makes its palette from.
  const Picture licence = pictureOf(m_library.module(), IDB_LICENSE);
  ASSERT_TRUE(licence.ok);
  EXPECT_EQ(licence.header.biBitCount, 8);
  EXPECT_EQ(licence.table.size(), 256u);

  std::vector<Picture> slides;
  for (WORD id = IDB_SLIDE_FIRST; id <= IDB_SLIDE_LAST; ++id) {
    slides.push_back(pictureOf(m_library.module(), id));
    ASSERT_TRUE(slides.back().ok) << id;
    EXPECT_EQ(slides.back().header.biBitCount, 24);
  }
  for (std::size_t a = 0; a < slides.size(); ++a) {
    for (std::size_t b = a + 1; b < slides.size(); ++b) {
      EXPECT_GT(skintest::differingShare(slides[a], slides[b]), 0.5) << a + 141 << " and " << b + 141;
      // The band under the slides, where the texts and the bar sit, is one.
      for (int y = 252; y < 322; y += 7)
        for (int x = 0; x < skintest::kPageWidth; x += 11) ASSERT_EQ(slides[a].at(x, y), slides[b].at(x, y));
    }
  }
}

TEST_F(IntallerRes, TheProgressPatternIsADarkTrackOfTwoTones) {
  const Picture pattern = pictureOf(m_library.module(), IDB_PROGRESS_PATTERN);
  ASSERT_TRUE(pattern.ok);
  EXPECT_EQ(pattern.width, 8);
  EXPECT_EQ(pattern.height, 8);
  std::set<int> tones;
  for (const auto& c : pattern.pixels) {
    EXPECT_LT(luminance(c), 80);  // under the bar's white caption
    tones.insert(c.r << 16 | c.g << 8 | c.b);
  }
  EXPECT_EQ(tones.size(), 2u);
}

TEST_F(IntallerRes, IconsAre16PixelsWithTheirMasks) {
  struct Icon {
    WORD id;
    std::vector<std::uint8_t> colour;  // the 32-bit pixels, for comparing pairs
  };
  std::vector<Icon> icons;
  for (WORD id : {IDI_CHECK_TICKED, IDI_CHECK_CLEAR, IDI_CHOICE_OFF, IDI_CHOICE_ON}) {
    SCOPED_TRACE(id);
    const auto group = skintest::resourceBytes(m_library.module(), MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    ASSERT_GE(group.size, 6u + 14);
    ASSERT_EQ(group.data[4], 1);  // one image
    EXPECT_EQ(group.data[6], 16);
    EXPECT_EQ(group.data[7], 16);
    const WORD imageId = static_cast<WORD>(group.data[18] | group.data[19] << 8);
    const auto image = skintest::resourceBytes(m_library.module(), MAKEINTRESOURCEW(imageId), RT_ICON);
    constexpr std::size_t kColour = 16 * 16 * 4, kMask = 16 * 4;  // mask rows padded to 4 bytes
    ASSERT_EQ(image.size, 40 + kColour + kMask);
    BITMAPINFOHEADER header{};
    std::memcpy(&header, image.data, sizeof header);
    EXPECT_EQ(header.biWidth, 16);
    EXPECT_EQ(header.biHeight, 32);
    EXPECT_EQ(header.biBitCount, 32);
    const std::uint8_t* colour = image.data + 40;
    const std::uint8_t* mask = colour + kColour;
    auto alpha = [&](int x, int y) { return colour[(static_cast<std::size_t>(15 - y) * 16 + x) * 4 + 3]; };
    auto masked = [&](int x, int y) { return (mask[static_cast<std::size_t>(15 - y) * 4 + x / 8] >> (7 - x % 8)) & 1; };
    // Clear corners, an opaque middle, and the mask agreeing with the alpha.
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(masked(0, 0), 1);
    EXPECT_EQ(alpha(8, 8), 255);
    EXPECT_EQ(masked(8, 8), 0);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) EXPECT_EQ(masked(x, y), alpha(x, y) == 0 ? 1 : 0) << x << "," << y;
    icons.push_back(Icon{id, std::vector<std::uint8_t>(colour, colour + kColour)});
  }
  // Ticked and clear, chosen and not, differ.
  EXPECT_NE(icons[0].colour, icons[1].colour);
  EXPECT_NE(icons[2].colour, icons[3].colour);
}

TEST_F(IntallerRes, PicturesLoadAsThePagesLoadThem) {
  HMODULE module = m_library.module();
  // Backgrounds and buttons as DIB sections of their own format.
  struct Case {
    WORD id;
    int width, height, bits;
  } const kCases[] = {
      {IDB_WELCOME, 500, 380, 24},        {IDB_LICENSE, 500, 380, 8},       {IDB_SLIDE_LAST, 500, 380, 24},
      {IDB_INSTALL_DISABLED, 90, 30, 24}, {IDB_PROGRESS_PATTERN, 8, 8, 24},
  };
  for (const Case& c : kCases) {
    auto bitmap =
        static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(c.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr) << c.id << " " << GetLastError();
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(bitmap, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, c.width) << c.id;
    EXPECT_EQ(info.bmHeight, c.height) << c.id;
    EXPECT_EQ(info.bmBitsPixel, c.bits) << c.id;
    DeleteObject(bitmap);
  }
  // The icons at their natural size, with their masks.
  for (WORD id : {IDI_CHECK_TICKED, IDI_CHECK_CLEAR, IDI_CHOICE_OFF, IDI_CHOICE_ON}) {
    auto icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0));
    ASSERT_NE(icon, nullptr) << id << " " << GetLastError();
    ICONINFO parts{};
    ASSERT_TRUE(GetIconInfo(icon, &parts));
    BITMAP colour{}, mask{};
    ASSERT_TRUE(GetObjectW(parts.hbmColor, sizeof colour, &colour));
    ASSERT_TRUE(GetObjectW(parts.hbmMask, sizeof mask, &mask));
    EXPECT_EQ(colour.bmWidth, 16);
    EXPECT_EQ(colour.bmHeight, 16);
    EXPECT_EQ(mask.bmWidth, 16);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    DestroyIcon(icon);
  }
}
