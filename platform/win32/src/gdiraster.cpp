#include "gdiraster.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace winsim::gdi {

namespace {

int positiveModulo(int value, int modulus) {
  int const r = value % modulus;
  return r < 0 ? r + modulus : r;
}

// Normalises a rectangle that may be given mirrored; reports the mirroring.
RECT normalised(RECT r, bool& flipX, bool& flipY) {
  flipX = r.right < r.left;
  flipY = r.bottom < r.top;
  if (flipX) std::swap(r.left, r.right);
  if (flipY) std::swap(r.top, r.bottom);
  return r;
}

// Source index (relative to the source rectangle) sampled for destination
// index `i` of `count`, nearest to the destination pixel's centre.
int nearestIndex(int i, int count, int sourceCount, bool flip) {
  int const u = flip ? count - 1 - i : i;
  return static_cast<int>(((2 * static_cast<long long>(u) + 1) * sourceCount) / (2 * static_cast<long long>(count)));
}

struct Tap {
  int index;
  float weight;
};

// Halftone weights along one axis: a box filter where the picture shrinks,
// linear interpolation between pixel centres where it grows.
std::vector<std::vector<Tap>> halftoneTaps(int count, int sourceCount, bool flip) {
  std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(count));
  double const scale = static_cast<double>(sourceCount) / count;
  for (int i = 0; i < count; ++i) {
    int const u = flip ? count - 1 - i : i;
    auto& t = taps[static_cast<std::size_t>(i)];
    if (sourceCount < count) {
      double const position = (u + 0.5) * scale - 0.5;
      int const i0 = static_cast<int>(std::floor(position));
      double const f = position - i0;
      t.push_back(Tap{std::clamp(i0, 0, sourceCount - 1), static_cast<float>(1.0 - f)});
      t.push_back(Tap{std::clamp(i0 + 1, 0, sourceCount - 1), static_cast<float>(f)});
    } else {
      double const start = u * scale, end = (u + 1) * scale;
      for (int k = static_cast<int>(std::floor(start)); k < static_cast<int>(std::ceil(end)) && k < sourceCount; ++k) {
        double const w = std::min(end, k + 1.0) - std::max(start, static_cast<double>(k));
        if (w > 0) t.push_back(Tap{k, static_cast<float>(w / (end - start))});
      }
    }
  }
  return taps;
}

Pixel converted(const Source& source, Pixel p) {
  switch (source.convert) {
    case Source::Convert::None:
      return p;
    case Source::Convert::MonoToColor:
      return (p & 0xFFFFFF) == 0 ? source.fore : source.back;
    case Source::Convert::ColorToMono:
      return (p & 0xFFFFFF) == (source.key & 0xFFFFFF) ? Pixel{0xFFFFFF} : Pixel{0};
  }
  return p;
}

unsigned channel(Pixel p, int shift) { return (p >> shift) & 0xFF; }

// Copies the part of `surface` under `rect` so that a transfer within one
// surface reads the pixels as they were before it began.
std::shared_ptr<Surface> snapshot(const Surface& surface, RECT& rect) {
  RECT const part = intersect(rect, surface.bounds());
  if (isEmpty(part)) return nullptr;
  auto copy = Surface::create(part.right - part.left, part.bottom - part.top);
  if (!copy) return nullptr;
  for (int y = part.top; y < part.bottom; ++y)
    std::copy_n(surface.row(y) + part.left, part.right - part.left, (*copy)->row(y - part.top));
  rect.left -= part.left;
  rect.right -= part.left;
  rect.top -= part.top;
  rect.bottom -= part.top;
  return std::move(*copy);
}

}  // namespace

Pixel Paint::at(int x, int y) const {
  if (kind != Kind::Pattern) return solid;
  Pixel const p =
      pattern->pixel(positiveModulo(x - origin.x, pattern->width()), positiveModulo(y - origin.y, pattern->height()));
  if (!monochrome) return p & 0xFFFFFF;
  return (p & 0xFFFFFF) == 0 ? fore : back;
}

Paint pixelPaint(Pixel pixel) {
  Paint paint;
  paint.kind = Paint::Kind::Solid;
  paint.solid = pixel;
  return paint;
}

Paint solidPaint(COLORREF color) { return pixelPaint(pixelFromColor(color)); }

