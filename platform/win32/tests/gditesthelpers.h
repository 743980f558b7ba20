// Off-screen canvases for the GDI pixel tests: a top-down 32-bit DIB section
// selected into a memory context, read straight from its bits.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "win32/gdi.h"

namespace gditest {

inline BITMAPINFO info32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // negative: top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

class Canvas {
 public:
  Canvas(int width, int height, COLORREF background = RGB(255, 255, 255)) : m_width(width), m_height(height) {
    BITMAPINFO const info = info32(width, -height);
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
    m_old = SelectObject(m_dc, m_bitmap);
    fill(background);
  }
  ~Canvas() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return m_dc; }
  HBITMAP bitmap() const { return m_bitmap; }
  int width() const { return m_width; }
  int height() const { return m_height; }
  std::uint32_t raw(int x, int y) const { return m_bits[y * m_width + x]; }
  void setRaw(int x, int y, std::uint32_t value) { m_bits[y * m_width + x] = value; }
  /// The colour at (x, y), read from the bits.
  COLORREF at(int x, int y) const {
    std::uint32_t const p = raw(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  void fill(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT all{0, 0, m_width, m_height};
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
  }
  int count(COLORREF color) const {
    int n = 0;
    for (int y = 0; y < m_height; ++y)
      for (int x = 0; x < m_width; ++x) n += at(x, y) == color;
    return n;
  }

 private:
  int m_width;
  int m_height;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  std::uint32_t* m_bits = nullptr;
};

inline std::string hex(COLORREF c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buffer;
}

}  // namespace gditest

#define EXPECT_COLOR(canvas, x, y, expected) \
  EXPECT_EQ(gditest::hex((canvas).at((x), (y))), gditest::hex(expected)) << "at (" << (x) << ", " << (y) << ")"
