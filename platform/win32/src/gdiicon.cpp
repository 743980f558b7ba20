#include "gdiicon.h"

#include <algorithm>

#include "gdibitmap.h"
#include "gdiraster.h"

namespace winsim::gdi {

namespace {

constexpr int kDefaultIconSize = 32;  // SM_CXICON, SM_CYICON

int nearest(int i, int count, int sourceCount) {
  return static_cast<int>(((2 * static_cast<long long>(i) + 1) * sourceCount) / (2 * static_cast<long long>(count)));
}

constexpr Pixel kWhite = 0xFFFFFF;

}  // namespace

void drawIcon(Target target, RECT dst, const IconObject& icon, UINT flags) {
  int const dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  if (dw <= 0 || dh <= 0 || (flags & DI_NORMAL) == 0) return;
  RECT const c = intersect(dst, target.clip);
  bool const both = (flags & DI_NORMAL) == DI_NORMAL;
  for (int y = c.top; y < c.bottom; ++y) {
    int const v = nearest(y - dst.top, dh, icon.height);
    Pixel* out = target.surface.row(y);
    for (int x = c.left; x < c.right; ++x) {
      int const u = nearest(x - dst.left, dw, icon.width);
      Pixel const keep = (icon.mask->pixel(u, v) & kWhite) == kWhite ? ~Pixel{0} : Pixel{0};
      Pixel const image = (icon.color ? icon.color->pixel(u, v) : icon.mask->pixel(u, v + icon.height));
      if (both && icon.alpha) {
        out[x] = mix(out[x] & kWhite, image & kWhite, image >> 24);
      } else if (both) {
        out[x] = ((out[x] & keep) ^ image) & kWhite;
      } else if (flags & DI_MASK) {
        out[x] = keep & kWhite;
      } else {
        out[x] = image & kWhite;
      }
    }
  }
}

}  // namespace winsim::gdi

using namespace winsim;
using namespace winsim::gdi;

namespace {

std::shared_ptr<Surface> copyPixels(BitmapObject& bitmap, int rows, bool asMask) {
  const Surface& from = bitmap.pixels();
  auto copy = Surface::create(from.width(), rows);
  if (!copy) return nullptr;
  for (int y = 0; y < rows; ++y) {
    const Pixel* in = from.row(y);
    Pixel* out = (*copy)->row(y);
    for (int x = 0; x < from.width(); ++x) {
      // A mask is black and white: white where the destination stays.
      out[x] = asMask ? ((in[x] & 0xFFFFFF) == 0xFFFFFF ? Pixel{0xFFFFFF} : Pixel{0}) : in[x];
    }
  }
  return std::move(*copy);
}

HBITMAP bitmapOf(const Surface& pixels, BitmapObject::Device device) {
  auto bitmap = BitmapObject::createDevice(pixels.width(), pixels.height(), device);
  if (!bitmap) return nullptr;
  Surface& to = (*bitmap)->pixels();
  for (int y = 0; y < pixels.height(); ++y) std::copy_n(pixels.row(y), pixels.width(), to.row(y));
  (*bitmap)->stored();
  return static_cast<HBITMAP>(addObject(*bitmap));
}

BOOL destroy(HICON icon) {
  if (!lookup<IconObject>(icon)) return fail(ERROR_INVALID_HANDLE, FALSE);
  return removeObject(icon) ? TRUE : fail(ERROR_INVALID_HANDLE, FALSE);
}

}  // namespace

