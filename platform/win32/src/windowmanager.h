// The window manager: the process's windows, classes, message queues and
// timers, behind one lock.
//
// Locking rule: State::mutex guards every field here. It is never held while
// a window procedure, a dialog procedure, a timer procedure or a GDI call that
// may come back into this layer (GetDC of a window) runs; functions that need
// the lock take a Lock& or lock it themselves and say so.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "win32/user.h"
#include "winsim/surface.h"

namespace winsim::user {

using Lock = std::unique_lock<std::mutex>;

struct WindowClass {
  std::u16string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int windowExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::vector<std::byte> extra;
  bool system = false;
};

/// What a built-in control keeps beside its window (Windows keeps it in the
/// window's extra bytes, out of the application's reach).
struct ControlState {
  virtual ~ControlState() = default;
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> windowClass;
  DWORD thread = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  std::vector<std::byte> extra;
  HWND parent = nullptr;  // the desktop window for top-level windows
  HWND owner = nullptr;
  std::vector<HWND> children;  // Z order, topmost first
  RECT rect{};                 // in the parent's client coordinates (screen for top-level windows)
  std::u16string text;
  std::vector<std::pair<std::u16string, HANDLE>> properties;  // names case-folded
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  // Painting.
  RECT update{};  // client coordinates; empty when the client area is valid
  bool erase = false;
  bool frameDirty = false;
  std::shared_ptr<Surface> backing;  // top-level windows: what the window shows
  // Life.
  bool destroying = false;
  DWORD trackFlags = 0;  // TrackMouseEvent flags in force
  std::shared_ptr<ControlState> control;
  std::shared_ptr<ControlState> dialog;  // dialog windows made from a template
  bool announced = false;                // shown once: the transcript has it
};

struct Queue;

/// A SendMessageW from another thread, waiting for the owner to deliver it.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  bool done = false;
  std::shared_ptr<Queue> sender;
};

struct Posted {
  MSG msg{};
  bool input = false;  // mouse or keyboard input from the UI agent
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT period = 0;
  TIMERPROC proc = nullptr;
  std::uint64_t due = 0;  // machine clock
  DWORD thread = 0;
};

struct Queue {
  explicit Queue(DWORD t) : thread(t) {}
  DWORD thread;
  std::deque<Posted> posted;
  std::deque<std::shared_ptr<SentMessage>> incoming;
  bool quit = false;
  int quitCode = 0;
  bool alive = true;
  std::condition_variable wake;
  // The thread's input state.
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  LONG lastMessageTime = 0;
  int receivingSends = 0;  // inside a SendMessageW from another thread
};

struct State {
  std::mutex mutex;
  std::unordered_map<HWND, std::shared_ptr<Window>> windows;
  std::vector<HWND> topLevels;  // Z order, topmost first
  std::vector<std::shared_ptr<WindowClass>> classes;
  std::unordered_map<DWORD, std::shared_ptr<Queue>> queues;
  std::vector<Timer> timers;
  HWND desktop = nullptr;
  HWND foreground = nullptr;
  POINT cursor{0, 0};
  HCURSOR cursorShape = nullptr;
  HWND tracked = nullptr;  // the window with TME_LEAVE tracking
  std::uintptr_t nextHandle = 0x10020;
  ATOM nextAtom = 0xC000;
  UINT_PTR nextTimerId = 1;
};

/// The process's window manager, created with the system classes on first use.
State& state();

// ---- Under the lock --------------------------------------------------------

/// The window of a handle (the desktop included); null when there is none or
/// it is being torn down past WM_NCDESTROY.
Window* findWindow(State& s, HWND hwnd);
/// findWindow for a function of the surface: no window sets
/// ERROR_INVALID_WINDOW_HANDLE.
Window* findWindowOrFail(State& s, HWND hwnd);
Queue* findQueue(State& s, DWORD thread);
/// The calling thread's queue, created on first use.
Queue& currentQueue(State& s);
std::shared_ptr<Queue> currentQueueShared(State& s);
std::shared_ptr<WindowClass> findClass(State& s, LPCWSTR name);
bool threadOwnsWindows(State& s, DWORD thread);
void wakeQueue(State& s, DWORD thread);
void wakeAllQueues(State& s);

/// The caption and border widths of a style, as insets of the window rectangle.
RECT nonClientInsets(DWORD style, DWORD exStyle);
/// The client rectangle in window coordinates.
RECT clientInWindow(const Window& w);
POINT windowOriginOnScreen(State& s, const Window& w);
POINT clientOriginOnScreen(State& s, const Window& w);
bool isTopLevel(State& s, const Window& w);
Window* topLevelOf(State& s, Window* w);
/// WS_VISIBLE on the window and every ancestor.
bool isShowing(State& s, const Window& w);
bool isDescendant(State& s, HWND ancestor, HWND hwnd);
/// The windows of a subtree, the root first, parents before children.
std::vector<HWND> subtree(State& s, HWND root);

/// Adds a client rectangle (null: all) to a window's update region and to the
/// visible children it overlaps; wakes the owner thread.
void invalidateLocked(State& s, Window& w, const RECT* clientRect, bool erase);

// ---- Without the lock --------------------------------------------------------

/// A built-in control's state, or null.
template <class T>
std::shared_ptr<T> controlState(HWND hwnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hwnd);
  return w ? std::dynamic_pointer_cast<T>(w->control) : nullptr;
}
void setControlState(HWND hwnd, std::shared_ptr<ControlState> control);
template <class T>
std::shared_ptr<T> dialogState(HWND hwnd) {
  State& s = state();
  Lock lock(s.mutex);
  Window* w = findWindow(s, hwnd);
  return w ? std::dynamic_pointer_cast<T>(w->dialog) : nullptr;
}

std::u16string windowText(HWND hwnd);
/// Sets the text without WM_SETTEXT (what DefWindowProcW stores).
void storeWindowText(HWND hwnd, std::u16string text);
DWORD windowStyle(HWND hwnd);
std::u16string windowClassName(HWND hwnd);
DWORD windowThread(HWND hwnd);

/// A device context over a window's pixels: its client area (the update
/// rectangle while painting) or, for `whole`, the window with its frame.
enum class DcArea { Client, Whole };
HDC windowDC(HWND hwnd, DcArea area, const RECT* clientClip = nullptr);
/// Draws the caption and borders of a window whose frame needs it.
void paintNonClient(HWND hwnd);

/// Queues mouse or keyboard input for the window's thread, as the UI agent's
/// person produces it.
void postInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
/// Moves the pointer; a window that tracks TME_LEAVE and is left gets
/// WM_MOUSELEAVE. Returns the window now under the pointer (null: none).
HWND moveCursor(POINT screen);
/// The window that mouse input at a screen point goes to (the capture aside).
HWND windowForMouse(POINT screen);

/// Activation and focus bookkeeping when a window goes away or is hidden.
void windowGoingAway(HWND hwnd, bool destroying);

}  // namespace winsim::user
