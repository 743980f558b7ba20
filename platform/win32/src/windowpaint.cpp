// Painting: update regions, BeginPaint/EndPaint, window device contexts over
// the backing surfaces, the plain caption and borders, and the composed screen.
#include <algorithm>

#include "win32/errors.h"
#include "win32/process.h"
#include "windowmanager.h"
#include "winsim/png.h"
#include "winsim/windowing.h"

using namespace winsim;
using namespace winsim::user;

namespace {

RECT intersectRect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

bool emptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT unionRect(const RECT& a, const RECT& b) {
  if (emptyRect(a)) return b;
  if (emptyRect(b)) return a;
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

RECT offset(RECT r, LONG dx, LONG dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

RECT clientSize(const Window& w) {
  const RECT c = clientInWindow(w);
  return RECT{0, 0, c.right - c.left, c.bottom - c.top};
}

void invalidateTree(State& s, Window& w, const RECT* clientRect, bool erase, bool children) {
  const RECT all = clientSize(w);
  const RECT r = clientRect ? intersectRect(*clientRect, all) : all;
  if (!emptyRect(r)) {
    w.update = unionRect(w.update, r);
    w.erase = w.erase || erase;
    wakeQueue(s, w.thread);
  }
  if (!children) return;
  for (HWND child : w.children) {
    Window* c = findWindow(s, child);
    if (!c || !(c->style & WS_VISIBLE)) continue;
    const RECT over = intersectRect(c->rect, clientRect ? *clientRect : all);
    if (emptyRect(over)) continue;
    const RECT in = nonClientInsets(c->style, c->exStyle);
    if (in.left || in.top || in.right || in.bottom) {
      c->frameDirty = true;
      wakeQueue(s, c->thread);
    }
    const RECT local = offset(over, -(c->rect.left + in.left), -(c->rect.top + in.top));
    invalidateTree(s, *c, &local, erase, true);
  }
}

/// Adds a window's client rectangle (surface coordinates) and those of its
/// ancestors to a clip.
RECT clipByAncestors(State& s, const Window& w, RECT clip, POINT topOrigin) {
  const Window* p = findWindow(s, w.parent);
  while (p && p->handle != s.desktop) {
    const POINT o = clientOriginOnScreen(s, *p);
    const RECT c = clientSize(*p);
    clip = intersectRect(clip, offset(c, o.x - topOrigin.x, o.y - topOrigin.y));
    if (isTopLevel(s, *p)) break;
    p = findWindow(s, p->parent);
  }
  return clip;
}

HFONT captionFont() {
  static HFONT font = CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, u"Segoe UI");
  return font;
}

void frameWith(HDC dc, RECT& r, int width, int color) {
  for (int i = 0; i < width; ++i) {
    FrameRect(dc, &r, GetSysColorBrush(color));
    InflateRect(&r, -1, -1);
  }
}

}  // namespace

namespace winsim::user {

void invalidateLocked(State& s, Window& w, const RECT* clientRect, bool erase) {
  invalidateTree(s, w, clientRect, erase, true);
}

HDC windowDC(HWND hwnd, DcArea area, const RECT* clientClip) {
  State& s = state();
  SurfaceTarget target;
  {
    Lock lock(s.mutex);
    Window* w = findWindowOrFail(s, hwnd);
    if (!w) return nullptr;
    if (hwnd == s.desktop) {
      lock.unlock();
      composeScreen();
      auto screen = virtualScreen();
      return createSurfaceDC(SurfaceTarget{screen, POINT{0, 0}, screen->bounds(), hwnd});
    }
    Window* top = topLevelOf(s, w);
    if (!top || !top->backing) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    const POINT topOrigin = windowOriginOnScreen(s, *top);
    const POINT win = windowOriginOnScreen(s, *w);
    const POINT client = clientOriginOnScreen(s, *w);
    RECT clip;
    POINT origin;
    if (area == DcArea::Client) {
      origin = POINT{client.x - topOrigin.x, client.y - topOrigin.y};
      RECT local = clientSize(*w);
      if (clientClip) local = intersectRect(local, *clientClip);
      clip = offset(local, origin.x, origin.y);
    } else {
      origin = POINT{win.x - topOrigin.x, win.y - topOrigin.y};
      clip = RECT{origin.x, origin.y, origin.x + (w->rect.right - w->rect.left),
                  origin.y + (w->rect.bottom - w->rect.top)};
    }
    clip = clipByAncestors(s, *w, clip, topOrigin);
    clip = intersectRect(clip, top->backing->bounds());
    if (!isShowing(s, *w)) clip = RECT{0, 0, 0, 0};
    target = SurfaceTarget{top->backing, origin, clip, hwnd};
  }
  return createSurfaceDC(target);
}

void paintNonClient(HWND hwnd) {
  State& s = state();
  DWORD style = 0, exStyle = 0;
  std::u16string text;
  bool active = false;
  int width = 0, height = 0;
  {
    Lock lock(s.mutex);
    Window* w = findWindow(s, hwnd);
    if (!w || !w->frameDirty) return;
    w->frameDirty = false;
    style = w->style;
    exStyle = w->exStyle;
    text = w->text;
    Queue* q = findQueue(s, w->thread);
    active = (q && q->active == hwnd) || s.foreground == hwnd;
    width = w->rect.right - w->rect.left;
    height = w->rect.bottom - w->rect.top;
    if (!isShowing(s, *w)) return;
  }
  const RECT in = nonClientInsets(style, exStyle);
  if (!in.left && !in.top && !in.right && !in.bottom) return;
  HDC dc = windowDC(hwnd, DcArea::Whole);
  if (!dc) return;
  RECT r{0, 0, width, height};
  if ((style & WS_THICKFRAME) || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    const int frame = (style & WS_THICKFRAME) ? GetSystemMetrics(SM_CXFRAME) : GetSystemMetrics(SM_CXDLGFRAME);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    frameWith(dc, r, frame - 2, COLOR_3DFACE);
  } else if (style & WS_BORDER) {
    frameWith(dc, r, 1, COLOR_WINDOWFRAME);
  }
  if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (exStyle & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if ((style & WS_CAPTION) == WS_CAPTION) {
    RECT caption{r.left, r.top, r.right, r.top + GetSystemMetrics(SM_CYCAPTION) - 1};
    FillRect(dc, &caption, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    RECT line{caption.left, caption.bottom, caption.right, caption.bottom + 1};
    FillRect(dc, &line, GetSysColorBrush(COLOR_3DFACE));
    RECT title = caption;
    title.left += 5;
    if (style & WS_SYSMENU) {
      const int size = caption.bottom - caption.top - 4;
      RECT box{caption.right - 2 - size - 2, caption.top + 2, caption.right - 2, caption.bottom - 2};
      title.right = box.left - 2;
      RECT face = box;
      DrawEdge(dc, &face, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
      HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
      const int inset = 3;
      for (int d = 0; d < 2; ++d) {
        MoveToEx(dc, face.left + inset + d, face.top + inset, nullptr);
        LineTo(dc, face.right - inset + d, face.bottom - inset);
        MoveToEx(dc, face.right - inset - 1 + d, face.top + inset, nullptr);
        LineTo(dc, face.left + inset - 1 + d, face.bottom - inset);
      }
      SelectObject(dc, oldPen);
    }
    HGDIOBJ oldFont = SelectObject(dc, captionFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &title,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
  }
  ReleaseDC(hwnd, dc);
}

}  // namespace winsim::user

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  State& s = state();
  Lock lock(s.mutex);
  if (!hWnd || hWnd == s.desktop) {
    for (HWND top : s.topLevels)
      if (Window* w = findWindow(s, top)) {
        w->frameDirty = true;
        invalidateLocked(s, *w, nullptr, bErase != FALSE);
      }
    return TRUE;
  }
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return FALSE;
  invalidateLocked(s, *w, lpRect, bErase != FALSE);
  return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT* lpRect) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return FALSE;
  // The update region is kept as its bounding rectangle: a rectangle that
  // covers it validates it, a band across one side trims it.
  if (!lpRect || (lpRect->left <= w->update.left && lpRect->top <= w->update.top && lpRect->right >= w->update.right &&
                  lpRect->bottom >= w->update.bottom)) {
    w->update = RECT{0, 0, 0, 0};
    w->erase = false;
    return TRUE;
  }
  RECT& u = w->update;
  if (lpRect->left <= u.left && lpRect->right >= u.right) {
    if (lpRect->top <= u.top && lpRect->bottom > u.top) u.top = lpRect->bottom;
    if (lpRect->bottom >= u.bottom && lpRect->top < u.bottom) u.bottom = lpRect->top;
  } else if (lpRect->top <= u.top && lpRect->bottom >= u.bottom) {
    if (lpRect->left <= u.left && lpRect->right > u.left) u.left = lpRect->right;
    if (lpRect->right >= u.right && lpRect->left < u.right) u.right = lpRect->left;
  }
  if (emptyRect(u)) {
    u = RECT{0, 0, 0, 0};
    w->erase = false;
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
  State& s = state();
  RECT update{};
  bool erase = false;
  {
    Lock lock(s.mutex);
    Window* w = findWindowOrFail(s, hWnd);
    if (!w) return FALSE;
    update = w->update;
    erase = w->erase && bErase;
    if (erase) w->erase = false;
  }
  if (lpRect) *lpRect = update;
  if (erase) {
    HDC dc = windowDC(hWnd, DcArea::Client, &update);
    SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(hWnd, dc);
  }
  return !emptyRect(update);
}

BOOL UpdateWindow(HWND hWnd) {
  State& s = state();
  std::vector<HWND> order;
  {
    Lock lock(s.mutex);
    if (!findWindow(s, hWnd)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    order = subtree(s, hWnd);
  }
  // Parents before children, as the picture is built up.
  for (HWND h : order) {
    bool paint = false;
    {
      Lock lock(s.mutex);
      Window* w = findWindow(s, h);
      if (!w || w->thread != GetCurrentThreadId() || !isShowing(s, *w)) continue;
      paint = !emptyRect(w->update);
    }
    paintNonClient(h);
    if (paint) SendMessageW(h, WM_PAINT, 0, 0);
  }
  return TRUE;
}

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  State& s = state();
  if (hrgnUpdate) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (!hWnd) hWnd = s.desktop;
  {
    Lock lock(s.mutex);
    std::vector<HWND> targets;
    if (hWnd == s.desktop)
      targets = s.topLevels;
    else
      targets.push_back(hWnd);
    for (HWND h : targets) {
      Window* w = findWindowOrFail(s, h);
      if (!w) return FALSE;
      const bool children = !(flags & RDW_NOCHILDREN);
      if (flags & RDW_INVALIDATE)
        invalidateTree(s, *w, hWnd == s.desktop ? nullptr : lprcUpdate, flags & RDW_ERASE, children);
      if (flags & RDW_FRAME) {
        w->frameDirty = true;
        wakeQueue(s, w->thread);
      }
      if (flags & RDW_VALIDATE) {
        w->update = RECT{0, 0, 0, 0};
        w->erase = false;
      }
      if (flags & RDW_NOERASE) w->erase = false;
    }
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
    if (hWnd == s.desktop) {
      std::vector<HWND> tops;
      {
        Lock lock(s.mutex);
        tops = s.topLevels;
      }
      for (HWND h : tops) UpdateWindow(h);
    } else {
      UpdateWindow(hWnd);
    }
  }
  return TRUE;
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  if (!lpPaint) return nullptr;
  paintNonClient(hWnd);
  State& s = state();
  RECT update{};
  bool erase = false;
  {
    Lock lock(s.mutex);
    Window* w = findWindowOrFail(s, hWnd);
    if (!w) return nullptr;
    update = w->update;
    erase = w->erase;
    w->update = RECT{0, 0, 0, 0};
    w->erase = false;
  }
  HDC dc = windowDC(hWnd, DcArea::Client, &update);
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = dc;
  lpPaint->rcPaint = update;
  lpPaint->fErase = erase ? TRUE : FALSE;
  if (erase && dc && SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0)) lpPaint->fErase = FALSE;
  return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (lpPaint && lpPaint->hdc) ReleaseDC(hWnd, lpPaint->hdc);
  return TRUE;
}

HDC GetWindowDC(HWND hWnd) { return windowDC(hWnd, DcArea::Whole); }

namespace winsim {

void composeScreen() {
  auto screen = virtualScreen();
  if (!screen) return;
  struct Layer {
    std::shared_ptr<Surface> picture;
    POINT at;
  };
  std::vector<Layer> layers;
  {
    State& s = state();
    Lock lock(s.mutex);
    for (auto it = s.topLevels.rbegin(); it != s.topLevels.rend(); ++it) {
      Window* w = findWindow(s, *it);
      if (w && (w->style & WS_VISIBLE) && w->backing) layers.push_back({w->backing, POINT{w->rect.left, w->rect.top}});
    }
  }
  screen->fill(pixelFromColor(GetSysColor(COLOR_DESKTOP)));
  for (const Layer& layer : layers) {
    const int x0 = std::max<int>(0, layer.at.x), y0 = std::max<int>(0, layer.at.y);
    const int x1 = std::min<int>(screen->width(), layer.at.x + layer.picture->width());
    const int y1 = std::min<int>(screen->height(), layer.at.y + layer.picture->height());
    for (int y = y0; y < y1; ++y) {
      const Pixel* from = layer.picture->row(y - layer.at.y) + (x0 - layer.at.x);
      std::copy(from, from + std::max(0, x1 - x0), screen->row(y) + x0);
    }
  }
}

Expected<std::shared_ptr<Surface>> captureWindow(HWND hwnd) {
  State& s = state();
  std::shared_ptr<Surface> picture;
  RECT part{};
  {
    Lock lock(s.mutex);
    Window* w = findWindow(s, hwnd);
    if (!w || hwnd == s.desktop) return makeError(ERROR_INVALID_WINDOW_HANDLE, "no such window");
    Window* top = topLevelOf(s, w);
    if (!top || !top->backing) return makeError(ERROR_INVALID_WINDOW_HANDLE, "the window has no picture");
    picture = top->backing;
    const POINT topOrigin = windowOriginOnScreen(s, *top);
    const POINT origin = windowOriginOnScreen(s, *w);
    part = RECT{origin.x - topOrigin.x, origin.y - topOrigin.y, origin.x - topOrigin.x + (w->rect.right - w->rect.left),
                origin.y - topOrigin.y + (w->rect.bottom - w->rect.top)};
  }
  part = intersectRect(part, picture->bounds());
  if (emptyRect(part)) return makeError(ERROR_INVALID_PARAMETER, "the window is empty");
  auto copy = Surface::create(part.right - part.left, part.bottom - part.top);
  if (!copy) return copy.error();
  for (int y = part.top; y < part.bottom; ++y)
    std::copy_n(picture->row(y) + part.left, part.right - part.left, copy.value()->row(y - part.top));
  return copy;
}

Status writeWindowPng(HWND hwnd, const std::filesystem::path& file) {
  auto picture = captureWindow(hwnd);
  if (!picture) return picture.error();
  return writePng(*picture.value(), file);
}

Status writeScreenPng(const std::filesystem::path& file) {
  composeScreen();
  auto screen = virtualScreen();
  if (!screen) return makeError(ERROR_NOT_ENOUGH_MEMORY, "no screen");
  return writePng(*screen, file);
}

}  // namespace winsim
