// Helpers of the skin's tests: IntallerRes.dll in a machine, its pictures
// decoded from their resources, and the pages' geometry.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "IntallerRes.h"
#include "testing/tempmachine.h"
#include "win32/errors.h"
#include "win32/gdi.h"
#include "win32/module.h"

namespace skintest {

constexpr int kPageWidth = 500, kPageHeight = 380;
constexpr int kButtonWidth = 90, kButtonHeight = 30;

/// IntallerRes.dll copied into a machine and loaded as a data file, as the
/// setup program finds it beside itself.
class Library {
 public:
  explicit Library(const winsim::testing::TempMachine& machine) {
    const auto built = winsim::testing::testProgramFolder() / "IntallerRes.dll";
    EXPECT_TRUE(std::filesystem::exists(built)) << "build the IntallerRes_dll target first";
    const auto target = machine.host(u"C:\\Setup\\IntallerRes.dll");
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(built, target, std::filesystem::copy_options::overwrite_existing);
    m_module = LoadLibraryExW(u"C:\\Setup\\IntallerRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(m_module, nullptr) << GetLastError();
  }
  ~Library() {
    if (m_module) FreeLibrary(m_module);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  HMODULE module() const { return m_module; }

 private:
  HMODULE m_module = nullptr;
};

struct Bytes {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};

inline Bytes resourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  return Bytes{static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found))),
               SizeofResource(module, found)};
}

struct Rgb {
  int r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline double luminance(Rgb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }
inline int chroma(Rgb c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}); }

/// A picture decoded from an RT_BITMAP resource (24 or 8 bits, bottom-up, as
/// the resource compiler stores them), pixels top row first.
struct Picture {
  BITMAPINFOHEADER header{};
  std::vector<Rgb> table;
  std::vector<Rgb> pixels;
  int width = 0, height = 0;
  bool ok = false;

  Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

inline Picture pictureOf(HMODULE module, WORD id) {
  Picture p;
  const Bytes b = resourceBytes(module, MAKEINTRESOURCEW(id), RT_BITMAP);
  if (!b.data || b.size < sizeof(BITMAPINFOHEADER)) return p;
  std::memcpy(&p.header, b.data, sizeof p.header);
  const BITMAPINFOHEADER& h = p.header;
  if (h.biSize != 40 || h.biWidth <= 0 || h.biHeight <= 0 || h.biCompression != BI_RGB ||
      (h.biBitCount != 24 && h.biBitCount != 8))
    return p;
  p.width = h.biWidth;
  p.height = h.biHeight;
  const std::size_t colours = h.biBitCount == 8 ? (h.biClrUsed ? h.biClrUsed : 256) : 0;
  const std::size_t stride = ((static_cast<std::size_t>(p.width) * h.biBitCount + 31) / 32) * 4;
  const std::size_t bits = 40 + 4 * colours;
  if (b.size < bits + stride * p.height) return p;
  for (std::size_t i = 0; i < colours; ++i)
    p.table.push_back(Rgb{b.data[40 + 4 * i + 2], b.data[40 + 4 * i + 1], b.data[40 + 4 * i]});
  p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
  for (int y = 0; y < p.height; ++y) {
    const std::uint8_t* row = b.data + bits + stride * static_cast<std::size_t>(p.height - 1 - y);
    for (int x = 0; x < p.width; ++x) {
      if (h.biBitCount == 24) {
        p.pixels[static_cast<std::size_t>(y) * p.width + x] = Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
      } else {
        if (row[x] >= p.table.size()) return p;
        p.pixels[static_cast<std::size_t>(y) * p.width + x] = p.table[row[x]];
      }
    }
  }
  p.ok = true;
  return p;
}

/// The share of pixels in which two pictures of one size differ.
inline double differingShare(const Picture& a, const Picture& b) {
  std::size_t differing = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    if (!(a.pixels[i] == b.pixels[i])) ++differing;
  return static_cast<double>(differing) / static_cast<double>(a.pixels.size());
}

/// A DIB section holding a picture, for drawing it as the pages do.
inline HBITMAP bitmapOf(const Picture& p) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return bitmap;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < p.pixels.size(); ++i)
    out[i] = static_cast<std::uint32_t>(p.pixels[i].r) << 16 | static_cast<std::uint32_t>(p.pixels[i].g) << 8 |
             static_cast<std::uint32_t>(p.pixels[i].b);
  return bitmap;
}

}  // namespace skintest
