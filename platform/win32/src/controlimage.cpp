// Pictures that controls and cursors load from a module's resources: RT_BITMAP
// (a packed DIB), and icons and cursors (a group directory naming the images,
// each a DIB of twice the height: the colour picture, then the AND mask).
// Every size is checked against the resource before a byte is read.
#include <cstring>
#include <vector>

#include "controls.h"
#include "win32/module.h"

namespace winsim::user {

namespace {

struct Bytes {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
};

Bytes resourceBytes(HINSTANCE instance, LPCWSTR name, LPCWSTR type) {
  HRSRC found = FindResourceW(instance, name, type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(instance, found);
  if (!loaded) return {};
  return Bytes{static_cast<const std::uint8_t*>(LockResource(loaded)), SizeofResource(instance, found)};
}

template <class T>
bool readAt(const Bytes& b, std::size_t offset, T& out) {
  if (offset > b.size || b.size - offset < sizeof(T)) return false;
  std::memcpy(&out, b.data + offset, sizeof(T));
  return true;
}

/// The layout of a packed DIB: where its colour table and bits are.
struct DibLayout {
  BITMAPINFOHEADER header{};
  std::size_t tableOffset = 0;
  std::size_t tableBytes = 0;
  std::size_t bitsOffset = 0;
  std::size_t stride = 0;
};

bool layoutOf(const Bytes& b, std::size_t start, int rowsOverride, DibLayout& out) {
  if (!readAt(b, start, out.header)) return false;
  const BITMAPINFOHEADER& h = out.header;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > b.size - start || h.biWidth <= 0 || h.biWidth > 16384 ||
      h.biHeight == 0 || h.biHeight > 32768 || h.biHeight < -32768)
    return false;
  const int bits = h.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  std::size_t colours = h.biClrUsed ? h.biClrUsed : (bits <= 8 ? (std::size_t{1} << bits) : 0);
  if (colours > 256) return false;
  std::size_t masks = h.biCompression == BI_BITFIELDS ? 12 : 0;
  out.tableOffset = start + h.biSize;
  out.tableBytes = masks + colours * 4;
  out.bitsOffset = out.tableOffset + out.tableBytes;
  out.stride = ((static_cast<std::size_t>(h.biWidth) * bits + 31) / 32) * 4;
  const std::size_t rows = static_cast<std::size_t>(rowsOverride > 0 ? rowsOverride : std::abs(h.biHeight));
  return out.bitsOffset <= b.size && (b.size - out.bitsOffset) / out.stride >= rows;
}

/// A DIB section with the given header (height replaced), colour table and bits.
HBITMAP dibSection(const BITMAPINFOHEADER& header, int height, const std::uint8_t* table, std::size_t tableBytes,
                   const std::uint8_t* bits, std::size_t bitBytes) {
  std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + tableBytes + sizeof(RGBQUAD));
  BITMAPINFOHEADER h = header;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biHeight = height;
  h.biSizeImage = 0;
  std::memcpy(info.data(), &h, sizeof h);
  if (tableBytes) std::memcpy(info.data() + sizeof h, table, tableBytes);
  void* pixels = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap && pixels) std::memcpy(pixels, bits, bitBytes);
  return bitmap;
}

HBITMAP monochromeMask(int width, int height, const std::uint8_t* bits, std::size_t bitBytes) {
  BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER), width, height, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
  const std::uint8_t table[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  return dibSection(h, height, table, sizeof table, bits, bitBytes);
}

/// An icon or cursor image (RT_ICON / RT_CURSOR data after the hot spot).
HICON imageFromDib(const Bytes& b, std::size_t start, bool icon, POINT hotspot) {
  DibLayout layout;
  if (!layoutOf(b, start, 0, layout)) return nullptr;
  const BITMAPINFOHEADER& h = layout.header;
  if (h.biHeight <= 0 || h.biHeight % 2 != 0) return nullptr;
  const int height = h.biHeight / 2;
  const std::size_t colourBytes = layout.stride * static_cast<std::size_t>(height);
  const std::size_t maskStride = ((static_cast<std::size_t>(h.biWidth) + 31) / 32) * 4;
  const std::size_t maskBytes = maskStride * static_cast<std::size_t>(height);
  if (b.size - layout.bitsOffset < colourBytes + maskBytes) return nullptr;
  ICONINFO info{icon ? TRUE : FALSE, static_cast<DWORD>(hotspot.x), static_cast<DWORD>(hotspot.y), nullptr, nullptr};
  if (h.biBitCount == 1) {
    // Monochrome: the colour half is the XOR mask; the two halves in memory
    // order (bottom-up) make the mask of twice the height.
    info.hbmMask = monochromeMask(h.biWidth, h.biHeight, b.data + layout.bitsOffset, colourBytes + maskBytes);
  } else {
    info.hbmColor =
        dibSection(h, height, b.data + layout.tableOffset, layout.tableBytes, b.data + layout.bitsOffset, colourBytes);
    info.hbmMask = monochromeMask(h.biWidth, height, b.data + layout.bitsOffset + colourBytes, maskBytes);
  }
  HICON result = info.hbmMask && (h.biBitCount == 1 || info.hbmColor) ? CreateIconIndirect(&info) : nullptr;
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return result;
}

/// The first image of an icon or cursor group.
HICON fromGroup(HINSTANCE instance, LPCWSTR name, bool icon) {
  const Bytes group = resourceBytes(instance, name, icon ? RT_GROUP_ICON : RT_GROUP_CURSOR);
  WORD reserved = 1, type = 0, count = 0;
  if (!readAt(group, 0, reserved) || !readAt(group, 2, type) || !readAt(group, 4, count) || reserved != 0 || count == 0)
    return nullptr;
  WORD id = 0;
  if (!readAt(group, 6 + 12, id)) return nullptr;  // the entry's last field
  const Bytes image = resourceBytes(instance, MAKEINTRESOURCEW(id), icon ? RT_ICON : RT_CURSOR);
  if (!image.data) return nullptr;
  if (icon) return imageFromDib(image, 0, true, POINT{0, 0});
  WORD x = 0, y = 0;
  if (!readAt(image, 0, x) || !readAt(image, 2, y)) return nullptr;
  return imageFromDib(image, 4, false, POINT{x, y});
}

}  // namespace

HBITMAP loadBitmapResource(HINSTANCE instance, WORD id) {
  const Bytes b = resourceBytes(instance, MAKEINTRESOURCEW(id), RT_BITMAP);
  DibLayout layout;
  if (!b.data || !layoutOf(b, 0, 0, layout)) return nullptr;
  const std::size_t bitBytes = layout.stride * static_cast<std::size_t>(std::abs(layout.header.biHeight));
  return dibSection(layout.header, layout.header.biHeight, b.data + layout.tableOffset, layout.tableBytes,
                    b.data + layout.bitsOffset, bitBytes);
}

HICON loadIconResource(HINSTANCE instance, LPCWSTR name) { return fromGroup(instance, name, true); }

HCURSOR loadCursorResource(HINSTANCE instance, LPCWSTR name) { return fromGroup(instance, name, false); }

}  // namespace winsim::user
