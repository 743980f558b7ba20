// Logical palettes. The simulated display shows every colour directly, so a
// palette is kept and handed back, and realising it maps nothing.
#include <algorithm>

#include "gdidc.h"
#include "gdiobjects.h"

using namespace winsim::gdi;

namespace {

// The platform's largest logical palette.
constexpr WORD kMaxPaletteEntries = 1024;

}  // namespace

HPALETTE CreatePalette(const LOGPALETTE* plpal) {
  if (plpal == nullptr || plpal->palVersion != 0x300 || plpal->palNumEntries == 0 ||
      plpal->palNumEntries > kMaxPaletteEntries)
    return fail<HPALETTE>(ERROR_INVALID_PARAMETER, nullptr);
  std::vector<PALETTEENTRY> entries(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
  return static_cast<HPALETTE>(addObject(std::make_shared<PaletteObject>(std::move(entries))));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd) {
  auto dc = lookup<DeviceContext>(hdc);
  auto palette = lookup<PaletteObject>(hPal);
  if (!dc || !palette) return fail<HPALETTE>(ERROR_INVALID_HANDLE, nullptr);
  return static_cast<HPALETTE>(dc->selectPalette(palette)->handle());
}

UINT RealizePalette(HDC hdc) {
  if (!lookup<DeviceContext>(hdc)) return fail(ERROR_INVALID_HANDLE, static_cast<UINT>(GDI_ERROR));
  // True colour: no entry of the system palette changes.
  return 0;
}

UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries) {
  auto palette = lookup<PaletteObject>(hpal);
  if (!palette) return fail(ERROR_INVALID_HANDLE, 0u);
  const auto& entries = palette->entries();
  if (pPalEntries == nullptr) return static_cast<UINT>(entries.size());
  if (iStart >= entries.size()) return 0;
  UINT const count = std::min<UINT>(cEntries, static_cast<UINT>(entries.size()) - iStart);
  std::copy_n(entries.begin() + iStart, count, pPalEntries);
  return count;
}
