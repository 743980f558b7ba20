#include "gdidib.h"

#include <bit>
#include <cstring>
#include <limits>

#include "win32/errors.h"

namespace winsim::gdi {

namespace {

constexpr DWORD kDefault16Masks[3] = {0x7C00, 0x03E0, 0x001F};
constexpr DWORD kDefault32Masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};

bool contiguous(DWORD mask) {
  if (mask == 0) return false;
  DWORD const shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

std::size_t rowStride(int width, int bitCount) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

// One channel of a bit-field pixel, scaled to 0..255.
unsigned extract(DWORD value, DWORD mask) {
  int const shift = std::countr_zero(mask);
  int const bits = std::popcount(mask);
  DWORD const v = (value & mask) >> shift;
  if (bits >= 8) return v >> (bits - 8);
  DWORD const top = (DWORD{1} << bits) - 1;
  return (v * 255 + top / 2) / top;
}

DWORD insert(unsigned channel, DWORD mask) {
  int const shift = std::countr_zero(mask);
  int const bits = std::popcount(mask);
  DWORD v;
  if (bits >= 8) {
    v = static_cast<DWORD>(channel) << (bits - 8);
  } else {
    DWORD const top = (DWORD{1} << bits) - 1;
    v = (channel * top + 127) / 255;
  }
  return (v << shift) & mask;
}

Pixel fromQuad(const RGBQUAD& q) { return (Pixel{q.rgbRed} << 16) | (Pixel{q.rgbGreen} << 8) | Pixel{q.rgbBlue}; }

}  // namespace

bool DibLayout::isPixelFormat() const {
  if (bitCount != 32) return false;
  return compression == BI_RGB ||
         (masks[0] == kDefault32Masks[0] && masks[1] == kDefault32Masks[1] && masks[2] == kDefault32Masks[2]);
}

Expected<DibLayout> makeDibLayout(int width, int height, bool topDown, int bitCount, std::vector<RGBQUAD> colors) {
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide)
    return makeError(ERROR_INVALID_PARAMETER, "bitmap size out of range");
  DibLayout layout;
  layout.width = width;
  layout.height = height;
  layout.topDown = topDown;
  layout.bitCount = bitCount;
  layout.stride = rowStride(width, bitCount);
  if (layout.imageBytes() > Surface::kMaxBytes) return makeError(ERROR_NOT_ENOUGH_MEMORY, "bitmap too large");
  if (bitCount == 16) std::memcpy(layout.masks, kDefault16Masks, sizeof layout.masks);
  if (bitCount == 32) std::memcpy(layout.masks, kDefault32Masks, sizeof layout.masks);
  if (bitCount <= 8) {
    // A shorter table stays short: indices past its end are black.
    if (colors.empty()) colors = defaultColorTable(bitCount);
    if (colors.size() > (std::size_t{1} << bitCount)) colors.resize(std::size_t{1} << bitCount);
    layout.colors = std::move(colors);
  }
  return layout;
}

Expected<DibLayout> readDibLayout(const BITMAPINFO* info, UINT usage) {
  if (info == nullptr) return makeError(ERROR_INVALID_PARAMETER, "no bitmap info");
  const BITMAPINFOHEADER& h = info->bmiHeader;
  // 40 is the classic header; 52 and 56 carry masks, 108 and 124 are the V4
  // and V5 headers. The 12-byte OS/2 header is not read.
  if (h.biSize != 40 && h.biSize != 52 && h.biSize != 56 && h.biSize != 108 && h.biSize != 124)
    return makeError(ERROR_INVALID_PARAMETER, "unsupported bitmap header size");
  if (h.biPlanes != 1) return makeError(ERROR_INVALID_PARAMETER, "bitmap with more than one plane");
  if (usage != DIB_RGB_COLORS)
    return makeError(ERROR_INVALID_PARAMETER, "palette-index colour tables are not supported");
  int const bits = h.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return makeError(ERROR_INVALID_PARAMETER, "unsupported bit count");
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32)))
    return makeError(ERROR_NOT_SUPPORTED, "compressed bitmaps are not supported");
  if (h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min())
    return makeError(ERROR_INVALID_PARAMETER, "bitmap height out of range");
  bool const topDown = h.biHeight < 0;
  int const height = topDown ? -h.biHeight : h.biHeight;

  std::vector<RGBQUAD> colors;
  const auto* base = reinterpret_cast<const std::uint8_t*>(info);
  if (bits <= 8) {
    DWORD const maximum = DWORD{1} << bits;
    DWORD const count = (h.biClrUsed == 0 || h.biClrUsed > maximum) ? maximum : h.biClrUsed;
    colors.resize(count);
    std::memcpy(colors.data(), base + h.biSize, count * sizeof(RGBQUAD));
  }
  auto layout = makeDibLayout(h.biWidth, height, topDown, bits, std::move(colors));
  if (!layout) return layout;
  layout->compression = h.biCompression;
  if (h.biCompression == BI_BITFIELDS) {
    // The three masks follow the classic header, which is also where the
    // larger headers keep them.
    std::memcpy(layout->masks, base + 40, sizeof layout->masks);
    for (DWORD mask : layout->masks) {
      if (!contiguous(mask) || (bits == 16 && mask > 0xFFFF))
        return makeError(ERROR_INVALID_PARAMETER, "bad colour masks");
    }
  }
  return layout;
}

