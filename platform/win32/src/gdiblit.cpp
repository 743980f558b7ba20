// Block transfers between device contexts: BitBlt, StretchBlt, AlphaBlend.
#include "gdidc.h"
#include "gdiraster.h"

using namespace winsim;
using namespace winsim::gdi;

namespace {

// Colour conversion between a monochrome and a colour context, as GDI does
// it: monochrome black and white become the destination's text and
// background colours; colour pixels equal to the source's background colour
// become white, all others black.
Source sourceOf(Canvas& from, const DeviceContext& fromDc, const Canvas& to, const DeviceContext& toDc) {
  Source source;
  source.surface = &from.surface();
  if (from.monochrome() && !to.monochrome()) {
    source.convert = Source::Convert::MonoToColor;
    source.fore = pixelFromColor(toDc.textColor);
    source.back = pixelFromColor(toDc.bkColor);
  } else if (!from.monochrome() && to.monochrome()) {
    source.convert = Source::Convert::ColorToMono;
    source.key = pixelFromColor(fromDc.bkColor);
  }
  return source;
}

RECT surfaceRect(const DeviceContext& dc, int x, int y, int width, int height) {
  POINT const a = dc.toSurface(x, y), b = dc.toSurface(x + width, y + height);
  return RECT{a.x, a.y, b.x, b.y};
}

BOOL blit(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc,
          DWORD rop, bool stretch) {
  auto dst = lookup<DeviceContext>(hdcDest);
  if (!dst) return fail(ERROR_INVALID_HANDLE, FALSE);
  Paint const paint = paintOf(dst->brush().get(), *dst);
  if (!ropUsesSource(rop)) {
    Canvas canvas(*dst, Canvas::Access::Write);
    RECT r = surfaceRect(*dst, xDest, yDest, wDest, hDest);
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    fill(canvas.target(), r, paint, rop);
    return TRUE;
  }
  auto src = lookup<DeviceContext>(hdcSrc);
  if (!src) return fail(ERROR_INVALID_HANDLE, FALSE);
  Canvas from(*src, Canvas::Access::Read);
  Canvas to(*dst, Canvas::Access::Write);
  Source const source = sourceOf(from, *src, to, *dst);
  Sampling const sampling = stretch && dst->stretchMode == HALFTONE ? Sampling::Halftone : Sampling::Nearest;
  transfer(to.target(), surfaceRect(*dst, xDest, yDest, wDest, hDest), source,
           surfaceRect(*src, xSrc, ySrc, wSrc, hSrc), rop, paint, sampling);
  return TRUE;
}

}  // namespace

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  return blit(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop, false);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop) {
  return blit(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop, true);
}

BOOL AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc, int xoriginSrc,
                int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn) {
  auto dst = lookup<DeviceContext>(hdcDest);
  auto src = lookup<DeviceContext>(hdcSrc);
  if (!dst || !src) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (ftn.BlendOp != AC_SRC_OVER || ftn.BlendFlags != 0 || (ftn.AlphaFormat & ~AC_SRC_ALPHA) != 0 || wDest < 0 ||
      hDest < 0 || wSrc < 0 || hSrc < 0)
    return fail(ERROR_INVALID_PARAMETER, FALSE);
  Canvas from(*src, Canvas::Access::Read);
  RECT const s = surfaceRect(*src, xoriginSrc, yoriginSrc, wSrc, hSrc);
  // The source rectangle must lie inside the source surface.
  RECT const bounds = from.surface().bounds();
  if (s.left < bounds.left || s.top < bounds.top || s.right > bounds.right || s.bottom > bounds.bottom)
    return fail(ERROR_INVALID_PARAMETER, FALSE);
  Canvas to(*dst, Canvas::Access::Write);
  blend(to.target(), surfaceRect(*dst, xoriginDest, yoriginDest, wDest, hDest), from.surface(), s, ftn);
  return TRUE;
}
