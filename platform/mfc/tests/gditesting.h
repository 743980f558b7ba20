// What the class library's drawing tests share: testimages.dll installed in
// a machine and made the resource module, and pixels read back as text.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "afxgdi.h"
#include "afxwin.h"
#include "testing/tempmachine.h"

namespace gditesting {

/// A machine with testimages.dll as the resource module (AfxGetResourceHandle).
class ImageLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::path const target = m_machine.host(u"C:\\Setup\\testimages.dll");
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(winsim::testing::testProgramFolder() / "testimages.dll", target);
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

  winsim::testing::TempMachine m_machine;
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

}  // namespace gditesting

#define EXPECT_PIXEL(canvas, x, y, expected) \
  EXPECT_EQ(gditesting::hex((canvas).at((x), (y))), gditesting::hex(expected)) << "at (" << (x) << ", " << (y) << ")"
