// What the drawing tests of the class library and of the skinned controls
// share: a machine whose resource module is the image loader's test library
// (testimages.dll), a memory canvas to draw into, and pixels compared as
// text. Header-only: the tests that include it link the class library.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "afxgdi.h"
#include "afxwin.h"
#include "testing/tempmachine.h"

namespace winsim::testing {

/// A machine with testimages.dll as the resource module (AfxGetResourceHandle).
class ImageLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::path const target = m_machine.host(u"C:\\Setup\\testimages.dll");
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(testProgramFolder() / "testimages.dll", target);
    m_module = LoadLibraryExW(u"C:\\Setup\\testimages.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m_module, nullptr) << GetLastError();
    m_saved = AfxGetResourceHandle();
    AfxSetResourceHandle(m_module);
  }
  void TearDown() override {
    AfxSetResourceHandle(m_saved);
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    FreeLibrary(m_module);
  }

  TempMachine m_machine;
  HMODULE m_module = nullptr;
  HINSTANCE m_saved = nullptr;
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
    m_old = m_dc.SelectObject(&m_bitmap);
    m_dc.FillSolidRect(0, 0, width, height, background);
  }
  ~Canvas() { m_dc.SelectObject(m_old); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  CDC& dc() { return m_dc; }
  COLORREF at(int x, int y) { return m_dc.GetPixel(x, y); }

 private:
  CDC m_dc;
  CBitmap m_bitmap;
  CBitmap* m_old = nullptr;
};

inline std::string hex(COLORREF c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return buffer;
}

inline COLORREF pixelOf(Canvas& canvas, int x, int y) { return canvas.at(x, y); }
inline COLORREF pixelOf(CDC& dc, int x, int y) { return dc.GetPixel(x, y); }

}  // namespace winsim::testing

/// canvas: a Canvas or a CDC.
#define EXPECT_PIXEL(canvas, x, y, expected)                                                                    \
  EXPECT_EQ(winsim::testing::hex(winsim::testing::pixelOf((canvas), (x), (y))), winsim::testing::hex(expected)) \
      << "at (" << (x) << ", " << (y) << ")"
