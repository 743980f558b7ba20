// Screenshots: surfaces written as PNG and read back; one scene of the
// skinned controls' drawing operations written for a person to look at.
#include "winsim/png.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "gditesthelpers.h"
#include "win32/gdi.h"
#include "winsim/surface.h"

namespace fs = std::filesystem;

namespace {

fs::path tempFile(const std::string& name) {
  return fs::temp_directory_path() / ("winsim-png-" + std::to_string(::getpid()) + "-" + name);
}

// The gradient and pattern of the copy-files page's progress bar, drawn off
// screen through a paint buffer and copied in one go.
void drawProgressBar(HDC target, RECT client, int position, int upper, HBITMAP pattern) {
  RECT clip{};
  GetClipBox(target, &clip);
  clip = RECT{std::max(clip.left, client.left), std::max(clip.top, client.top), std::min(clip.right, client.right),
              std::min(clip.bottom, client.bottom)};
  int const w = clip.right - clip.left, h = clip.bottom - clip.top;
  HDC memory = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  HBRUSH grey = CreateSolidBrush(RGB(58, 58, 58));
  RECT all{0, 0, w, h};
  FillRect(memory, &all, grey);
  DeleteObject(grey);
  SetWindowOrgEx(memory, clip.left, clip.top, nullptr);

  int const done = static_cast<int>(static_cast<double>(position) / upper * (client.right - client.left));
  int const r0 = 7, g0 = 85, b0 = 49, r1 = 72, g1 = 211, b1 = 29;
  int const steps = std::max({std::abs(r1 - r0), std::abs(g1 - g0), std::abs(b1 - b0)});
  double const stepWidth = static_cast<double>(done) / steps;
  int right = client.left;
  for (int i = 0; i < steps; ++i) {
    RECT band{client.left + static_cast<int>(i * stepWidth), 0, client.left + static_cast<int>((i + 1) * stepWidth),
              client.bottom + 1};
    HBRUSH brush =
        CreateSolidBrush(RGB(r0 + i * (r1 - r0) / steps, g0 + i * (g1 - g0) / steps, b0 + i * (b1 - b0) / steps));
    FillRect(memory, &band, brush);
    DeleteObject(brush);
    right = band.right;
  }
  HBRUSH patternBrush = CreatePatternBrush(pattern);
  RECT rest{right, 0, client.right, client.bottom};
  FillRect(memory, &rest, patternBrush);
  DeleteObject(patternBrush);

  SetTextColor(memory, RGB(255, 255, 255));
  SetBkMode(memory, TRANSPARENT);
  HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, u"MS Sans Serif");
  HGDIOBJ oldFont = SelectObject(memory, font);
  RECT caption = client;
  caption.left = 30;
  DrawTextW(memory, u"Overall progress...", -1, &caption, DT_SINGLELINE | DT_VCENTER);
  SelectObject(memory, oldFont);
  DeleteObject(font);

  BitBlt(target, clip.left, clip.top, w, h, memory, clip.left, clip.top, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

}  // namespace

TEST(Png, WrittenPixelsReadBack) {
  auto surface = winsim::Surface::create(7, 5);
  ASSERT_TRUE(surface.ok());
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) (*surface)->setPixel(x, y, winsim::pixelFromColor(RGB(x * 30, y * 50, 99)));
  fs::path const file = tempFile("roundtrip.png");
  ASSERT_TRUE(winsim::writePng(**surface, file).ok());
  auto back = winsim::readPng(file);
  ASSERT_TRUE(back.ok()) << back.error().message;
  ASSERT_EQ((*back)->width(), 7);
  ASSERT_EQ((*back)->height(), 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      EXPECT_EQ(winsim::colorFromPixel((*back)->pixel(x, y)), RGB(x * 30, y * 50, 99));
      EXPECT_EQ((*back)->pixel(x, y) >> 24, 255u);  // no alpha in the file: opaque
    }

  // One rectangle of it, clipped to the surface.
  ASSERT_TRUE(winsim::writePng(**surface, RECT{5, 3, 20, 20}, file).ok());
  auto part = winsim::readPng(file);
  ASSERT_TRUE(part.ok());
  EXPECT_EQ((*part)->width(), 2);
  EXPECT_EQ((*part)->height(), 2);
  EXPECT_EQ(winsim::colorFromPixel((*part)->pixel(0, 0)), RGB(150, 150, 99));
  EXPECT_FALSE(winsim::writePng(**surface, RECT{10, 10, 20, 20}, file).ok());
  fs::remove(file);
}

TEST(Png, BadFilesAreRefused) {
  fs::path const file = tempFile("bad.png");
  {
    std::ofstream out(file, std::ios::binary);
    out << "\x89PNG\r\n\x1a\n not really";
  }
  EXPECT_FALSE(winsim::readPng(file).ok());
  fs::remove(file);
  EXPECT_FALSE(winsim::readPng(tempFile("missing.png")).ok());
  auto surface = winsim::Surface::create(2, 2);
  EXPECT_FALSE(winsim::writePng(**surface, fs::path("/nonexistent-folder/x.png")).ok());
}

