// Brushes, pens and the system colours.
#include <algorithm>
#include <array>
#include <cstdint>

#include "gdibitmap.h"
#include "gdiobjects.h"

namespace winsim::gdi {

namespace {

constexpr int kSysColorCount = 31;

// The default colour scheme of Windows 7, by COLOR_* index.
constexpr std::array<COLORREF, kSysColorCount> kSysColors = {
    RGB(200, 200, 200),  // COLOR_SCROLLBAR
    RGB(0, 0, 0),        // COLOR_BACKGROUND
    RGB(153, 180, 209),  // COLOR_ACTIVECAPTION
    RGB(191, 205, 219),  // COLOR_INACTIVECAPTION
    RGB(240, 240, 240),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(100, 100, 100),  // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(0, 0, 0),        // COLOR_CAPTIONTEXT
    RGB(180, 180, 180),  // COLOR_ACTIVEBORDER
    RGB(244, 247, 252),  // COLOR_INACTIVEBORDER
    RGB(171, 171, 171),  // COLOR_APPWORKSPACE
    RGB(51, 153, 255),   // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240),  // COLOR_BTNFACE
    RGB(160, 160, 160),  // COLOR_BTNSHADOW
    RGB(109, 109, 109),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(67, 78, 84),     // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105),  // COLOR_3DDKSHADOW
    RGB(227, 227, 227),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // 25: no colour
    RGB(0, 102, 204),    // COLOR_HOTLIGHT
    RGB(185, 209, 234),  // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(51, 153, 255),   // COLOR_MENUHILIGHT
    RGB(240, 240, 240),  // COLOR_MENUBAR
};

}  // namespace

std::shared_ptr<BrushObject> sysColorBrush(int index) {
  using Brushes = std::array<std::shared_ptr<BrushObject>, kSysColorCount>;
  // Like stock objects, these brushes are never deleted.
  static const Brushes* brushes = [] {
    auto* all = new Brushes;
    for (int i = 0; i < kSysColorCount; ++i) {
      auto brush = std::make_shared<BrushObject>(BrushObject::Style::Solid, kSysColors[static_cast<std::size_t>(i)]);
      registerObject(brush, true);
      (*all)[static_cast<std::size_t>(i)] = std::move(brush);
    }
    return all;
  }();
  if (index < 0 || index >= kSysColorCount) return nullptr;
  return (*brushes)[static_cast<std::size_t>(index)];
}

std::shared_ptr<BrushObject> brushOrSysColor(HBRUSH brush) {
  auto const value = reinterpret_cast<std::uintptr_t>(brush);
  if (value >= 1 && value <= kSysColorCount) return sysColorBrush(static_cast<int>(value) - 1);
  return lookup<BrushObject>(brush);
}

}  // namespace winsim::gdi

using namespace winsim;
using namespace winsim::gdi;

DWORD GetSysColor(int nIndex) {
  if (nIndex < 0 || nIndex >= static_cast<int>(kSysColors.size())) return 0;
  return kSysColors[static_cast<std::size_t>(nIndex)];
}

HBRUSH GetSysColorBrush(int nIndex) {
  auto brush = sysColorBrush(nIndex);
  return brush ? static_cast<HBRUSH>(brush->handle()) : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  return static_cast<HBRUSH>(addObject(std::make_shared<BrushObject>(BrushObject::Style::Solid, color & 0xFFFFFF)));
}

HBRUSH CreatePatternBrush(HBITMAP hbm) {
  auto bitmap = lookup<BitmapObject>(hbm);
  if (!bitmap) return fail<HBRUSH>(ERROR_INVALID_HANDLE, nullptr);
  // The brush keeps a copy, so the bitmap may be deleted afterwards.
  const Surface& from = bitmap->pixels();
  auto pattern = Surface::create(from.width(), from.height());
  if (!pattern) return fail<HBRUSH>(pattern.error().code, nullptr);
  for (int y = 0; y < from.height(); ++y) std::copy_n(from.row(y), from.width(), (*pattern)->row(y));
  return static_cast<HBRUSH>(addObject(
      std::make_shared<BrushObject>(std::move(*pattern), bitmap->isMonochrome(), reinterpret_cast<ULONG_PTR>(hbm))));
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
  if (iStyle != PS_SOLID && iStyle != PS_NULL && iStyle != PS_INSIDEFRAME)
    return fail<HPEN>(ERROR_INVALID_PARAMETER, nullptr);  // dashed and dotted pens are not drawn here
  return static_cast<HPEN>(addObject(std::make_shared<PenObject>(iStyle, cWidth < 0 ? 0 : cWidth, color & 0xFFFFFF)));
}
