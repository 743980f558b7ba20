// Fonts: the face map, GDI's height rules, metrics from the real font files,
// extents, and drawing from several threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "gditesthelpers.h"
#include "win32/gdi.h"

using gditest::Canvas;

namespace {

HFONT makeFont(int height, const char16_t* face, int weight = FW_NORMAL, BYTE pitchAndFamily = DEFAULT_PITCH) {
  return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchAndFamily, face);
}

struct Measured {
  TEXTMETRICW tm{};
  SIZE extent{};
};

Measured measure(HFONT font, const std::u16string& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  Measured m;
  EXPECT_TRUE(GetTextMetricsW(dc, &m.tm));
  EXPECT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &m.extent));
  SelectObject(dc, old);
  DeleteDC(dc);
  return m;
}

}  // namespace

TEST(Font, ArialMinus13HasDialogSizedMetrics) {
  HFONT font = makeFont(-13, u"Arial");
  Measured const m = measure(font, u"Hello");
  EXPECT_GE(m.tm.tmHeight, 15);
  EXPECT_LE(m.tm.tmHeight, 16);
  EXPECT_EQ(m.tm.tmAscent + m.tm.tmDescent, m.tm.tmHeight);
  EXPECT_EQ(m.tm.tmHeight - m.tm.tmInternalLeading, 13);  // a negative height is the character height
  EXPECT_GE(m.tm.tmAveCharWidth, 5);
  EXPECT_LE(m.tm.tmAveCharWidth, 7);
  EXPECT_GT(m.tm.tmMaxCharWidth, m.tm.tmAveCharWidth);
  EXPECT_EQ(m.tm.tmWeight, FW_NORMAL);
  EXPECT_NE(m.tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);  // set: variable pitch
  EXPECT_NE(m.tm.tmPitchAndFamily & TMPF_TRUETYPE, 0);
  EXPECT_EQ(m.tm.tmPitchAndFamily & 0xF0, FF_SWISS);
  EXPECT_EQ(m.extent.cy, m.tm.tmHeight);
  EXPECT_GT(m.extent.cx, 4 * m.tm.tmAveCharWidth);
  EXPECT_LT(m.extent.cx, 8 * m.tm.tmAveCharWidth);
  DeleteObject(font);
}

TEST(Font, APositiveHeightIsTheCellHeight) {
  for (int height : {8, 13, 16, 24, 40}) {
    HFONT font = makeFont(height, u"Times New Roman");
    Measured const m = measure(font, u"x");
    EXPECT_EQ(m.tm.tmHeight, height);
    EXPECT_GT(m.tm.tmInternalLeading, 0);
    EXPECT_EQ(m.tm.tmPitchAndFamily & 0xF0, FF_ROMAN);
    DeleteObject(font);
  }
  // Height 0 gives a readable default.
  HFONT font = makeFont(0, u"Arial");
  EXPECT_EQ(measure(font, u"x").tm.tmHeight, 16);
  DeleteObject(font);
}

