// The window manager's state, its lookups and geometry, window classes, and
// the end of a thread's queue.
#include "windowmanager.h"

#include <algorithm>
#include <cstring>

#include "controls.h"
#include "win32/errors.h"
#include "win32/process.h"
#include "winsim/text.h"

namespace winsim::user {

namespace {

constexpr int kCaptionHeight = 22;
constexpr int kDialogFrame = 3;
constexpr int kSizeFrame = 4;

void addSystemClass(State& s, const char16_t* name, WNDPROC proc, UINT style, int extra, LPCWSTR cursor) {
  auto c = std::make_shared<WindowClass>();
  c->name = name;
  c->atom = s.nextAtom++;
  c->style = style | CS_GLOBALCLASS;
  c->proc = proc;
  c->windowExtra = extra;
  c->cursor = LoadCursorW(nullptr, cursor);
  c->system = true;
  s.classes.push_back(std::move(c));
}

void registerSystemClasses(State& s) {
  addSystemClass(s, u"Button", buttonProc, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW, 0, IDC_ARROW);
  addSystemClass(s, u"Static", staticProc, CS_DBLCLKS | CS_PARENTDC, 0, IDC_ARROW);
  addSystemClass(s, u"Edit", editProc, CS_DBLCLKS | CS_PARENTDC, 0, IDC_IBEAM);
  addSystemClass(s, u"RichEdit20W", richEditProc, CS_DBLCLKS, 0, IDC_IBEAM);
  addSystemClass(s, u"msctls_progress32", progressProc, CS_HREDRAW | CS_VREDRAW, 0, IDC_ARROW);
  addSystemClass(s, u"msctls_trackbar32", trackbarProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, 0, IDC_ARROW);
  addSystemClass(s, u"#32770", DefDlgProcW, CS_DBLCLKS | CS_SAVEBITS, DLGWINDOWEXTRA, IDC_ARROW);
  // The desktop's class: nothing is ever sent to it by name.
  addSystemClass(s, u"#32769", DefWindowProcW, 0, 0, IDC_ARROW);
}

void createDesktop(State& s) {
  auto w = std::make_shared<Window>();
  w->handle = reinterpret_cast<HWND>(s.nextHandle);
  s.nextHandle += 0x10;
  w->windowClass = s.classes.back();
  w->proc = DefWindowProcW;
  w->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  const auto screen = virtualScreen();
  w->rect = screen ? screen->bounds() : RECT{0, 0, 1024, 768};
  s.desktop = w->handle;
  s.windows.emplace(w->handle, std::move(w));
}

/// Ends the thread's queue when the thread ends: senders waiting for it are
/// released, its windows and timers go (Windows destroys a thread's windows
/// when the thread ends).
struct QueueGuard {
  bool armed = false;
  ~QueueGuard() {
    if (!armed) return;
    State& s = state();
    Lock lock(s.mutex);
    const DWORD thread = GetCurrentThreadId();
    auto found = s.queues.find(thread);
    if (found == s.queues.end()) return;
    std::shared_ptr<Queue> queue = found->second;
    queue->alive = false;
    for (auto& sent : queue->incoming) {
      sent->done = true;
      if (sent->sender) sent->sender->wake.notify_all();
    }
    queue->incoming.clear();
    s.queues.erase(found);
    std::erase_if(s.timers, [&](const Timer& t) { return t.thread == thread; });
    std::vector<HWND> gone;
    for (auto& [handle, w] : s.windows)
      if (w->thread == thread && handle != s.desktop) gone.push_back(handle);
    for (HWND h : gone) {
      auto it = s.windows.find(h);
      if (it == s.windows.end()) continue;
      if (Window* parent = findWindow(s, it->second->parent)) std::erase(parent->children, h);
      std::erase(s.topLevels, h);
      if (s.foreground == h) s.foreground = nullptr;
      if (s.tracked == h) s.tracked = nullptr;
      s.windows.erase(it);
    }
  }
};
thread_local QueueGuard t_queueGuard;

}  // namespace

State& state() {
  // Never destroyed: threads may still end (and tidy their queues) while the
  // process's static objects are torn down.
  static State* instance = [] {
    auto* s = new State;
    registerSystemClasses(*s);
    createDesktop(*s);
    setWindowDCProvider([](HWND hwnd) { return windowDC(hwnd, DcArea::Client); });
    return s;
  }();
  return *instance;
}

Window* findWindow(State& s, HWND hwnd) {
  if (!hwnd) return nullptr;
  auto it = s.windows.find(hwnd);
  return it == s.windows.end() ? nullptr : it->second.get();
}

Window* findWindowOrFail(State& s, HWND hwnd) {
  Window* w = findWindow(s, hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

Queue* findQueue(State& s, DWORD thread) {
  auto it = s.queues.find(thread);
  return it == s.queues.end() ? nullptr : it->second.get();
}

std::shared_ptr<Queue> currentQueueShared(State& s) {
  const DWORD thread = GetCurrentThreadId();
  auto it = s.queues.find(thread);
  if (it != s.queues.end()) return it->second;
  auto queue = std::make_shared<Queue>(thread);
  s.queues.emplace(thread, queue);
  t_queueGuard.armed = true;
  return queue;
}

Queue& currentQueue(State& s) { return *currentQueueShared(s); }

std::shared_ptr<WindowClass> findClass(State& s, LPCWSTR name) {
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    for (auto& c : s.classes)
      if (c->atom == atom) return c;
    return nullptr;
  }
  const std::u16string wanted = upperCase(std::u16string_view(name));
  // Application classes first, so that a program may shadow a system class.
  for (auto it = s.classes.rbegin(); it != s.classes.rend(); ++it)
    if (!(*it)->system && upperCase((*it)->name) == wanted) return *it;
  for (auto& c : s.classes)
    if (c->system && upperCase(c->name) == wanted) return c;
  return nullptr;
}

bool threadOwnsWindows(State& s, DWORD thread) {
  for (auto& [handle, w] : s.windows)
    if (w->thread == thread && handle != s.desktop) return true;
  return false;
}

void wakeQueue(State& s, DWORD thread) {
  if (Queue* q = findQueue(s, thread)) q->wake.notify_all();
}

void wakeAllQueues(State& s) {
  for (auto& [thread, q] : s.queues) q->wake.notify_all();
}

RECT nonClientInsets(DWORD style, DWORD exStyle) {
  int frame = 0;
  if (style & WS_THICKFRAME)
    frame = kSizeFrame;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    frame = kDialogFrame;
  else if (style & WS_BORDER)
    frame = 1;
  if (exStyle & WS_EX_CLIENTEDGE) frame += 2;
  if (exStyle & WS_EX_STATICEDGE) frame += 1;
  const int caption = (style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0;
  return RECT{frame, frame + caption, frame, frame};
}

RECT clientInWindow(const Window& w) {
  const RECT in = nonClientInsets(w.style, w.exStyle);
  const int width = w.rect.right - w.rect.left;
  const int height = w.rect.bottom - w.rect.top;
  RECT r{in.left, in.top, std::max<LONG>(in.left, width - in.right), std::max<LONG>(in.top, height - in.bottom)};
  return r;
}

bool isTopLevel(State& s, const Window& w) { return w.handle != s.desktop && w.parent == s.desktop; }

POINT windowOriginOnScreen(State& s, const Window& w) {
  POINT p{w.rect.left, w.rect.top};
  if (w.handle == s.desktop || isTopLevel(s, w)) return p;
  if (Window* parent = findWindow(s, w.parent)) {
    const POINT o = clientOriginOnScreen(s, *parent);
    p.x += o.x;
    p.y += o.y;
  }
  return p;
}

POINT clientOriginOnScreen(State& s, const Window& w) {
  POINT p = windowOriginOnScreen(s, w);
  const RECT c = clientInWindow(w);
  return POINT{p.x + c.left, p.y + c.top};
}

Window* topLevelOf(State& s, Window* w) {
  while (w && w->handle != s.desktop && !isTopLevel(s, *w)) w = findWindow(s, w->parent);
  return w && w->handle != s.desktop ? w : nullptr;
}

bool isShowing(State& s, const Window& w) {
  const Window* at = &w;
  while (at && at->handle != s.desktop) {
    if (!(at->style & WS_VISIBLE)) return false;
    at = findWindow(s, at->parent);
  }
  return at != nullptr;
}

bool isDescendant(State& s, HWND ancestor, HWND hwnd) {
  Window* w = findWindow(s, hwnd);
  while (w && w->handle != s.desktop) {
    if (w->parent == ancestor) return true;
    w = findWindow(s, w->parent);
  }
  return false;
}

std::vector<HWND> subtree(State& s, HWND root) {
  std::vector<HWND> order{root};
  for (std::size_t i = 0; i < order.size(); ++i)
    if (Window* w = findWindow(s, order[i]))
      for (HWND child : w->children) order.push_back(child);
  return order;
}

void setControlState(HWND hwnd, std::shared_ptr<ControlState> control) {
  State& s = state();
  Lock lock(s.mutex);
  if (Window* w = findWindow(s, hwnd)) w->control = std::move(control);
}

std::u16string windowText(HWND hwnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hwnd);
  return w ? w->text : std::u16string();
}

void storeWindowText(HWND hwnd, std::u16string text) {
  State& s = state();
  Lock lock(s.mutex);
  if (Window* w = findWindow(s, hwnd)) {
    w->text = std::move(text);
    if ((w->style & WS_CAPTION) == WS_CAPTION) {
      w->frameDirty = true;
      wakeQueue(s, w->thread);
    }
  }
}

DWORD windowStyle(HWND hwnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hwnd);
  return w ? w->style : 0;
}

std::u16string windowClassName(HWND hwnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hwnd);
  return w ? w->windowClass->name : std::u16string();
}