Paint paintOf(const BrushObject* brush, const DeviceContext& dc) {
  Paint paint;
  if (brush == nullptr) return paint;
  switch (brush->style()) {
    case BrushObject::Style::Null:
      break;
    case BrushObject::Style::Solid:
      paint = solidPaint(brush->color());
      break;
    case BrushObject::Style::Pattern:
      paint.kind = Paint::Kind::Pattern;
      paint.pattern = brush->pattern();
      paint.origin = POINT{dc.brushOrigin.x + dc.origin().x, dc.brushOrigin.y + dc.origin().y};
      paint.monochrome = brush->monochrome();
      paint.fore = pixelFromColor(dc.textColor);
      paint.back = pixelFromColor(dc.bkColor);
      break;
  }
  return paint;
}

Pixel applyRop(std::uint8_t table, Pixel p, Pixel s, Pixel d) {
  Pixel r;
  switch (table) {
    case 0xCC:
      return s;
    case 0x88:
      return s & d;
    case 0xEE:
      return s | d;
    case 0x66:
      return s ^ d;
    case 0x33:
      return ~s;
    case 0xAA:
      return d;
    case 0xF0:
      r = p;
      break;
    case 0x00:
      r = 0;
      break;
    case 0xFF:
      r = ~Pixel{0};
      break;
    case 0x5A:
      r = p ^ d;
      break;
    case 0x55:
      r = ~d;
      break;
    default:
      r = 0;
      for (int i = 0; i < 8; ++i) {
        if (((table >> i) & 1) == 0) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
      }
      break;
  }
  // Operations without a source write the fourth byte as 0, as GDI does.
  if (!ropUsesSource(static_cast<DWORD>(table) << 16)) r &= 0x00FFFFFF;
  return r;
}

void fill(Target target, RECT rect, const Paint& paint, DWORD rop) {
  std::uint8_t const table = ropTable(rop);
  if (paint.kind == Paint::Kind::None && ropUsesPattern(rop)) return;
  RECT const r = intersect(rect, target.clip);
  if (isEmpty(r)) return;
  for (int y = r.top; y < r.bottom; ++y) {
    Pixel* row = target.surface.row(y);
    if (paint.kind == Paint::Kind::Solid && table == 0xF0) {
      std::fill(row + r.left, row + r.right, paint.solid & 0xFFFFFF);
      continue;
    }
    for (int x = r.left; x < r.right; ++x) row[x] = applyRop(table, paint.at(x, y), 0, row[x]);
  }
}

