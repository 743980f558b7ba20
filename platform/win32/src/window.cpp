// Window objects: creation and destruction with their message order, the
// window tree, window longs, text and properties.
#include <algorithm>
#include <cstring>

#include "win32/errors.h"
#include "win32/process.h"
#include "windowmanager.h"
#include "winsim/text.h"

using namespace winsim::user;

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

void sendDestroyTree(HWND hwnd) {
  SendMessageW(hwnd, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  {
    State& s = state();
    Lock lock(s.mutex);
    if (Window* w = findWindow(s, hwnd)) children = w->children;
  }
  for (HWND child : children) {
    {
      State& s = state();
      Lock lock(s.mutex);
      Window* c = findWindow(s, child);
      if (!c || c->destroying) continue;
      c->destroying = true;
    }
    sendDestroyTree(child);
  }
  SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
  State& s = state();
  Lock lock(s.mutex);
  auto it = s.windows.find(hwnd);
  if (it == s.windows.end()) return;
  std::shared_ptr<Window> w = it->second;
  if (Window* parent = findWindow(s, w->parent)) std::erase(parent->children, hwnd);
  std::erase(s.topLevels, hwnd);
  std::erase_if(s.timers, [&](const Timer& t) { return t.hwnd == hwnd; });
  if (s.foreground == hwnd) s.foreground = nullptr;
  if (s.tracked == hwnd) s.tracked = nullptr;
  if (Queue* q = findQueue(s, w->thread)) {
    if (q->focus == hwnd) q->focus = nullptr;
    if (q->active == hwnd) q->active = nullptr;
    if (q->capture == hwnd) q->capture = nullptr;
  }
  s.windows.erase(it);
}

}  // namespace

HWND CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
  State& s = state();
  HWND hwnd = nullptr;
  bool topLevel = false;
  CREATESTRUCTW cs{};
  {
    Lock lock(s.mutex);
    auto windowClass = findClass(s, lpClassName);
    if (!windowClass) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    Window* parent = findWindow(s, hWndParent);
    if (hWndParent && !parent) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    const bool child = (dwStyle & WS_CHILD) != 0;
    if (child && (!parent || hWndParent == s.desktop)) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    auto w = std::make_shared<Window>();
    w->handle = reinterpret_cast<HWND>(s.nextHandle);
    s.nextHandle += 0x10;
    w->windowClass = windowClass;
    w->thread = GetCurrentThreadId();
    w->proc = windowClass->proc;
    w->instance = hInstance;
    w->extra.resize(static_cast<std::size_t>(windowClass->windowExtra));
    w->style = dwStyle & ~WS_VISIBLE;
    w->exStyle = dwExStyle;
    if (!child && !(dwStyle & WS_POPUP)) w->style |= WS_CAPTION;  // overlapped windows always have a caption
    if (!child) w->style |= WS_CLIPSIBLINGS;
    if (child) {
      w->parent = hWndParent;
      w->id = static_cast<LONG_PTR>(reinterpret_cast<UINT_PTR>(hMenu));
    } else {
      w->parent = s.desktop;
      Window* owner = parent && hWndParent != s.desktop ? topLevelOf(s, parent) : nullptr;
      w->owner = owner ? owner->handle : nullptr;
    }
    int x = X, y = Y, width = nWidth, height = nHeight;
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
      width = child ? 0 : kDefaultWidth;
      height = child ? 0 : kDefaultHeight;
    }
    w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    hwnd = w->handle;
    topLevel = !child;
    if (child) {
      parent->children.push_back(hwnd);  // new children go to the bottom, so the first created is first
    } else {
      s.topLevels.insert(s.topLevels.begin(), hwnd);
    }
    s.windows.emplace(hwnd, std::move(w));
    (void)currentQueue(s);
    cs = CREATESTRUCTW{lpParam,      hInstance,   hMenu,    hWndParent, height, width, y, x, static_cast<LONG>(dwStyle),
                       lpWindowName, lpClassName, dwExStyle};
  }

  if (topLevel) {
    MINMAXINFO info{};
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    info.ptMaxSize = POINT{cx, cy};
    info.ptMaxTrackSize = POINT{cx, cy};
    info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMIN), GetSystemMetrics(SM_CYMIN)};
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  }
  if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    DestroyWindow(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;  // destroyed while being created
  RECT client{};
  GetClientRect(hwnd, &client);
  SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED,
               MAKELPARAM(static_cast<WORD>(client.right), static_cast<WORD>(client.bottom)));
  POINT move{};
  {
    Lock lock(s.mutex);
    if (Window* w = findWindow(s, hwnd)) {
      const RECT c = clientInWindow(*w);
      move = POINT{w->rect.left + c.left, w->rect.top + c.top};
    }
  }
  SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(move.x), static_cast<WORD>(move.y)));
  if (!topLevel && !(dwExStyle & WS_EX_NOPARENTNOTIFY))
    SendMessageW(hWndParent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, static_cast<WORD>(GetDlgCtrlID(hwnd))),
                 reinterpret_cast<LPARAM>(hwnd));
  {
    Lock lock(s.mutex);
    if (Window* w = findWindow(s, hwnd)) {
      if (topLevel) {
        auto created = winsim::Surface::create(std::max<LONG>(1, w->rect.right - w->rect.left),
                                               std::max<LONG>(1, w->rect.bottom - w->rect.top));
        if (created) w->backing = std::move(created.value());
      }
      w->frameDirty = true;
      invalidateLocked(s, *w, nullptr, true);
    }
  }
  if (dwStyle & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hWnd) {
  State& s = state();
  std::vector<HWND> owned;
  HWND parent = nullptr;
  bool notifyParent = false;
  {
    Lock lock(s.mutex);
    Window* w = findWindow(s, hWnd);
    if (!w || hWnd == s.desktop) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    if (w->thread != GetCurrentThreadId()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (w->destroying) return TRUE;
    w->destroying = true;
    for (HWND top : s.topLevels)
      if (Window* t = findWindow(s, top); t && t->owner == hWnd) owned.push_back(top);
    if (!isTopLevel(s, *w)) {
      parent = w->parent;
      notifyParent = !(w->exStyle & WS_EX_NOPARENTNOTIFY);
    }
  }
  for (HWND o : owned) DestroyWindow(o);
  if (notifyParent)
    SendMessageW(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, static_cast<WORD>(GetDlgCtrlID(hWnd))),
                 reinterpret_cast<LPARAM>(hWnd));
  windowGoingAway(hWnd, true);
  {
    Lock lock(s.mutex);
    if (Window* w = findWindow(s, hWnd)) {
      const bool visible = (w->style & WS_VISIBLE) != 0;
      w->style &= ~WS_VISIBLE;
      if (visible && !isTopLevel(s, *w)) {
        if (Window* p = findWindow(s, w->parent)) invalidateLocked(s, *p, &w->rect, true);
      }
    }
  }
  sendDestroyTree(hWnd);
  return TRUE;
}