TEST(Font, FacesOfTheDialogsMapToMetricCompatibleFaces) {
  // The dialog faces all draw with Arial's metrics.
  HFONT reference = makeFont(-11, u"Arial");
  Measured const arial = measure(reference, u"Install folder");
  DeleteObject(reference);
  for (const char16_t* face : {u"MS Sans Serif", u"MS Shell Dlg", u"MS Shell Dlg 2", u"Tahoma", u"Microsoft Sans Serif",
                               u"Segoe UI", u"arial", u"Unknown Face"}) {
    HFONT font = makeFont(-11, face);
    Measured const m = measure(font, u"Install folder");
    EXPECT_EQ(m.extent.cx, arial.extent.cx) << std::string(face, face + std::char_traits<char16_t>::length(face));
    EXPECT_EQ(m.tm.tmAveCharWidth, arial.tm.tmAveCharWidth);
    DeleteObject(font);
  }
  // Courier New is fixed-pitch: every character is equally wide.
  HFONT mono = makeFont(-12, u"Courier New");
  Measured const narrow = measure(mono, u"iiii"), wide = measure(mono, u"WWWW");
  EXPECT_EQ(narrow.extent.cx, wide.extent.cx);
  EXPECT_EQ(narrow.tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
  EXPECT_EQ(narrow.tm.tmPitchAndFamily & 0xF0, FF_MODERN);
  DeleteObject(mono);
  // An unknown face asking for fixed pitch gets the fixed face.
  HFONT fixedUnknown = makeFont(-12, u"Nothing Like It", FW_NORMAL, FIXED_PITCH);
  EXPECT_EQ(measure(fixedUnknown, u"iiii").extent.cx, measure(fixedUnknown, u"WWWW").extent.cx);
  DeleteObject(fixedUnknown);
}

TEST(Font, BoldAndItalicTakeTheirOwnFaces) {
  HFONT regular = makeFont(-16, u"Arial");
  HFONT bold = makeFont(-16, u"Arial", FW_BOLD);
  Measured const r = measure(regular, u"Overall progress...");
  Measured const b = measure(bold, u"Overall progress...");
  EXPECT_GT(b.extent.cx, r.extent.cx);
  EXPECT_EQ(b.tm.tmWeight, FW_BOLD);
  EXPECT_GE(b.tm.tmAveCharWidth, r.tm.tmAveCharWidth);

  LOGFONTW lf{};
  lf.lfHeight = -16;
  lf.lfItalic = TRUE;
  std::u16string const name = u"Arial";
  std::copy(name.begin(), name.end(), lf.lfFaceName);
  HFONT italic = CreateFontIndirectW(&lf);
  Measured const i = measure(italic, u"Overall progress...");
  EXPECT_NE(i.tm.tmItalic, 0);
  // Drawn differently from the upright face.
  Canvas upright(200, 30), slanted(200, 30);
  SelectObject(upright.dc(), regular);
  SelectObject(slanted.dc(), italic);
  TextOutW(upright.dc(), 2, 2, u"Overall", 7);
  TextOutW(slanted.dc(), 2, 2, u"Overall", 7);
  int differences = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 200; ++x) differences += upright.at(x, y) != slanted.at(x, y);
  EXPECT_GT(differences, 20);
  SelectObject(upright.dc(), GetStockObject(SYSTEM_FONT));
  SelectObject(slanted.dc(), GetStockObject(SYSTEM_FONT));
  DeleteObject(regular);
  DeleteObject(bold);
  DeleteObject(italic);
}

TEST(Font, ExtentsAddUpCharacterByCharacter) {
  HFONT font = makeFont(-13, u"Arial");
  int sum = 0;
  for (char16_t c : std::u16string(u"C:\\Program Files\\DWG Merrowin"))
    sum += measure(font, std::u16string(1, c)).extent.cx;
  EXPECT_EQ(measure(font, u"C:\\Program Files\\DWG Merrowin").extent.cx, sum);
  EXPECT_EQ(measure(font, u"").extent.cx, 0);
  DeleteObject(font);
}

TEST(Font, StockFontsHaveFaces) {
  struct Case {
    int stock;
    int minHeight, maxHeight;
  } const cases[] = {{SYSTEM_FONT, 16, 16}, {DEFAULT_GUI_FONT, 12, 14}, {ANSI_VAR_FONT, 12, 14}};
  for (const Case& c : cases) {
    Measured const m = measure(static_cast<HFONT>(GetStockObject(c.stock)), u"OK");
    EXPECT_GE(m.tm.tmHeight, c.minHeight) << c.stock;
    EXPECT_LE(m.tm.tmHeight, c.maxHeight) << c.stock;
    EXPECT_GT(m.extent.cx, 0);
  }
  EXPECT_EQ(measure(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), u"OK").tm.tmWeight, FW_BOLD);
}

TEST(Font, TextDrawsTheSameFromSeveralThreads) {
  HFONT font = makeFont(-14, u"Arial");
  auto draw = [&](Canvas& canvas) {
    HGDIOBJ old = SelectObject(canvas.dc(), font);
    SetBkMode(canvas.dc(), TRANSPARENT);
    for (int i = 0; i < 5; ++i) TextOutW(canvas.dc(), 2, 2 + 18 * i, u"Copying files 0123456789", 24);
    SelectObject(canvas.dc(), old);
  };
  Canvas a(220, 100), b(220, 100), reference(220, 100);
  std::thread first([&] { draw(a); });
  std::thread second([&] { draw(b); });
  first.join();
  second.join();
  draw(reference);
  int differences = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 220; ++x)
      differences += (a.at(x, y) != reference.at(x, y)) + (b.at(x, y) != reference.at(x, y));
  EXPECT_EQ(differences, 0);
  EXPECT_GT(reference.count(RGB(0, 0, 0)), 50);
  DeleteObject(font);
}