void transfer(Target target, RECT dst, const Source& sourceIn, RECT src, DWORD rop, const Paint& paint,
              Sampling sampling) {
  bool dstFlipX, dstFlipY, srcFlipX, srcFlipY;
  RECT const d = normalised(dst, dstFlipX, dstFlipY);
  RECT s = normalised(src, srcFlipX, srcFlipY);
  bool const flipX = dstFlipX != srcFlipX, flipY = dstFlipY != srcFlipY;
  int const dw = d.right - d.left, dh = d.bottom - d.top;
  int const sw = s.right - s.left, sh = s.bottom - s.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  RECT const c = intersect(d, target.clip);
  if (isEmpty(c)) return;

  Source source = sourceIn;
  std::shared_ptr<Surface> copy;
  if (source.surface == &target.surface) {
    copy = snapshot(*source.surface, s);
    if (!copy) return;
    source.surface = copy.get();
  }
  const Surface& from = *source.surface;
  std::uint8_t const table = ropTable(rop);
  bool const usesPattern = ropUsesPattern(rop);
  if (usesPattern && paint.kind == Paint::Kind::None) return;

  if (dw == sw && dh == sh && !flipX && !flipY && table == 0xCC && source.convert == Source::Convert::None) {
    // A plain copy: whole row pieces, within the source.
    int const dx = s.left - d.left, dy = s.top - d.top;
    RECT const copy = intersect(c, RECT{-dx, -dy, from.width() - dx, from.height() - dy});
    for (int y = copy.top; y < copy.bottom; ++y)
      std::copy_n(from.row(y + dy) + copy.left + dx, copy.right - copy.left, target.surface.row(y) + copy.left);
    return;
  }
  if (sampling == Sampling::Nearest || (dw == sw && dh == sh)) {
    std::vector<int> columns(static_cast<std::size_t>(c.right - c.left));
    for (int x = c.left; x < c.right; ++x)
      columns[static_cast<std::size_t>(x - c.left)] = s.left + nearestIndex(x - d.left, dw, sw, flipX);
    for (int y = c.top; y < c.bottom; ++y) {
      int const sy = s.top + nearestIndex(y - d.top, dh, sh, flipY);
      if (sy < 0 || sy >= from.height()) continue;
      const Pixel* in = from.row(sy);
      Pixel* out = target.surface.row(y);
      for (int x = c.left; x < c.right; ++x) {
        int const sx = columns[static_cast<std::size_t>(x - c.left)];
        if (sx < 0 || sx >= from.width()) continue;
        Pixel const sp = converted(source, in[sx]);
        out[x] = table == 0xCC ? sp : applyRop(table, usesPattern ? paint.at(x, y) : 0, sp, out[x]);
      }
    }
    return;
  }

  // Halftone: sample only inside both the source rectangle and its surface.
  RECT const inside = intersect(s, from.bounds());
  if (isEmpty(inside)) return;
  auto columnTaps = halftoneTaps(dw, sw, flipX);
  auto rowTaps = halftoneTaps(dh, sh, flipY);
  auto clampX = [&](int i) { return std::clamp(s.left + i, inside.left, inside.right - 1); };
  auto clampY = [&](int i) { return std::clamp(s.top + i, inside.top, inside.bottom - 1); };
  for (int y = c.top; y < c.bottom; ++y) {
    const auto& ry = rowTaps[static_cast<std::size_t>(y - d.top)];
    Pixel* out = target.surface.row(y);
    for (int x = c.left; x < c.right; ++x) {
      const auto& rx = columnTaps[static_cast<std::size_t>(x - d.left)];
      float sum[4] = {0, 0, 0, 0};
      for (const Tap& ty : ry) {
        const Pixel* in = from.row(clampY(ty.index));
        for (const Tap& tx : rx) {
          Pixel const p = converted(source, in[clampX(tx.index)]);
          float const w = ty.weight * tx.weight;
          for (int k = 0; k < 4; ++k) sum[k] += w * static_cast<float>(channel(p, 8 * k));
        }
      }
      Pixel sp = 0;
      for (int k = 0; k < 4; ++k)
        sp |= static_cast<Pixel>(std::clamp(static_cast<int>(std::lround(sum[k])), 0, 255)) << (8 * k);
      out[x] = table == 0xCC ? sp : applyRop(table, usesPattern ? paint.at(x, y) : 0, sp, out[x]);
    }
  }
}

void blend(Target target, RECT dst, const Surface& sourceIn, RECT src, BLENDFUNCTION function) {
  int const dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  int const sw = src.right - src.left, sh = src.bottom - src.top;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  RECT const c = intersect(dst, target.clip);
  if (isEmpty(c)) return;
  const Surface* from = &sourceIn;
  std::shared_ptr<Surface> copy;
  if (from == &target.surface) {
    copy = snapshot(*from, src);
    if (!copy) return;
    from = copy.get();
  }
  unsigned const constant = function.SourceConstantAlpha;
  bool const perPixel = (function.AlphaFormat & AC_SRC_ALPHA) != 0;
  for (int y = c.top; y < c.bottom; ++y) {
    int const sy = src.top + nearestIndex(y - dst.top, dh, sh, false);
    const Pixel* in = from->row(sy);
    Pixel* out = target.surface.row(y);
    for (int x = c.left; x < c.right; ++x) {
      Pixel const sp = in[src.left + nearestIndex(x - dst.left, dw, sw, false)];
      Pixel const dp = out[x];
      Pixel result = 0;
      if (!perPixel) {
        for (int k = 0; k < 32; k += 8)
          result |= ((channel(sp, k) * constant + channel(dp, k) * (255 - constant) + 127) / 255) << k;
      } else {
        // Premultiplied source: scale it by the constant, then cover the
        // destination by its alpha.
        unsigned const alpha = (channel(sp, 24) * constant + 127) / 255;
        for (int k = 0; k < 32; k += 8) {
          unsigned const sc = k == 24 ? alpha : (channel(sp, k) * constant + 127) / 255;
          unsigned const v = sc + (channel(dp, k) * (255 - alpha) + 127) / 255;
          result |= std::min(v, 255u) << k;
        }
      }
      out[x] = result;
    }
  }
}

Pixel mix(Pixel destination, Pixel color, unsigned coverage) {
  if (coverage >= 255) return color;
  if (coverage == 0) return destination;
  Pixel result = 0;
  for (int k = 0; k < 32; k += 8)
    result |= ((channel(color, k) * coverage + channel(destination, k) * (255 - coverage) + 127) / 255) << k;
  return result;
}

}  // namespace winsim::gdi
