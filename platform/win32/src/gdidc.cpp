#include "gdidc.h"

#include <algorithm>
#include <utility>

namespace winsim::gdi {

RECT intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

bool isEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

namespace {

template <class T>
std::shared_ptr<T> stockAs(int index) {
  return std::static_pointer_cast<T>(stockObject(index));
}

}  // namespace

std::shared_ptr<DeviceContext> DeviceContext::createMemory() {
  std::shared_ptr<DeviceContext> dc(new DeviceContext);
  dc->m_bitmap = defaultBitmap();
  dc->m_brush = stockAs<BrushObject>(WHITE_BRUSH);
  dc->m_pen = stockAs<PenObject>(BLACK_PEN);
  dc->m_font = stockAs<FontObject>(SYSTEM_FONT);
  dc->m_palette = stockAs<PaletteObject>(DEFAULT_PALETTE);
  SelectionLock lock;
  lock.select(*dc->m_bitmap);
  lock.select(*dc->m_brush);
  lock.select(*dc->m_pen);
  lock.select(*dc->m_font);
  lock.select(*dc->m_palette);
  return dc;
}

std::shared_ptr<DeviceContext> DeviceContext::createOnSurface(const SurfaceTarget& target) {
  std::shared_ptr<DeviceContext> dc(new DeviceContext);
  dc->m_surfaceTarget = target;
  dc->m_brush = stockAs<BrushObject>(WHITE_BRUSH);
  dc->m_pen = stockAs<PenObject>(BLACK_PEN);
  dc->m_font = stockAs<FontObject>(SYSTEM_FONT);
  dc->m_palette = stockAs<PaletteObject>(DEFAULT_PALETTE);
  SelectionLock lock;
  lock.select(*dc->m_brush);
  lock.select(*dc->m_pen);
  lock.select(*dc->m_font);
  lock.select(*dc->m_palette);
  return dc;
}

DeviceContext::~DeviceContext() {
  SelectionLock lock;
  for (Object* object :
       {static_cast<Object*>(m_bitmap.get()), static_cast<Object*>(m_brush.get()), static_cast<Object*>(m_pen.get()),
        static_cast<Object*>(m_font.get()), static_cast<Object*>(m_palette.get())}) {
    if (object != nullptr) lock.deselect(*object);
  }
}

RECT DeviceContext::toSurface(const RECT& logical) const {
  POINT const a = toSurface(logical.left, logical.top), b = toSurface(logical.right, logical.bottom);
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

RECT DeviceContext::surfaceClip() {
  RECT base;
  if (isMemory()) {
    base = RECT{0, 0, m_bitmap->width(), m_bitmap->height()};
  } else {
    base = intersect(m_surfaceTarget.clip, m_surfaceTarget.surface->bounds());
  }
  if (clip) {
    POINT const o = origin();
    base = intersect(base, RECT{clip->left + o.x, clip->top + o.y, clip->right + o.x, clip->bottom + o.y});
  }
  return base;
}

std::shared_ptr<Object> DeviceContext::select(const std::shared_ptr<Object>& object) {
  SelectionLock lock;
  auto swap = [&](auto& slot) -> std::shared_ptr<Object> {
    using T = typename std::decay_t<decltype(slot)>::element_type;
    auto incoming = std::static_pointer_cast<T>(object);
    std::shared_ptr<Object> previous = slot;
    lock.select(*incoming);
    lock.deselect(*slot);
    slot = std::move(incoming);
    return previous;
  };
  switch (object->kind()) {
    case Kind::Bitmap: {
      if (!isMemory()) return nullptr;
      if (object == m_bitmap) return m_bitmap;
      // A bitmap lives in one memory context at a time; the shared stock
      // bitmap may sit in many.
      if (!object->isStock() && lock.selections(*object) > 0) return nullptr;
      return swap(m_bitmap);
    }
    case Kind::Brush:
      return swap(m_brush);
    case Kind::Pen:
      return swap(m_pen);
    case Kind::Font:
      return swap(m_font);
    default:
      return nullptr;
  }
}

std::shared_ptr<PaletteObject> DeviceContext::selectPalette(const std::shared_ptr<PaletteObject>& palette) {
  SelectionLock lock;
  auto previous = m_palette;
  lock.select(*palette);
  lock.deselect(*m_palette);
  m_palette = palette;
  return previous;
}

Canvas::Canvas(DeviceContext& dc, Access access) : m_access(access) {
  if (dc.isMemory()) {
    m_bitmap = dc.bitmap();
    m_surface = &m_bitmap->pixels();
    m_monochrome = m_bitmap->isMonochrome();
  } else {
    m_hold = dc.surfaceTarget().surface;
    m_surface = m_hold.get();
  }
  m_clip = dc.surfaceClip();
}

Canvas::~Canvas() {
  if (m_access == Access::Write && m_bitmap) m_bitmap->stored();
}

}  // namespace winsim::gdi

namespace winsim {

HDC createSurfaceDC(const SurfaceTarget& target) {
  if (!target.surface) return gdi::fail<HDC>(ERROR_INVALID_PARAMETER, nullptr);
  return static_cast<HDC>(gdi::addObject(gdi::DeviceContext::createOnSurface(target)));
}

}  // namespace winsim

using namespace winsim;
using namespace winsim::gdi;

namespace {

constexpr int kLogicalDpi = 96;

std::shared_ptr<DeviceContext> contextOf(HDC hdc) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

void give(LPPOINT out, POINT value) {
  if (out != nullptr) *out = value;
}

}  // namespace

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc != nullptr && !contextOf(hdc)) return nullptr;
  return static_cast<HDC>(addObject(DeviceContext::createMemory()));
}

