// Helpers of the window layer's tests: a recording window class, pumping the
// queue until it is empty, reading pixels of a window.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/user.h"
#include "winsim/windowing.h"

namespace usertest {

/// Dispatches everything queued (paint and due timers included) and returns
/// the number of messages dispatched.
inline int pump() {
  int count = 0;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++count;
  }
  return count;
}

struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

/// Messages seen by windows of the class "Recorder", in order.
inline std::vector<Logged>& journal() {
  static std::vector<Logged> entries;
  return entries;
}

inline LRESULT recorderProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  journal().push_back({hwnd, message, wParam, lParam});
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

/// Registers "Recorder" once (white background, arrow cursor).
inline void registerRecorder() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = recorderProc;
    wc.lpszClassName = u"Recorder";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    return RegisterClassExW(&wc);
  }();
  ASSERT_NE(atom, 0);
}

/// The messages of one window in the journal, in order.
inline std::vector<UINT> messagesOf(HWND hwnd, const std::vector<UINT>& only = {}) {
  std::vector<UINT> out;
  for (const auto& e : journal()) {
    if (e.hwnd != hwnd) continue;
    if (!only.empty() && std::find(only.begin(), only.end(), e.message) == only.end()) continue;
    out.push_back(e.message);
  }
  return out;
}

/// The colour of a window's pixel (window coordinates, frame included).
inline COLORREF pixelOf(HWND hwnd, int x, int y) {
  auto picture = winsim::captureWindow(hwnd);
  if (!picture) return CLR_INVALID;
  return winsim::colorFromPixel(picture.value()->pixel(x, y) & 0xFFFFFF);
}

/// The colour at a client point of a window.
inline COLORREF clientPixel(HWND hwnd, int x, int y) {
  RECT window{};
  GetWindowRect(hwnd, &window);
  POINT p{x, y};
  ClientToScreen(hwnd, &p);
  return pixelOf(hwnd, p.x - window.left, p.y - window.top);
}

}  // namespace usertest
