// What the skinned controls' drawing tests share: the machine, canvas and
// pixel checks of testing/pixels.h, pictures made in memory, and dialog
// templates written in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "afxwin.h"
#include "testing/pixels.h"

namespace controltesting {

using ImageLibrary = winsim::testing::ImageLibraryTest;
using winsim::testing::Canvas;
using winsim::testing::hex;

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
