// What the skinned controls' drawing tests share: a machine whose resource
// module is the image loader's test library (testimages.dll), memory
// canvases to draw into, pictures made in memory, pixels as text, and
// dialog templates written in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "afxwin.h"
#include "testing/tempmachine.h"

namespace controltesting {

/// A machine with testimages.dll as the resource module.
class ImageLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::path const target = m_machine.host(u"C:\\Setup\\testimages.dll");
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(winsim::testing::testProgramFolder() / "testimages.dll", target);
    m_module = LoadLibraryExW(u"C:\\Setup\\testimages.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_module, nullptr) << GetLastError();
    m_saved = AfxGetResourceHandle();
    AfxSetResourceHandle(m_module);
  }
  void TearDown() override {
    AfxSetResourceHandle(m_saved);
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    FreeLibrary(m_module);
  }

  winsim::testing::TempMachine m_machine;
  HMODULE m_module = nullptr;
  HINSTANCE m_saved = nullptr;
};

/// A 32-bit top-down DIB section whose pixels a function gives.
inline HBITMAP makePicture(int width, int height, const std::function<COLORREF(int, int)>& color) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      COLORREF const c = color(x, y);
      pixels[y * width + x] = (DWORD{GetRValue(c)} << 16) | (DWORD{GetGValue(c)} << 8) | GetBValue(c);
    }
  }
  return bitmap;
}

/// A memory context drawing into a 32-bit bitmap of its own.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF background) {
    m_dc.CreateCompatibleDC(nullptr);
    m_bitmap.Attach(makePicture(width, height, [background](int, int) { return background; }));
    m_old = m_dc.SelectObject(&m_bitmap);
  }
  ~Canvas() { m_dc.SelectObject(m_old); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  CDC& dc() { return m_dc; }
  COLORREF at(int x, int y) { return m_dc.GetPixel(x, y); }

 private:
  CDC m_dc;
  CBitmap m_bitmap;
  CBitmap* m_old = nullptr;
};

inline std::string hex(COLORREF c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buffer;
}

inline COLORREF pixelOf(Canvas& canvas, int x, int y) { return canvas.at(x, y); }
inline COLORREF pixelOf(CDC& dc, int x, int y) { return dc.GetPixel(x, y); }

struct TemplateItem {
  std::u16string className;  // "Button", "Static", "msctls_trackbar32" ...
  std::u16string text;
  WORD id;
  DWORD style;
  short x, y, cx, cy;
};

/// A dialog template in memory (the DLGTEMPLATE layout) with the dialog font
/// "MS Shell Dlg" 8; it must outlive the dialogs made from it.
class MemoryTemplate {
 public:
  MemoryTemplate(DWORD style, short cx, short cy, const std::vector<TemplateItem>& items) {
    dword(style | DS_SETFONT).dword(0).word(static_cast<WORD>(items.size()));
    word(0).word(0).word(static_cast<WORD>(cx)).word(static_cast<WORD>(cy));
    word(0).word(0).text(u"").word(8).text(u"MS Shell Dlg");
    for (const TemplateItem& item : items) {
      while (m_words.size() % 2) word(0);
      dword(item.style | WS_CHILD | WS_VISIBLE).dword(0);
      word(static_cast<WORD>(item.x)).word(static_cast<WORD>(item.y));
      word(static_cast<WORD>(item.cx)).word(static_cast<WORD>(item.cy)).word(item.id);
      text(item.className).text(item.text).word(0);
    }
    m_words.push_back(0);
  }
  LPCDLGTEMPLATEW get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(m_words.data()); }

 private:
  MemoryTemplate& word(WORD w) {
    m_words.push_back(w);
    return *this;
  }
  MemoryTemplate& dword(DWORD d) { return word(static_cast<WORD>(d)).word(static_cast<WORD>(d >> 16)); }
  MemoryTemplate& text(const std::u16string& s) {
    for (char16_t c : s) word(c);
    return word(0);
  }
  std::vector<WORD> m_words;
};

}  // namespace controltesting

/// canvas: a Canvas or a CDC.
#define EXPECT_PIXEL(canvas, x, y, expected)                                                                 \
  EXPECT_EQ(controltesting::hex(controltesting::pixelOf((canvas), (x), (y))), controltesting::hex(expected)) \
      << "at (" << (x) << ", " << (y) << ")"
