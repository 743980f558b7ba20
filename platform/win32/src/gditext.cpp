// Fonts and single-line text: CreateFontW, GetTextMetricsW,
// GetTextExtentPoint32W, TextOutW, ExtTextOutW.
#include "gditext.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "gdiraster.h"
#include "winsim/text.h"

namespace winsim::gdi {

std::shared_ptr<font::Face> FontObject::face() {
  std::lock_guard lock(m_mutex);
  if (!m_face) {
    auto face = font::Face::realize(m_font);
    if (!face) return fail<std::shared_ptr<font::Face>>(face.error().code, nullptr);
    m_face = std::move(*face);
  }
  return m_face;
}

std::u32string codePoints(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t const u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      out.push_back(0xFFFD);
    } else {
      out.push_back(u);
    }
  }
  return out;
}

std::shared_ptr<font::Face> faceOf(DeviceContext& dc) { return dc.font()->face(); }

int measure(font::Face& face, std::u32string_view text) {
  int width = 0;
  for (char32_t c : text) width += face.advance(c);
  return width;
}

void drawGlyph(Target target, const font::Glyph& glyph, int x, int baseline, Pixel color) {
  const RECT& c = target.clip;
  int const left = x + glyph.left, top = baseline - glyph.top;
  for (int row = std::max(0, static_cast<int>(c.top) - top); row < glyph.height && top + row < c.bottom; ++row) {
    Pixel* out = target.surface.row(top + row);
    const std::uint8_t* coverage = glyph.coverage.data() + static_cast<std::size_t>(row) * glyph.width;
    for (int col = std::max(0, static_cast<int>(c.left) - left); col < glyph.width && left + col < c.right; ++col) {
      if (coverage[col] != 0) out[left + col] = mix(out[left + col], color, coverage[col]);
    }
  }
}

void drawRun(Target target, font::Face& face, int x, int baseline, std::u32string_view text, Pixel color,
             const int* dx) {
  int pen = x;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const font::Glyph& glyph = face.glyph(text[i]);
    drawGlyph(target, glyph, pen, baseline, color);
    pen += dx != nullptr ? dx[i] : glyph.advance;
  }
}

void drawDecorations(Target target, const font::Face& face, const LOGFONTW& font, int x, int baseline, int width,
                     Pixel color) {
  const font::Metrics& m = face.metrics();
  Paint const paint = pixelPaint(color);
  if (font.lfUnderline) {
    int const top = baseline + m.underlinePosition;
    fill(target, RECT{x, top, x + width, top + m.underlineThickness}, paint);
  }
  if (font.lfStrikeOut) {
    int const top = baseline - m.strikeoutPosition;
    fill(target, RECT{x, top, x + width, top + m.underlineThickness}, paint);
  }
}

}  // namespace winsim::gdi

using namespace winsim;
using namespace winsim::gdi;

namespace {

std::shared_ptr<DeviceContext> contextOf(HDC hdc) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

}  // namespace