BOOL IsWindow(HWND hWnd) {
  State& s = state();
  Lock lock(s.mutex);
  return findWindow(s, hWnd) != nullptr;
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hWnd);
  // Only the chain of WS_CHILD windows counts, as on Windows.
  while (w && (w->style & WS_CHILD)) {
    if (w->parent == hWndParent) return TRUE;
    w = findWindow(s, w->parent);
  }
  return FALSE;
}

HWND GetParent(HWND hWnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return nullptr;
  // A child's parent; a top-level window's owner.
  if (w->style & WS_CHILD) return w->parent;
  return w->owner;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hWndChild);
  Window* p = hWndNewParent ? findWindow(s, hWndNewParent) : findWindow(s, s.desktop);
  if (!w || !p || hWndChild == s.desktop || isDescendant(s, hWndChild, p->handle) || p == w) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HWND old = w->parent;
  if (Window* o = findWindow(s, old)) std::erase(o->children, hWndChild);
  std::erase(s.topLevels, hWndChild);
  w->parent = p->handle;
  if (p->handle == s.desktop) {
    s.topLevels.insert(s.topLevels.begin(), hWndChild);
    if (!w->backing) {
      auto created = winsim::Surface::create(std::max<LONG>(1, w->rect.right - w->rect.left),
                                             std::max<LONG>(1, w->rect.bottom - w->rect.top));
      if (created) w->backing = std::move(created.value());
    }
  } else {
    p->children.insert(p->children.begin(), hWndChild);
  }
  w->frameDirty = true;
  invalidateLocked(s, *w, nullptr, true);
  return old;
}