TEST(Png, ScreenshotOfASkinnedScene) {
  // A page of the setup program's skin, drawn on the virtual screen with the
  // operations the skinned controls use; written into the build folder
  // (gdi_scene.png) for a person to look at.
  ASSERT_TRUE(winsim::setVirtualScreenSize(480, 300).ok());
  HDC screen = GetDC(nullptr);

  // Background: a small picture stretched over the page with halftone.
  gditest::Canvas picture(4, 3);
  const COLORREF corners[4] = {RGB(20, 60, 120), RGB(40, 110, 170), RGB(10, 30, 70), RGB(60, 140, 200)};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) SetPixel(picture.dc(), x, y, corners[(x >= 2) + 2 * (y >= 2)]);
  SetStretchBltMode(screen, HALFTONE);
  StretchBlt(screen, 0, 0, 480, 300, picture.dc(), 0, 0, 4, 3, SRCCOPY);

  // Title text, white and transparent over the picture.
  HFONT title = CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, u"Arial");
  HFONT label = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, u"Arial");
  HGDIOBJ oldFont = SelectObject(screen, title);
  SetBkMode(screen, TRANSPARENT);
  SetTextColor(screen, RGB(255, 255, 255));
  TextOutW(screen, 24, 18, u"Welcome to DWG Merrowin Setup", 29);
  SelectObject(screen, label);
  SetTextColor(screen, RGB(249, 224, 109));
  RECT body{24, 56, 456, 110};
  DrawTextW(screen, u"Setup will install DWG Merrowin into the folder below. Click Browse to choose another folder.",
            -1, &body, DT_WORDBREAK);

  // A path label with a link-like underline.
  SetTextColor(screen, RGB(255, 255, 255));
  TextOutW(screen, 28, 118, u"C:\\Program Files\\Merrowin\\DWG Merrowin", 38);
  HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
  HGDIOBJ oldPen = SelectObject(screen, blue);
  SIZE pathSize{};
  GetTextExtentPoint32W(screen, u"C:\\Program Files\\Merrowin\\DWG Merrowin", 38, &pathSize);
  MoveToEx(screen, 26, 118 + pathSize.cy + 1, nullptr);
  LineTo(screen, 26 + pathSize.cx, 118 + pathSize.cy + 1);

  // A semi-transparent panel blended at 200 over the background.
  gditest::Canvas panel(200, 60, RGB(240, 240, 240));
  AlphaBlend(screen, 24, 150, 200, 60, panel.dc(), 0, 0, 200, 60, BLENDFUNCTION{AC_SRC_OVER, 0, 200, 0});
  SetTextColor(screen, RGB(0, 0, 0));
  RECT inPanel{24, 150, 224, 210};
  DrawTextW(screen, u"I &accept the licence", -1, &inPanel, DT_SINGLELINE | DT_VCENTER | DT_CENTER);

  // A raised button with a focus rectangle and a disabled one.
  RECT button{260, 160, 350, 190};
  FillRect(screen, &button, GetSysColorBrush(COLOR_BTNFACE));
  RECT edge = button;
  DrawEdge(screen, &edge, EDGE_RAISED, BF_RECT);
  DrawTextW(screen, u"&Install", -1, &button, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  RECT focus{button.left + 3, button.top + 3, button.right - 3, button.bottom - 3};
  DrawFocusRect(screen, &focus);
  RECT disabled{366, 160, 456, 190};
  FillRect(screen, &disabled, GetSysColorBrush(COLOR_BTNFACE));
  RECT edge2 = disabled;
  DrawEdge(screen, &edge2, EDGE_RAISED, BF_RECT);
  DrawStateW(screen, nullptr, nullptr, reinterpret_cast<LPARAM>(u"Cancel"), 6, 390, 168, 0, 0, DST_TEXT | DSS_DISABLED);

  // The progress bar at position 1 of 8 over 400 pixels, with its pattern.
  gditest::Canvas tile(4, 4, RGB(90, 90, 90));
  for (int i = 0; i < 4; ++i) SetPixel(tile.dc(), i, i, RGB(150, 150, 150));
  HDC barDc = winsim::createSurfaceDC(
      winsim::SurfaceTarget{winsim::virtualScreen(), POINT{40, 240}, RECT{40, 240, 440, 262}, nullptr});
  drawProgressBar(barDc, RECT{0, 0, 400, 22}, 1, 8, tile.bitmap());
  ReleaseDC(nullptr, barDc);

  SelectObject(screen, oldFont);
  SelectObject(screen, oldPen);
  DeleteObject(title);
  DeleteObject(label);
  DeleteObject(blue);
  ReleaseDC(nullptr, screen);

  // Done width 50 of 400 in 126 bands of 0.4 pixel: bands 0 and 1 are empty,
  // so the first pixel shows band 2; the pattern follows the gradient.
  auto shot = winsim::virtualScreen();
  EXPECT_EQ(winsim::colorFromPixel(shot->pixel(40, 241)), RGB(8, 87, 49));
  EXPECT_EQ(winsim::colorFromPixel(shot->pixel(435, 241)), RGB(90, 90, 90));

  fs::path const file = fs::current_path() / "gdi_scene.png";
  ASSERT_TRUE(winsim::writePng(*shot, file).ok());
  auto back = winsim::readPng(file);
  ASSERT_TRUE(back.ok());
  for (int y = 0; y < 300; y += 7)
    for (int x = 0; x < 480; x += 5)
      ASSERT_EQ((*back)->pixel(x, y) & 0xFFFFFF, shot->pixel(x, y) & 0xFFFFFF) << x << "," << y;
  std::cout << "scene written to " << file << "\n";
  ASSERT_TRUE(winsim::setVirtualScreenSize(1024, 768).ok());
}