DWORD windowThread(HWND hwnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hwnd);
  return w ? w->thread : 0;
}

}  // namespace winsim::user

using namespace winsim::user;

namespace {

ATOM registerClass(const WNDCLASSEXW& wc) {
  if (!wc.lpszClassName || !wc.lpfnWndProc || wc.cbWndExtra < 0 || wc.cbClsExtra < 0 || wc.cbWndExtra > 40960 ||
      wc.cbClsExtra > 40960 || IS_INTRESOURCE(wc.lpszClassName)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  State& s = state();
  Lock lock(s.mutex);
  const std::u16string folded = winsim::upperCase(std::u16string_view(wc.lpszClassName));
  for (auto& c : s.classes) {
    if (!c->system && c->instance == wc.hInstance && winsim::upperCase(c->name) == folded) {
      SetLastError(ERROR_CLASS_ALREADY_EXISTS);
      return 0;
    }
  }
  auto c = std::make_shared<WindowClass>();
  c->name = wc.lpszClassName;
  c->atom = s.nextAtom++;
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->windowExtra = wc.cbWndExtra;
  c->extra.resize(static_cast<std::size_t>(wc.cbClsExtra));
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->iconSmall = wc.hIconSm;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  s.classes.push_back(c);
  return c->atom;
}

}  // namespace

ATOM RegisterClassExW(const WNDCLASSEXW* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXW)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return registerClass(*lpwcx);
}