HICON CreateIconIndirect(PICONINFO piconinfo) {
  if (piconinfo == nullptr) return fail<HICON>(ERROR_INVALID_PARAMETER, nullptr);
  auto mask = lookup<BitmapObject>(piconinfo->hbmMask);
  auto color = piconinfo->hbmColor != nullptr ? lookup<BitmapObject>(piconinfo->hbmColor) : nullptr;
  if (!mask || (piconinfo->hbmColor != nullptr && !color)) return fail<HICON>(ERROR_INVALID_HANDLE, nullptr);
  auto icon = std::make_shared<IconObject>();
  icon->width = mask->width();
  icon->height = color ? color->height() : mask->height() / 2;
  if (icon->height <= 0 || (color && (color->width() != mask->width() || color->height() != mask->height())))
    return fail<HICON>(ERROR_INVALID_PARAMETER, nullptr);
  // The icon keeps copies: the caller deletes its bitmaps afterwards.
  icon->mask = copyPixels(*mask, mask->height(), true);
  if (color) {
    icon->color = copyPixels(*color, color->height(), false);
    if (color->bitCount() == 32) {
      const Surface& c = *icon->color;
      for (int y = 0; y < c.height() && !icon->alpha; ++y)
        icon->alpha = std::any_of(c.row(y), c.row(y) + c.width(), [](Pixel p) { return (p >> 24) != 0; });
    }
  }
  if (!icon->mask || (color && !icon->color)) return fail<HICON>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
  icon->isIcon = piconinfo->fIcon != FALSE;
  icon->hotspot = icon->isIcon ? POINT{icon->width / 2, icon->height / 2}
                               : POINT{static_cast<LONG>(piconinfo->xHotspot), static_cast<LONG>(piconinfo->yHotspot)};
  return static_cast<HICON>(addObject(icon));
}

BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo) {
  auto icon = lookup<IconObject>(hIcon);
  if (!icon) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (piconinfo == nullptr) return fail(ERROR_INVALID_PARAMETER, FALSE);
  ICONINFO info{};
  info.fIcon = icon->isIcon ? TRUE : FALSE;
  info.xHotspot = static_cast<DWORD>(icon->hotspot.x);
  info.yHotspot = static_cast<DWORD>(icon->hotspot.y);
  // The caller owns (and deletes) these new bitmaps.
  info.hbmMask = bitmapOf(*icon->mask, BitmapObject::Device::Monochrome);
  if (icon->color) info.hbmColor = bitmapOf(*icon->color, BitmapObject::Device::TrueColor);
  if (info.hbmMask == nullptr || (icon->color && info.hbmColor == nullptr)) {
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return fail(ERROR_NOT_ENOUGH_MEMORY, FALSE);
  }
  *piconinfo = info;
  return TRUE;
}

HICON CopyIcon(HICON hIcon) {
  auto icon = lookup<IconObject>(hIcon);
  if (!icon) return fail<HICON>(ERROR_INVALID_HANDLE, nullptr);
  auto copy = std::make_shared<IconObject>();
  copy->isIcon = icon->isIcon;
  copy->hotspot = icon->hotspot;
  copy->width = icon->width;
  copy->height = icon->height;
  copy->color = icon->color;  // pictures never change, so copies share them
  copy->mask = icon->mask;
  copy->alpha = icon->alpha;
  return static_cast<HICON>(addObject(copy));
}

BOOL DestroyIcon(HICON hIcon) { return destroy(hIcon); }
BOOL DestroyCursor(HCURSOR hCursor) { return destroy(hCursor); }

BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
                HBRUSH hbrFlickerFreeDraw, UINT diFlags) {
  auto dc = lookup<DeviceContext>(hdc);
  auto icon = lookup<IconObject>(hIcon);
  if (!dc || !icon) return fail(ERROR_INVALID_HANDLE, FALSE);
  int const defaultSize = (diFlags & DI_DEFAULTSIZE) ? kDefaultIconSize : 0;
  int const width = cxWidth != 0 ? cxWidth : (defaultSize != 0 ? defaultSize : icon->width);
  int const height = cyWidth != 0 ? cyWidth : (defaultSize != 0 ? defaultSize : icon->height);
  if (width < 0 || height < 0) return fail(ERROR_INVALID_PARAMETER, FALSE);
  RECT const dst = dc->toSurface(RECT{xLeft, yTop, xLeft + width, yTop + height});
  Canvas canvas(*dc, Canvas::Access::Write);
  if (hbrFlickerFreeDraw != nullptr) {
    // Drawn off-screen over the brush, then copied: the brush shows through.
    auto brush = brushOrSysColor(hbrFlickerFreeDraw);
    if (brush) fill(canvas.target(), dst, paintOf(brush.get(), *dc));
  }
  drawIcon(canvas.target(), dst, *icon, diFlags);
  return TRUE;
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
  return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
}
