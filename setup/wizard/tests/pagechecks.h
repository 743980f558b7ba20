// What the tests of the licence, finish and error-completion pages share:
// which of the skin's icons a CButtonST shows beside its text, a message pump
// for pages run modelessly, and a script file of its own for each modal run
// of a table of cases.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "afxwin.h"
#include "winsim/surface.h"
#include "winsim/windowing.h"

namespace pagechecks {

/// Makes `text` the UI script of the next modal run, in a file named after
/// `run`, so that the transcript's script lines name the run they belong to.
inline void scriptForRun(const std::filesystem::path& machineFolder, int run, const std::string& text) {
  const std::filesystem::path file = machineFolder / "ui" / ("run" + std::to_string(run) + ".txt");
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
  ::setenv("WINSIM_UI", file.c_str(), 1);
}

/// Handles what is queued, paints included, without waiting.
inline void pump() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

/// The middle pixel of icon `id` of the resource module. The skin's icons
/// are opaque there, and the ticked / chosen ones differ from the others
/// exactly there.
inline COLORREF iconMiddle(int id) {
  auto* icon = static_cast<HICON>(LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, 0));
  if (icon == nullptr) return CLR_INVALID;
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap bitmap;
  bitmap.Attach(CreateDIBSection(dc.GetSafeHdc(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  HGDIOBJ old = dc.SelectObject(bitmap.GetSafeHandle());
  DrawIconEx(dc.GetSafeHdc(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  const COLORREF middle = dc.GetPixel(8, 8);
  dc.SelectObject(old);
  DestroyIcon(icon);
  return middle;
}

/// The pixel a 16-pixel icon button shows at its icon's middle: the icon
/// lies 3 pixels from the left edge, centred vertically, beside the text.
inline COLORREF iconMiddleShown(HWND button) {
  auto picture = winsim::captureWindow(button);
  if (!picture) return CLR_INVALID;
  RECT client{};
  GetClientRect(button, &client);
  const int x = 3 + 8;
  const int y = (client.bottom - 16) / 2 + 8;
  return winsim::colorFromPixel(picture.value()->pixel(x, y) & 0xFFFFFF);
}

/// Whether a control shows, at its own point (x, y), the page's background
/// picture `bitmapId` (drawn 1:1 over the page's client area) at that place
/// of the page: a transparent control lets the page show through.
inline bool showsPageBackground(HWND page, HWND control, int x, int y, int bitmapId) {
  auto picture = winsim::captureWindow(control);
  CBitmap background;
  if (!picture || !background.LoadBitmap(bitmapId)) return false;
  POINT onPage{x, y};
  MapWindowPoints(control, page, &onPage, 1);
  CDC memory;
  memory.CreateCompatibleDC(nullptr);
  CBitmap* old = memory.SelectObject(&background);
  const COLORREF expected = memory.GetPixel(onPage.x, onPage.y);
  memory.SelectObject(old);
  return winsim::colorFromPixel(picture.value()->pixel(x, y) & 0xFFFFFF) == expected;
}

/// Whether the button shows icon `id`.
inline bool showsIcon(HWND button, int id) { return iconMiddleShown(button) == iconMiddle(id); }

/// A page made modeless and shown, so that a test can send it commands and
/// read its controls between them.
template <class Page>
class ShownPage {
 public:
  explicit ShownPage(UINT templateId) {
    m_created = m_page.Create(templateId) != FALSE;
    if (m_created) {
      m_page.ShowWindow(SW_SHOW);
      pump();
    }
  }
  ~ShownPage() {
    if (m_created) m_page.DestroyWindow();
    pump();
  }
  ShownPage(const ShownPage&) = delete;
  ShownPage& operator=(const ShownPage&) = delete;

  bool created() const { return m_created; }
  HWND control(int id) const { return GetDlgItem(m_page.GetSafeHwnd(), id); }
  void command(int id) {
    m_page.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control(id)));
    pump();
  }
  Page& page() { return m_page; }

 private:
  Page m_page;
  bool m_created = false;
};

}  // namespace pagechecks