HWND GetDesktopWindow() {
  State& s = state();
  return s.desktop;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return nullptr;
  if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (uCmd == GW_OWNER) return w->owner;
  if (uCmd == GW_ENABLEDPOPUP) {
    for (HWND top : s.topLevels)
      if (Window* t = findWindow(s, top); t && t->owner == hWnd && (t->style & WS_VISIBLE) && !(t->style & WS_DISABLED))
        return top;
    return nullptr;
  }
  const std::vector<HWND>* siblings = nullptr;
  if (hWnd == s.desktop) return nullptr;
  if (isTopLevel(s, *w)) {
    siblings = &s.topLevels;
  } else if (Window* parent = findWindow(s, w->parent)) {
    siblings = &parent->children;
  }
  if (!siblings || siblings->empty()) return nullptr;
  auto at = std::find(siblings->begin(), siblings->end(), hWnd);
  switch (uCmd) {
    case GW_HWNDFIRST:
      return siblings->front();
    case GW_HWNDLAST:
      return siblings->back();
    case GW_HWNDNEXT:
      return at == siblings->end() || at + 1 == siblings->end() ? nullptr : *(at + 1);
    case GW_HWNDPREV:
      return at == siblings->begin() || at == siblings->end() ? nullptr : *(at - 1);
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hDlg);
  if (!w) return nullptr;
  for (HWND child : w->children)
    if (Window* c = findWindow(s, child); c && static_cast<int>(c->id) == nIDDlgItem) return child;
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return 0;
  return (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return 0;
  switch (nIndex) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
    case GWLP_ID:
      return w->id;
    case GWL_STYLE:
      return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_USERDATA:
      return w->userData;
    default:
      break;
  }
  if (nIndex >= 0 && static_cast<std::size_t>(nIndex) + sizeof(LONG_PTR) <= w->extra.size()) {
    LONG_PTR value = 0;
    std::memcpy(&value, w->extra.data() + nIndex, sizeof value);
    return value;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  State& s = state();
  if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE) {
    DWORD old = 0;
    {
      Lock lock(s.mutex);
      Window* w = findWindowOrFail(s, hWnd);
      if (!w) return 0;
      old = nIndex == GWL_STYLE ? w->style : w->exStyle;
    }
    STYLESTRUCT change{old, static_cast<DWORD>(dwNewLong)};
    SendMessageW(hWnd, WM_STYLECHANGING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&change));
    {
      Lock lock(s.mutex);
      Window* w = findWindow(s, hWnd);
      if (!w) return 0;
      if (nIndex == GWL_STYLE) {
        // Visibility changes only through ShowWindow, as on Windows.
        w->style = (change.styleNew & ~WS_VISIBLE) | (w->style & WS_VISIBLE);
      } else {
        w->exStyle = change.styleNew;
      }
    }
    SendMessageW(hWnd, WM_STYLECHANGED, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&change));
    return static_cast<LONG_PTR>(old);
  }
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return 0;
  if (w->thread != GetCurrentThreadId() && nIndex == GWLP_WNDPROC) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  LONG_PTR old = 0;
  switch (nIndex) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
      return old;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(dwNewLong);
      return old;
    case GWLP_HWNDPARENT:
      old = reinterpret_cast<LONG_PTR>(w->owner);
      if (!(w->style & WS_CHILD)) w->owner = reinterpret_cast<HWND>(dwNewLong);
      return old;
    case GWLP_ID:
      old = w->id;
      w->id = dwNewLong;
      return old;
    case GWLP_USERDATA:
      old = w->userData;
      w->userData = dwNewLong;
      return old;
    default:
      break;
  }
  if (nIndex >= 0 && static_cast<std::size_t>(nIndex) + sizeof(LONG_PTR) <= w->extra.size()) {
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

LONG GetWindowLongW(HWND hWnd, int nIndex) { return static_cast<LONG>(GetWindowLongPtrW(hWnd, nIndex)); }

LONG SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
  return static_cast<LONG>(SetWindowLongPtrW(hWnd, nIndex, dwNewLong));
}

BOOL EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  std::vector<HWND> tops;
  {
    State& s = state();
    Lock lock(s.mutex);
    tops = s.topLevels;
  }
  for (HWND h : tops)
    if (IsWindow(h) && !lpEnumFunc(h, lParam)) return FALSE;
  return TRUE;
}

BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  std::vector<HWND> all;
  {
    State& s = state();
    Lock lock(s.mutex);
    all = subtree(s, hWndParent ? hWndParent : s.desktop);
  }
  for (std::size_t i = 1; i < all.size(); ++i)
    if (IsWindow(all[i]) && !lpEnumFunc(all[i], lParam)) return FALSE;
  return TRUE;
}

DWORD GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
  const DWORD thread = winsim::user::windowThread(hWnd);
  if (lpdwProcessId) *lpdwProcessId = thread ? GetCurrentProcessId() : 0;
  return thread;
}

BOOL SetPropW(HWND hWnd, LPCWSTR lpString, HANDLE hData) {
  if (!lpString) return FALSE;
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return FALSE;
  const std::u16string key = IS_INTRESOURCE(lpString)
                                 ? u"#" + winsim::fromUtf8(std::to_string(reinterpret_cast<ULONG_PTR>(lpString)))
                                 : winsim::upperCase(std::u16string_view(lpString));
  for (auto& [name, value] : w->properties) {
    if (name == key) {
      value = hData;
      return TRUE;
    }
  }
  w->properties.emplace_back(key, hData);
  return TRUE;
}

namespace {

HANDLE takeProp(HWND hWnd, LPCWSTR lpString, bool remove) {
  if (!lpString) return nullptr;
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hWnd);
  if (!w) return nullptr;
  const std::u16string key = IS_INTRESOURCE(lpString)
                                 ? u"#" + winsim::fromUtf8(std::to_string(reinterpret_cast<ULONG_PTR>(lpString)))
                                 : winsim::upperCase(std::u16string_view(lpString));
  for (auto it = w->properties.begin(); it != w->properties.end(); ++it) {
    if (it->first == key) {
      HANDLE value = it->second;
      if (remove) w->properties.erase(it);
      return value;
    }
  }
  return nullptr;
}

}  // namespace

HANDLE GetPropW(HWND hWnd, LPCWSTR lpString) { return takeProp(hWnd, lpString, false); }
HANDLE RemovePropW(HWND hWnd, LPCWSTR lpString) { return takeProp(hWnd, lpString, true); }

BOOL SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : u"")) != 0;
}

int GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
  if (!lpString || nMaxCount <= 0) return 0;
  lpString[0] = 0;
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(
      SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthW(HWND hWnd) {
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}
