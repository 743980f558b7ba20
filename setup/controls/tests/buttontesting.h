// What the button tests share: a machine with IntallerRes.dll as the
// resource module, a popup parent window to put buttons on, the message
// pump, and pictures read back from the windows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "afxwin.h"
#include "testing/tempmachine.h"
#include "winsim/windowing.h"

namespace buttontesting {

class ButtonPage : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::filesystem::path target = m_machine.host(u"C:\\Setup\\IntallerRes.dll");
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(winsim::testing::testProgramFolder() / "IntallerRes.dll", target);
    m_module = LoadLibraryExW(u"C:\\Setup\\IntallerRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_module, nullptr) << GetLastError();
    m_saved = AfxGetResourceHandle();
    AfxSetResourceHandle(m_module);
    ASSERT_TRUE(m_parent.CreateEx(0, nullptr, u"Page", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    // The pointer starts away from every button.
    SetCursorPos(299, 199);
    pump();
  }
  void TearDown() override {
    m_parent.DestroyWindow();
    pump();
    AfxSetResourceHandle(m_saved);
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    FreeLibrary(m_module);
  }

  /// A push button of the page, as a dialog template would make it.
  HWND makeButton(int id, DWORD style, const RECT& rect, LPCWSTR text = u"") {
    return CreateWindowExW(0, u"Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, m_parent.GetSafeHwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }

  static void pump() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  /// Moves the pointer to (x, y) of the page and lets the windows hear it.
  void pointAt(int x, int y) {
    POINT screen{x, y};
    ClientToScreen(m_parent.GetSafeHwnd(), &screen);
    SetCursorPos(screen.x, screen.y);
    pump();
  }

  /// A pixel of what a window shows.
  static COLORREF shown(HWND hwnd, int x, int y) {
    auto picture = winsim::captureWindow(hwnd);
    if (!picture) return CLR_INVALID;
    return winsim::colorFromPixel(picture.value()->pixel(x, y) & 0xFFFFFF);
  }

  /// Whether the window shows the bitmap resource id, pixel for pixel, over
  /// the part they share.
  bool showsPicture(HWND hwnd, UINT id) {
    auto picture = winsim::captureWindow(hwnd);
    CBitmap bitmap;
    if (!picture || !bitmap.LoadBitmap(id)) return false;
    BITMAP info{};
    bitmap.GetBitmap(&info);
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CBitmap* old = memory.SelectObject(&bitmap);
    bool same = true;
    const int width = std::min<int>(info.bmWidth, picture.value()->width());
    const int height = std::min<int>(info.bmHeight, picture.value()->height());
    for (int y = 0; y < height && same; ++y)
      for (int x = 0; x < width && same; ++x)
        same = winsim::colorFromPixel(picture.value()->pixel(x, y) & 0xFFFFFF) == memory.GetPixel(x, y);
    memory.SelectObject(old);
    return same;
  }

  winsim::testing::TempMachine m_machine;
  HMODULE m_module = nullptr;
  HINSTANCE m_saved = nullptr;
  CWnd m_parent;
};

/// A memory context drawing into a 32-bit bitmap of its own.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF background) {
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    m_dc.CreateCompatibleDC(nullptr);
    m_bitmap.Attach(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_old = m_dc.SelectObject(m_bitmap.GetSafeHandle());
    m_dc.FillSolidRect(0, 0, width, height, background);
  }
  ~Canvas() { m_dc.SelectObject(m_old); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  CDC& dc() { return m_dc; }
  /// The bitmap, for a caller that copies it (not while it is selected
  /// elsewhere).
  HBITMAP bitmap() const { return m_bitmap; }
  COLORREF at(int x, int y) { return m_dc.GetPixel(x, y); }

 private:
  CDC m_dc;
  CBitmap m_bitmap;
  HGDIOBJ m_old = nullptr;
};

}  // namespace buttontesting
