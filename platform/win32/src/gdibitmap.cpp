#include "gdibitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gdidc.h"
#include "gdiraster.h"

namespace winsim::gdi {

namespace {

const std::vector<RGBQUAD> kMonochrome = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};

void decodeAll(const DibLayout& layout, const std::uint8_t* bits, Surface& out) {
  for (int y = 0; y < layout.height; ++y)
    decodeRow(layout, bits + static_cast<std::size_t>(layout.memoryRow(y)) * layout.stride, out.row(y));
}

}  // namespace

Expected<std::shared_ptr<BitmapObject>> BitmapObject::createDevice(int width, int height, Device device) {
  bool const mono = device == Device::Monochrome;
  auto layout = makeDibLayout(width, height, true, mono ? 1 : 32, mono ? kMonochrome : std::vector<RGBQUAD>{});
  if (!layout) return layout.error();
  std::shared_ptr<BitmapObject> bitmap(new BitmapObject(std::move(*layout), false));
  if (Status s = bitmap->allocate(); !s) return s.error();
  return bitmap;
}

Expected<std::shared_ptr<BitmapObject>> BitmapObject::createSection(DibLayout layout) {
  std::shared_ptr<BitmapObject> bitmap(new BitmapObject(std::move(layout), true));
  if (Status s = bitmap->allocate(); !s) return s.error();
  return bitmap;
}

Status BitmapObject::allocate() {
  try {
    m_bits.assign(m_layout.imageBytes() / 4, 0);
  } catch (const std::bad_alloc&) {
    return makeError(ERROR_NOT_ENOUGH_MEMORY, "out of memory for a bitmap");
  }
  std::ptrdiff_t const stride = static_cast<std::ptrdiff_t>(m_layout.stride);
  if (m_layout.isPixelFormat()) {
    std::uint8_t* top = m_layout.topDown ? bits() : bits() + (m_layout.height - 1) * stride;
    m_pixels = Surface::view(top, m_layout.width, m_layout.height, m_layout.topDown ? stride : -stride);
    return {};
  }
  auto pixels = Surface::create(m_layout.width, m_layout.height);
  if (!pixels) return pixels.error();
  m_pixels = std::move(*pixels);
  try {
    m_converted = m_bits;
  } catch (const std::bad_alloc&) {
    return makeError(ERROR_NOT_ENOUGH_MEMORY, "out of memory for a bitmap");
  }
  decodeAll(m_layout, bits(), *m_pixels);
  return {};
}

Surface& BitmapObject::pixels() {
  if (!m_converted.empty() && m_converted != m_bits) {
    decodeAll(m_layout, bits(), *m_pixels);
    m_converted = m_bits;
  }
  return *m_pixels;
}

void BitmapObject::stored() {
  if (m_converted.empty()) return;  // drawn on the bits themselves
  Quantizer quantizer(m_layout.colors);
  for (int y = 0; y < m_layout.height; ++y) {
    encodeRow(m_pixels->row(y), m_layout.width, m_layout,
              bits() + static_cast<std::size_t>(m_layout.memoryRow(y)) * m_layout.stride, quantizer);
  }
  // Read back what the format kept, so later reads see the stored colours.
  decodeAll(m_layout, bits(), *m_pixels);
  m_converted = m_bits;
}

BITMAP BitmapObject::bitmapInfo() {
  BITMAP info{};
  info.bmWidth = width();
  info.bmHeight = height();
  info.bmPlanes = 1;
  info.bmBitsPixel = static_cast<WORD>(bitCount());
  if (m_section) {
    info.bmWidthBytes = static_cast<LONG>(m_layout.stride);
    info.bmBits = bits();
  } else {
    // Device bitmaps report rows aligned to 16 bits, as the platform does.
    info.bmWidthBytes = ((width() * bitCount() + 15) / 16) * 2;
  }
  return info;
}

DIBSECTION BitmapObject::sectionInfo() {
  DIBSECTION info{};
  info.dsBm = bitmapInfo();
  BITMAPINFOHEADER& h = info.dsBmih;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width();
  h.biHeight = m_layout.topDown ? -height() : height();
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bitCount());
  h.biCompression = m_layout.compression;
  h.biSizeImage = static_cast<DWORD>(m_layout.imageBytes());
  h.biClrUsed = bitCount() <= 8 ? static_cast<DWORD>(m_layout.colors.size()) : 0;
  if (bitCount() == 16 || bitCount() == 32) std::memcpy(info.dsBitfields, m_layout.masks, sizeof info.dsBitfields);
  return info;
}