ATOM RegisterClassW(const WNDCLASSW* lpWndClass) {
  if (!lpWndClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXW wc{sizeof(WNDCLASSEXW),       lpWndClass->style,        lpWndClass->lpfnWndProc,   lpWndClass->cbClsExtra,
                 lpWndClass->cbWndExtra,    lpWndClass->hInstance,    lpWndClass->hIcon,         lpWndClass->hCursor,
                 lpWndClass->hbrBackground, lpWndClass->lpszMenuName, lpWndClass->lpszClassName, nullptr};
  return registerClass(wc);
}

BOOL UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
  State& s = state();
  Lock lock(s.mutex);
  auto c = findClass(s, lpClassName);
  if (!c || c->system) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  for (auto& [handle, w] : s.windows) {
    if (w->windowClass == c) {
      SetLastError(ERROR_CLASS_HAS_WINDOWS);
      return FALSE;
    }
  }
  std::erase(s.classes, c);
  return TRUE;
}

BOOL GetClassInfoExW(HINSTANCE hInstance, LPCWSTR lpszClass, WNDCLASSEXW* lpwcx) {
  State& s = state();
  Lock lock(s.mutex);
  auto c = findClass(s, lpszClass);
  if (!c || !lpwcx) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *lpwcx = WNDCLASSEXW{sizeof(WNDCLASSEXW), c->style,    c->proc,         static_cast<int>(c->extra.size()),
                       c->windowExtra,      c->instance, c->icon,         c->cursor,
                       c->background,       nullptr,     c->name.c_str(), c->iconSmall};
  return c->atom;
}

int GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return 0;
  if (!lpClassName || nMaxCount <= 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const std::u16string& name = w->windowClass->name;
  const int n = std::min<int>(static_cast<int>(name.size()), nMaxCount - 1);
  std::copy_n(name.data(), n, lpClassName);
  lpClassName[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtrW(HWND hWnd, int nIndex) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return 0;
  const WindowClass& c = *w->windowClass;
  switch (nIndex) {
    case GCLP_HBRBACKGROUND:
      return reinterpret_cast<ULONG_PTR>(c.background);
    case GCLP_HCURSOR:
      return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HICON:
      return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HICONSM:
      return reinterpret_cast<ULONG_PTR>(c.iconSmall);
    case GCLP_WNDPROC:
      return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_STYLE:
      return c.style;
    default:
      break;
  }
  if (nIndex >= 0 && static_cast<std::size_t>(nIndex) + sizeof(ULONG_PTR) <= c.extra.size()) {
    ULONG_PTR value = 0;
    std::memcpy(&value, c.extra.data() + nIndex, sizeof value);
    return value;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

ULONG_PTR SetClassLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindowOrFail(s, hWnd);
  if (!w) return 0;
  WindowClass& c = *w->windowClass;
  auto swap = [&](auto& field) {
    const auto old = reinterpret_cast<ULONG_PTR>(field);
    field = reinterpret_cast<std::remove_reference_t<decltype(field)>>(dwNewLong);
    return old;
  };
  switch (nIndex) {
    case GCLP_HBRBACKGROUND:
      return swap(c.background);
    case GCLP_HCURSOR:
      return swap(c.cursor);
    case GCLP_HICON:
      return swap(c.icon);
    case GCLP_HICONSM:
      return swap(c.iconSmall);
    case GCLP_WNDPROC:
      return swap(c.proc);
    case GCL_STYLE: {
      const ULONG_PTR old = c.style;
      c.style = static_cast<UINT>(dwNewLong);
      return old;
    }
    default:
      break;
  }
  if (nIndex >= 0 && static_cast<std::size_t>(nIndex) + sizeof(ULONG_PTR) <= c.extra.size()) {
    ULONG_PTR old = 0;
    std::memcpy(&old, c.extra.data() + nIndex, sizeof old);
    std::memcpy(c.extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}