std::vector<RGBQUAD> defaultColorTable(int bitCount) {
  std::vector<RGBQUAD> table;
  auto add = [&](int r, int g, int b) {
    table.push_back(RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0});
  };
  if (bitCount == 1) {
    add(0, 0, 0);
    add(255, 255, 255);
  } else if (bitCount == 4) {
    const int vga[16][3] = {{0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
                            {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
                            {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    for (const auto& c : vga) add(c[0], c[1], c[2]);
  } else if (bitCount == 8) {
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) add(r * 51, g * 51, b * 51);
    for (int i = 0; i < 40; ++i) add(i * 255 / 39, i * 255 / 39, i * 255 / 39);
  }
  return table;
}

unsigned Quantizer::index(Pixel pixel) {
  Pixel const key = pixel & 0xFFFFFF;
  if (auto it = m_cache.find(key); it != m_cache.end()) return it->second;
  int const r = (key >> 16) & 0xFF, g = (key >> 8) & 0xFF, b = key & 0xFF;
  unsigned best = 0;
  long bestDistance = std::numeric_limits<long>::max();
  for (unsigned i = 0; i < m_colors.size(); ++i) {
    long const dr = r - m_colors[i].rgbRed, dg = g - m_colors[i].rgbGreen, db = b - m_colors[i].rgbBlue;
    long const distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
      if (distance == 0) break;
    }
  }
  m_cache.emplace(key, best);
  return best;
}

void decodeRow(const DibLayout& layout, const std::uint8_t* in, Pixel* out) {
  int const width = layout.width;
  auto color = [&](unsigned index) -> Pixel {
    return index < layout.colors.size() ? fromQuad(layout.colors[index]) : Pixel{0};
  };
  switch (layout.bitCount) {
    case 1:
      for (int x = 0; x < width; ++x) out[x] = color((in[x >> 3] >> (7 - (x & 7))) & 1);
      break;
    case 4:
      for (int x = 0; x < width; ++x) out[x] = color((x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4);
      break;
    case 8:
      for (int x = 0; x < width; ++x) out[x] = color(in[x]);
      break;
    case 16:
      for (int x = 0; x < width; ++x) {
        DWORD const v = in[2 * x] | (DWORD{in[2 * x + 1]} << 8);
        out[x] = (extract(v, layout.masks[0]) << 16) | (extract(v, layout.masks[1]) << 8) | extract(v, layout.masks[2]);
      }
      break;
    case 24:
      for (int x = 0; x < width; ++x)
        out[x] = Pixel{in[3 * x]} | (Pixel{in[3 * x + 1]} << 8) | (Pixel{in[3 * x + 2]} << 16);
      break;
    case 32:
      if (layout.isPixelFormat()) {
        std::memcpy(out, in, static_cast<std::size_t>(width) * 4);
      } else {
        for (int x = 0; x < width; ++x) {
          DWORD v;
          std::memcpy(&v, in + 4 * x, 4);
          out[x] =
              (extract(v, layout.masks[0]) << 16) | (extract(v, layout.masks[1]) << 8) | extract(v, layout.masks[2]);
        }
      }
      break;
  }
}

void encodeRow(const Pixel* in, int count, const DibLayout& layout, std::uint8_t* out, Quantizer& quantizer) {
  std::memset(out, 0, layout.stride);
  if (count > layout.width) count = layout.width;
  auto channels = [](Pixel p, unsigned& r, unsigned& g, unsigned& b) {
    r = (p >> 16) & 0xFF;
    g = (p >> 8) & 0xFF;
    b = p & 0xFF;
  };
  switch (layout.bitCount) {
    case 1:
      for (int x = 0; x < count; ++x)
        if (quantizer.index(in[x]) & 1) out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
      break;
    case 4:
      for (int x = 0; x < count; ++x) {
        unsigned const i = quantizer.index(in[x]) & 0x0F;
        out[x >> 1] |= static_cast<std::uint8_t>((x & 1) ? i : i << 4);
      }
      break;
    case 8:
      for (int x = 0; x < count; ++x) out[x] = static_cast<std::uint8_t>(quantizer.index(in[x]));
      break;
    case 16:
      for (int x = 0; x < count; ++x) {
        unsigned r, g, b;
        channels(in[x], r, g, b);
        DWORD const v = insert(r, layout.masks[0]) | insert(g, layout.masks[1]) | insert(b, layout.masks[2]);
        out[2 * x] = static_cast<std::uint8_t>(v & 0xFF);
        out[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
      }
      break;
    case 24:
      for (int x = 0; x < count; ++x) {
        out[3 * x] = static_cast<std::uint8_t>(in[x] & 0xFF);
        out[3 * x + 1] = static_cast<std::uint8_t>((in[x] >> 8) & 0xFF);
        out[3 * x + 2] = static_cast<std::uint8_t>((in[x] >> 16) & 0xFF);
      }
      break;
    case 32:
      if (layout.isPixelFormat()) {
        std::memcpy(out, in, static_cast<std::size_t>(count) * 4);
      } else {
        for (int x = 0; x < count; ++x) {
          unsigned r, g, b;
          channels(in[x], r, g, b);
          DWORD const v = insert(r, layout.masks[0]) | insert(g, layout.masks[1]) | insert(b, layout.masks[2]);
          std::memcpy(out + 4 * x, &v, 4);
        }
      }
      break;
  }
}

}  // namespace winsim::gdi