Expected<std::shared_ptr<BitmapObject>> BitmapObject::copy() {
  auto result = createDevice(width(), height(), isMonochrome() ? Device::Monochrome : Device::TrueColor);
  if (!result) return result;
  const Surface& from = pixels();
  Surface& to = (*result)->pixels();
  for (int y = 0; y < height(); ++y) std::copy_n(from.row(y), width(), to.row(y));
  (*result)->stored();
  return result;
}

}  // namespace winsim::gdi

using namespace winsim;
using namespace winsim::gdi;

namespace {

HBITMAP bitmapHandle(const std::shared_ptr<BitmapObject>& bitmap) { return static_cast<HBITMAP>(addObject(bitmap)); }

HBITMAP defaultBitmapHandle() { return static_cast<HBITMAP>(defaultBitmap()->handle()); }

// Decodes a DIB given to GDI into 32-bit pixels (top-down): the rows present
// in the caller's buffer, scan lines [firstScan, firstScan + scans).
Expected<std::shared_ptr<Surface>> decodeGiven(const DibLayout& layout, const void* bits, int firstScan, int scans,
                                               int& topRow, int& bottomRow) {
  auto surface = Surface::create(layout.width, layout.height);
  if (!surface) return surface;
  int const last = std::min(layout.height, firstScan + scans);
  topRow = layout.height;
  bottomRow = 0;
  for (int scan = std::max(0, firstScan); scan < last; ++scan) {
    int const y = layout.topDown ? scan : layout.height - 1 - scan;
    decodeRow(layout,
              static_cast<const std::uint8_t*>(bits) + static_cast<std::size_t>(scan - firstScan) * layout.stride,
              (*surface)->row(y));
    topRow = std::min(topRow, y);
    bottomRow = std::max(bottomRow, y + 1);
  }
  return surface;
}

Sampling samplingOf(const DeviceContext& dc) {
  return dc.stretchMode == HALFTONE ? Sampling::Halftone : Sampling::Nearest;
}

}  // namespace

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
  if (nWidth < 0 || nHeight < 0 || nPlanes != 1) return fail<HBITMAP>(ERROR_INVALID_PARAMETER, nullptr);
  if (nWidth == 0 || nHeight == 0) return defaultBitmapHandle();
  if (nBitCount != 1 && nBitCount != 32) return fail<HBITMAP>(ERROR_INVALID_PARAMETER, nullptr);
  auto bitmap = BitmapObject::createDevice(
      nWidth, nHeight, nBitCount == 1 ? BitmapObject::Device::Monochrome : BitmapObject::Device::TrueColor);
  if (!bitmap) return fail<HBITMAP>(bitmap.error().code, nullptr);
  if (lpBits != nullptr) {
    // Device bitmap rows are aligned to 16 bits.
    std::size_t const given = static_cast<std::size_t>((nWidth * static_cast<int>(nBitCount) + 15) / 16) * 2;
    const DibLayout& layout = (*bitmap)->layout();
    for (int y = 0; y < nHeight; ++y) {
      std::memcpy((*bitmap)->bits() + static_cast<std::size_t>(y) * layout.stride,
                  static_cast<const std::uint8_t*>(lpBits) + static_cast<std::size_t>(y) * given, given);
    }
  }
  return bitmapHandle(*bitmap);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail<HBITMAP>(ERROR_INVALID_HANDLE, nullptr);
  if (cx < 0 || cy < 0) return fail<HBITMAP>(ERROR_INVALID_PARAMETER, nullptr);
  if (cx == 0 || cy == 0) return defaultBitmapHandle();
  // Compatible with a memory context that still holds its first bitmap
  // means monochrome, as on the platform.
  bool const mono = dc->isMemory() && dc->bitmap()->isMonochrome();
  auto bitmap =
      BitmapObject::createDevice(cx, cy, mono ? BitmapObject::Device::Monochrome : BitmapObject::Device::TrueColor);
  if (!bitmap) return fail<HBITMAP>(bitmap.error().code, nullptr);
  return bitmapHandle(*bitmap);
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD offset) {
  if (ppvBits != nullptr) *ppvBits = nullptr;
  if (hSection != nullptr) return fail<HBITMAP>(ERROR_INVALID_PARAMETER, nullptr);  // file mappings: not supported
  auto layout = readDibLayout(pbmi, usage);
  if (!layout) return fail<HBITMAP>(layout.error().code, nullptr);
  auto bitmap = BitmapObject::createSection(std::move(*layout));
  if (!bitmap) return fail<HBITMAP>(bitmap.error().code, nullptr);
  if (ppvBits != nullptr) *ppvBits = (*bitmap)->bits();
  return bitmapHandle(*bitmap);
}

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
  auto bitmap = lookup<BitmapObject>(hbm);
  if (!bitmap) return fail(ERROR_INVALID_HANDLE, 0);
  if (lpbmi == nullptr || lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS)
    return fail(ERROR_INVALID_PARAMETER, 0);
  BITMAPINFOHEADER& h = lpbmi->bmiHeader;
  const DibLayout& own = bitmap->layout();
  if (lpvBits == nullptr && h.biBitCount == 0) {
    // Describe the bitmap, without a colour table.
    h.biWidth = own.width;
    h.biHeight = bitmap->isSection() && own.topDown ? -own.height : own.height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(own.bitCount);
    h.biCompression = bitmap->isSection() ? own.compression : BI_RGB;
    h.biSizeImage = static_cast<DWORD>(own.imageBytes());
    h.biXPelsPerMeter = h.biYPelsPerMeter = 0;
    h.biClrUsed = h.biClrImportant = 0;
    return own.height;
  }
  if (h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight < -kMaxBitmapSide)
    return fail(ERROR_INVALID_PARAMETER, 0);
  int const bits = h.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return fail(ERROR_INVALID_PARAMETER, 0);
  // A palette-based bitmap read at its own depth keeps its indices and table.
  bool const sameIndices = bits <= 8 && own.bitCount == bits && h.biWidth == own.width;
  std::vector<RGBQUAD> colors;
  if (bits <= 8) colors = sameIndices ? own.colors : defaultColorTable(bits);
  bool const topDown = h.biHeight < 0;
  int const rows = topDown ? -h.biHeight : h.biHeight;
  auto layout = makeDibLayout(h.biWidth, rows, topDown, bits, std::move(colors));
  if (!layout) return fail(layout.error().code, 0);
  if (bits <= 8) {
    // The caller's block holds a full table for the depth.
    std::size_t const entries = std::size_t{1} << bits;
    std::memset(lpbmi->bmiColors, 0, entries * sizeof(RGBQUAD));
    std::memcpy(lpbmi->bmiColors, layout->colors.data(), layout->colors.size() * sizeof(RGBQUAD));
  }
  h.biSizeImage = static_cast<DWORD>(layout->imageBytes());
  if (lpvBits == nullptr) return rows;

  if (start >= static_cast<UINT>(rows)) return 0;
  int const count = static_cast<int>(std::min<UINT>(cLines, static_cast<UINT>(rows) - start));
  Surface& pixels = bitmap->pixels();
  Quantizer quantizer(layout->colors);
  auto* out = static_cast<std::uint8_t*>(lpvBits);
  for (int i = 0; i < count; ++i) {
    int const scan = static_cast<int>(start) + i;
    // Scan line 0 is the bitmap's bottom row unless top-down rows were asked for.
    int const row = topDown ? scan : own.height - 1 - scan;
    std::uint8_t* line = out + static_cast<std::size_t>(i) * layout->stride;
    if (row < 0 || row >= own.height) {
      std::memset(line, 0, layout->stride);
    } else if (sameIndices) {
      std::memcpy(line, bitmap->bits() + static_cast<std::size_t>(own.memoryRow(row)) * own.stride, layout->stride);
    } else {
      encodeRow(pixels.row(row), std::min(layout->width, own.width), *layout, line, quantizer);
    }
  }
  return count;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan, UINT cLines,
                      const void* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail(ERROR_INVALID_HANDLE, 0);
  if (lpvBits == nullptr || w > static_cast<DWORD>(kMaxBitmapSide) || h > static_cast<DWORD>(kMaxBitmapSide))
    return fail(ERROR_INVALID_PARAMETER, 0);
  auto layout = readDibLayout(lpbmi, ColorUse);
  if (!layout) return fail(layout.error().code, 0);
  if (StartScan >= static_cast<UINT>(layout->height)) return 0;
  int const scans = static_cast<int>(std::min<UINT>(cLines, static_cast<UINT>(layout->height) - StartScan));
  int top = 0, bottom = 0;
  auto image = decodeGiven(*layout, lpvBits, static_cast<int>(StartScan), scans, top, bottom);
  if (!image) return fail(image.error().code, 0);
  int const width = static_cast<int>(w), height = static_cast<int>(h);
  // The source corner counts from the bottom in a bottom-up DIB.
  int const srcTop = layout->topDown ? ySrc : layout->height - ySrc - height;
  RECT src{xSrc, srcTop, xSrc + width, srcTop + height};
  RECT dst{xDest, yDest, xDest + width, yDest + height};
  // Only the scan lines given are drawn.
  int const cutTop = std::max(0, top - src.top), cutBottom = std::max(0, static_cast<int>(src.bottom) - bottom);
  src.top += cutTop;
  dst.top += cutTop;
  src.bottom -= cutBottom;
  dst.bottom -= cutBottom;
  if (src.bottom <= src.top) return scans;
  {
    Canvas canvas(*dc, Canvas::Access::Write);
    POINT const a = dc->toSurface(dst.left, dst.top), b = dc->toSurface(dst.right, dst.bottom);
    Source source;
    source.surface = image->get();
    transfer(canvas.target(), RECT{a.x, a.y, b.x, b.y}, source, src, SRCCOPY, Paint{}, Sampling::Nearest);
  }
  return scans;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                  int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail(ERROR_INVALID_HANDLE, 0);
  auto layout = readDibLayout(lpbmi, iUsage);
  if (!layout) return fail(layout.error().code, 0);
  if (lpBits == nullptr && ropUsesSource(rop)) return fail(ERROR_INVALID_PARAMETER, 0);
  // A header that admits to fewer bytes than its rows need is refused rather
  // than read past.
  DWORD const declared = lpbmi->bmiHeader.biSizeImage;
  if (declared != 0 && declared < layout->imageBytes()) return fail(ERROR_INVALID_PARAMETER, 0);
  std::shared_ptr<Surface> image;
  if (ropUsesSource(rop)) {
    int top = 0, bottom = 0;
    auto decoded = decodeGiven(*layout, lpBits, 0, layout->height, top, bottom);
    if (!decoded) return fail(decoded.error().code, 0);
    image = std::move(*decoded);
  }
  // The source corner counts from the bottom in a bottom-up DIB; negative
  // sizes mirror.
  int const srcTop = layout->topDown ? ySrc : layout->height - ySrc - SrcHeight;
  RECT const src{xSrc, srcTop, xSrc + SrcWidth, srcTop + SrcHeight};
  {
    Canvas canvas(*dc, Canvas::Access::Write);
    POINT const a = dc->toSurface(xDest, yDest), b = dc->toSurface(xDest + DestWidth, yDest + DestHeight);
    RECT const dst{a.x, a.y, b.x, b.y};
    Paint const paint = paintOf(dc->brush().get(), *dc);
    if (image) {
      Source source;
      source.surface = image.get();
      transfer(canvas.target(), dst, source, src, rop, paint, samplingOf(*dc));
    } else {
      fill(canvas.target(), RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)}, paint,
           rop);
    }
  }
  return SrcHeight < 0 ? -SrcHeight : SrcHeight;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return CLR_INVALID;
  Canvas canvas(*dc, Canvas::Access::Read);
  POINT const p = dc->toSurface(x, y);
  RECT const& c = canvas.clip();
  if (p.x < c.left || p.x >= c.right || p.y < c.top || p.y >= c.bottom) return CLR_INVALID;
  return colorFromPixel(canvas.surface().pixel(p.x, p.y));
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail(ERROR_INVALID_HANDLE, CLR_INVALID);
  POINT const p = dc->toSurface(x, y);
  {
    Canvas canvas(*dc, Canvas::Access::Write);
    RECT const& c = canvas.clip();
    if (p.x < c.left || p.x >= c.right || p.y < c.top || p.y >= c.bottom) return CLR_INVALID;
    canvas.surface().setPixel(p.x, p.y, pixelFromColor(color));
  }
  // The colour the bitmap's format kept.
  Canvas canvas(*dc, Canvas::Access::Read);
  return colorFromPixel(canvas.surface().pixel(p.x, p.y));
}
