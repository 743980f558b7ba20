// Lines, rectangles, edges and focus rectangles.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "gdidc.h"
#include "gdiraster.h"

using namespace winsim;
using namespace winsim::gdi;

namespace {

// A logical rectangle on the surface as given: an inverted one stays empty.
RECT surfaceRectAsGiven(const DeviceContext& dc, const RECT& r) {
  POINT const a = dc.toSurface(r.left, r.top), b = dc.toSurface(r.right, r.bottom);
  return RECT{a.x, a.y, b.x, b.y};
}

void fillSolid(Target target, RECT r, COLORREF color) { fill(target, r, solidPaint(color)); }

// A pen's dot: a square of the pen's width centred on the point.
void plot(Target& target, int x, int y, Pixel color, int width) {
  if (width <= 1) {
    const RECT& c = target.clip;
    if (x >= c.left && x < c.right && y >= c.top && y < c.bottom) target.surface.setPixel(x, y, color);
    return;
  }
  int const x0 = x - (width - 1) / 2, y0 = y - (width - 1) / 2;
  Paint const paint = pixelPaint(color);
  fill(target, RECT{x0, y0, x0 + width, y0 + width}, paint);
}

// Bresenham's line from a to b; like GDI, the end point is not drawn, so
// joined lines never paint a pixel twice.
void line(Target target, POINT a, POINT b, Pixel color, int width) {
  int const dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  int const sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int error = dx + dy;
  int x = a.x, y = a.y;
  while (x != b.x || y != b.y) {
    plot(target, x, y, color, width);
    int const e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y += sy;
    }
  }
}

// A frame of `thickness` inside r.
void frame(Target target, const RECT& r, const Paint& paint, int thickness) {
  if (isEmpty(r)) return;
  int const t = std::min({thickness, static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)});
  fill(target, RECT{r.left, r.top, r.right, r.top + t}, paint);
  fill(target, RECT{r.left, r.bottom - t, r.right, r.bottom}, paint);
  fill(target, RECT{r.left, r.top + t, r.left + t, r.bottom - t}, paint);
  fill(target, RECT{r.right - t, r.top + t, r.right, r.bottom - t}, paint);
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE);
  POINT const previous = std::exchange(dc->position, POINT{x, y});
  if (lppt != nullptr) *lppt = previous;
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE);
  const PenObject& pen = *dc->pen();
  if (!pen.isNull()) {
    Canvas canvas(*dc, Canvas::Access::Write);
    line(canvas.target(), dc->toSurface(dc->position.x, dc->position.y), dc->toSurface(x, y),
         pixelFromColor(pen.color()), pen.width());
  }
  dc->position = POINT{x, y};
  return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE);
  RECT const r = dc->toSurface(RECT{left, top, right, bottom});
  const PenObject& pen = *dc->pen();
  Paint const brush = paintOf(dc->brush().get(), *dc);
  Canvas canvas(*dc, Canvas::Access::Write);
  if (pen.isNull()) {
    // Without a pen the filled area is one pixel smaller each way.
    fill(canvas.target(), RECT{r.left, r.top, r.right - 1, r.bottom - 1}, brush);
    return TRUE;
  }
  // Wide pens draw inside the rectangle.
  int const width = std::max(1, pen.width());
  fill(canvas.target(), RECT{r.left + width, r.top + width, r.right - width, r.bottom - width}, brush);
  frame(canvas.target(), r, solidPaint(pen.color()), width);
  return TRUE;
}

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  auto dc = lookup<DeviceContext>(hDC);
  auto brush = brushOrSysColor(hbr);
  if (!dc || !brush) return fail(ERROR_INVALID_HANDLE, 0);
  if (lprc == nullptr) return fail(ERROR_INVALID_PARAMETER, 0);
  Canvas canvas(*dc, Canvas::Access::Write);
  fill(canvas.target(), surfaceRectAsGiven(*dc, *lprc), paintOf(brush.get(), *dc));
  return 1;
}

int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  auto dc = lookup<DeviceContext>(hDC);
  auto brush = brushOrSysColor(hbr);
  if (!dc || !brush) return fail(ERROR_INVALID_HANDLE, 0);
  if (lprc == nullptr) return fail(ERROR_INVALID_PARAMETER, 0);
  Canvas canvas(*dc, Canvas::Access::Write);
  frame(canvas.target(), surfaceRectAsGiven(*dc, *lprc), paintOf(brush.get(), *dc), 1);
  return 1;
}

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (qrc == nullptr) return fail(ERROR_INVALID_PARAMETER, FALSE);
  RECT logical = *qrc;
  {
    Canvas canvas(*dc, Canvas::Access::Write);
    Target target = canvas.target();
    struct Layer {
      UINT raised, sunken;
      int raisedTopLeft, raisedBottomRight, sunkenTopLeft, sunkenBottomRight;
    };
    const Layer layers[] = {
        {BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT},
        {BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
    };
    for (const Layer& layer : layers) {
      if ((edge & (layer.raised | layer.sunken)) == 0) continue;
      bool const raised = (edge & layer.raised) != 0;
      COLORREF const topLeft = GetSysColor(raised ? layer.raisedTopLeft : layer.sunkenTopLeft);
      COLORREF const bottomRight = GetSysColor(raised ? layer.raisedBottomRight : layer.sunkenBottomRight);
      RECT const r = surfaceRectAsGiven(*dc, logical);
      if (isEmpty(r)) break;
      // Top and left stop one short, so the bottom-right colour owns the
      // corners it shares with them.
      if (grfFlags & BF_TOP) fillSolid(target, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
      if (grfFlags & BF_LEFT) fillSolid(target, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
      if (grfFlags & BF_BOTTOM) fillSolid(target, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
      if (grfFlags & BF_RIGHT) fillSolid(target, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
      if (grfFlags & BF_LEFT) ++logical.left;
      if (grfFlags & BF_TOP) ++logical.top;
      if (grfFlags & BF_RIGHT) --logical.right;
      if (grfFlags & BF_BOTTOM) --logical.bottom;
    }
    if (grfFlags & BF_MIDDLE) fillSolid(target, surfaceRectAsGiven(*dc, logical), GetSysColor(COLOR_BTNFACE));
  }
  if (grfFlags & BF_ADJUST) *qrc = logical;
  return TRUE;
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc) {
  auto dc = lookup<DeviceContext>(hDC);
  if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (lprc == nullptr) return fail(ERROR_INVALID_PARAMETER, FALSE);
  RECT const r = surfaceRectAsGiven(*dc, *lprc);
  if (isEmpty(r)) return TRUE;
  Canvas canvas(*dc, Canvas::Access::Write);
  const RECT& c = canvas.clip();
  POINT const o = dc->origin();
  // Every other pixel of the frame is inverted, so drawing it again removes it.
  auto invert = [&](int x, int y) {
    if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) return;
    if (((x - o.x + y - o.y) & 1) != 0) return;
    Pixel& p = canvas.surface().row(y)[x];
    p = (p ^ 0xFFFFFF) & 0xFFFFFF;
  };
  for (int x = r.left; x < r.right; ++x) {
    invert(x, r.top);
    if (r.bottom - 1 > r.top) invert(x, r.bottom - 1);
  }
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    invert(r.left, y);
    if (r.right - 1 > r.left) invert(r.right - 1, y);
  }
  return TRUE;
}