HFONT CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName) {
  LOGFONTW font{};
  font.lfHeight = cHeight;
  font.lfWidth = cWidth;
  font.lfEscapement = cEscapement;
  font.lfOrientation = cOrientation;
  font.lfWeight = cWeight;
  font.lfItalic = static_cast<BYTE>(bItalic != 0);
  font.lfUnderline = static_cast<BYTE>(bUnderline != 0);
  font.lfStrikeOut = static_cast<BYTE>(bStrikeOut != 0);
  font.lfCharSet = static_cast<BYTE>(iCharSet);
  font.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
  font.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
  font.lfQuality = static_cast<BYTE>(iQuality);
  font.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
  if (pszFaceName != nullptr) copyTruncated(pszFaceName, font.lfFaceName, LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
  if (lplf == nullptr) return fail<HFONT>(ERROR_INVALID_PARAMETER, nullptr);
  LOGFONTW font = *lplf;
  font.lfFaceName[LF_FACESIZE - 1] = 0;
  return static_cast<HFONT>(addObject(std::make_shared<FontObject>(font)));
}

BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
  auto dc = contextOf(hdc);
  if (!dc) return FALSE;
  if (lptm == nullptr) return fail(ERROR_INVALID_PARAMETER, FALSE);
  auto face = faceOf(*dc);
  if (!face) return FALSE;
  const font::Metrics& m = face->metrics();
  const LOGFONTW& lf = dc->font()->logFont();
  TEXTMETRICW tm{};
  tm.tmHeight = m.height;
  tm.tmAscent = m.ascent;
  tm.tmDescent = m.descent;
  tm.tmInternalLeading = m.internalLeading;
  tm.tmExternalLeading = m.externalLeading;
  tm.tmAveCharWidth = m.aveCharWidth;
  tm.tmMaxCharWidth = m.maxCharWidth;
  tm.tmWeight = m.weight;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFFFC;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = lf.lfItalic ? 255 : 0;
  tm.tmUnderlined = lf.lfUnderline;
  tm.tmStruckOut = lf.lfStrikeOut;
  // The pitch bit is set for variable pitch, as the platform defines it.
  tm.tmPitchAndFamily =
      static_cast<BYTE>((m.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE | m.family);
  tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
  *lptm = tm;
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
  auto dc = contextOf(hdc);
  if (!dc) return FALSE;
  if (psizl == nullptr || c < 0 || (lpString == nullptr && c > 0)) return fail(ERROR_INVALID_PARAMETER, FALSE);
  auto face = faceOf(*dc);
  if (!face) return FALSE;
  std::u32string const text =
      codePoints(std::u16string_view(lpString == nullptr ? u"" : lpString, static_cast<std::size_t>(c)));
  psizl->cx = measure(*face, text);
  psizl->cy = face->metrics().height;
  return TRUE;
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c) {
  if (c < 0) return fail(ERROR_INVALID_PARAMETER, FALSE);
  return ExtTextOutW(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c, const INT* lpDx) {
  auto dc = contextOf(hdc);
  if (!dc) return FALSE;
  if (lpString == nullptr && c > 0) return fail(ERROR_INVALID_PARAMETER, FALSE);
  std::shared_ptr<font::Face> face;
  if (c > 0) {
    face = faceOf(*dc);
    if (!face) return FALSE;
  }
  Canvas canvas(*dc, Canvas::Access::Write);
  Target target = canvas.target();
  RECT given{0, 0, 0, 0};
  if (lprect != nullptr) {
    POINT const a = dc->toSurface(lprect->left, lprect->top), b = dc->toSurface(lprect->right, lprect->bottom);
    given = RECT{a.x, a.y, b.x, b.y};
  }
  if ((options & ETO_OPAQUE) && lprect != nullptr) fill(target, given, solidPaint(dc->bkColor));
  if (c == 0) return TRUE;
  if ((options & ETO_CLIPPED) && lprect != nullptr) target.clip = intersect(target.clip, given);

  std::u16string_view const units(lpString, c);
  std::u32string const text = codePoints(units);
  // Advances are given per UTF-16 unit; a surrogate pair takes both.
  std::vector<int> dx;
  if (lpDx != nullptr) {
    std::size_t unit = 0;
    for (char32_t cp : text) {
      int advance = lpDx[unit++];
      if (cp >= 0x10000 && unit < units.size()) advance += lpDx[unit++];
      dx.push_back(advance);
    }
  }
  int const width = lpDx != nullptr ? std::accumulate(dx.begin(), dx.end(), 0) : measure(*face, text);
  const font::Metrics& m = face->metrics();
  POINT const origin = dc->toSurface(x, y);
  if (dc->bkMode == OPAQUE && !(options & ETO_OPAQUE))
    fill(target, RECT{origin.x, origin.y, origin.x + width, origin.y + m.height}, solidPaint(dc->bkColor));
  Pixel const color = pixelFromColor(dc->textColor);
  int const baseline = origin.y + m.ascent;
  drawRun(target, *face, origin.x, baseline, text, color, lpDx != nullptr ? dx.data() : nullptr);
  drawDecorations(target, *face, dc->font()->logFont(), origin.x, baseline, width, color);
  return TRUE;
}