BOOL DeleteDC(HDC hdc) {
  if (!contextOf(hdc)) return FALSE;
  return removeObject(hdc) ? TRUE : fail(ERROR_INVALID_HANDLE, FALSE);
}

HDC GetDC(HWND hWnd) {
  if (hWnd == nullptr) {
    auto screen = virtualScreen();
    if (!screen) return fail<HDC>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    return createSurfaceDC(SurfaceTarget{screen, POINT{0, 0}, screen->bounds(), nullptr});
  }
  WindowDCProvider provider = windowDCProvider();
  if (!provider) return fail<HDC>(ERROR_INVALID_WINDOW_HANDLE, nullptr);
  return provider(hWnd);
}

int ReleaseDC(HWND hWnd, HDC hDC) {
  auto dc = lookup<DeviceContext>(hDC);
  // Memory contexts are deleted with DeleteDC, not released.
  if (!dc || dc->isMemory()) return 0;
  dc.reset();
  return removeObject(hDC) ? 1 : 0;
}

int GetDeviceCaps(HDC hdc, int index) {
  if (!contextOf(hdc)) return 0;
  auto screen = virtualScreen();
  int const width = screen ? screen->width() : 0, height = screen ? screen->height() : 0;
  switch (index) {
    case DRIVERVERSION:
      return 0x4000;
    case TECHNOLOGY:
      return DT_RASDISPLAY;
    case HORZSIZE:
      return width * 254 / (kLogicalDpi * 10);
    case VERTSIZE:
      return height * 254 / (kLogicalDpi * 10);
    case HORZRES:
      return width;
    case VERTRES:
      return height;
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case NUMCOLORS:
      return -1;
    case RASTERCAPS:
      // True colour: no RC_PALETTE, so nothing needs realising.
      return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return kLogicalDpi;
    case SIZEPALETTE:
      return 0;
    case COLORRES:
      return 24;
    default:
      return 0;
  }
}

int SetBkMode(HDC hdc, int mode) {
  auto dc = contextOf(hdc);
  if (!dc) return 0;
  if (mode != TRANSPARENT && mode != OPAQUE) return fail(ERROR_INVALID_PARAMETER, 0);
  return std::exchange(dc->bkMode, mode);
}

int GetBkMode(HDC hdc) {
  auto dc = contextOf(hdc);
  return dc ? dc->bkMode : 0;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  auto dc = contextOf(hdc);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->bkColor, color & 0xFFFFFF);
}

COLORREF GetBkColor(HDC hdc) {
  auto dc = contextOf(hdc);
  return dc ? dc->bkColor : CLR_INVALID;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  auto dc = contextOf(hdc);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->textColor, color & 0xFFFFFF);
}

COLORREF GetTextColor(HDC hdc) {
  auto dc = contextOf(hdc);
  return dc ? dc->textColor : CLR_INVALID;
}

int SetStretchBltMode(HDC hdc, int mode) {
  auto dc = contextOf(hdc);
  if (!dc) return 0;
  if (mode < BLACKONWHITE || mode > HALFTONE) return fail(ERROR_INVALID_PARAMETER, 0);
  return std::exchange(dc->stretchMode, mode);
}

int GetStretchBltMode(HDC hdc) {
  auto dc = contextOf(hdc);
  return dc ? dc->stretchMode : 0;
}

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = contextOf(hdc);
  if (!dc) return FALSE;
  give(lppt, std::exchange(dc->brushOrigin, POINT{x, y}));
  return TRUE;
}

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = contextOf(hdc);
  if (!dc) return FALSE;
  give(lppt, std::exchange(dc->windowOrigin(), POINT{x, y}));
  return TRUE;
}

BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppt) {
  auto dc = contextOf(hdc);
  if (!dc || lppt == nullptr) return FALSE;
  *lppt = dc->windowOrigin();
  return TRUE;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = contextOf(hdc);
  if (!dc) return FALSE;
  give(lppt, std::exchange(dc->viewportOrigin(), POINT{x, y}));
  return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppt) {
  auto dc = contextOf(hdc);
  if (!dc || lppt == nullptr) return FALSE;
  *lppt = dc->viewportOrigin();
  return TRUE;
}

BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = contextOf(hdc);
  if (!dc) return FALSE;
  POINT& origin = dc->viewportOrigin();
  give(lppt, origin);
  origin.x += x;
  origin.y += y;
  return TRUE;
}

int GetClipBox(HDC hdc, LPRECT lprect) {
  auto dc = contextOf(hdc);
  if (!dc || lprect == nullptr) return RGN_ERROR;
  RECT const c = dc->surfaceClip();
  if (isEmpty(c)) {
    *lprect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  POINT const o = dc->origin();
  POINT const a = dc->toLogical(POINT{c.left - o.x, c.top - o.y});
  POINT const b = dc->toLogical(POINT{c.right - o.x, c.bottom - o.y});
  *lprect = RECT{a.x, a.y, b.x, b.y};
  return SIMPLEREGION;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  auto dc = contextOf(hdc);
  if (!dc) return RGN_ERROR;
  POINT const a = dc->toDevice(left, top), b = dc->toDevice(right, bottom);
  RECT const r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  dc->clip = dc->clip ? intersect(*dc->clip, r) : r;
  return isEmpty(dc->surfaceClip()) ? NULLREGION : SIMPLEREGION;
}
