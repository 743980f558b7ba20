// FreeType behind the GDI text functions.
//
// Faces the system asks for map to the metric-compatible Liberation fonts of
// this machine (fonts-liberation): Arial's, Times New Roman's and Courier
// New's advance widths are theirs, so text measured here measures as it does
// on the platform. Sizes follow GDI: a negative height is the em height in
// pixels, a positive one the cell height (ascent + descent). The font files
// are looked up in $WINSIM_FONT_DIR, then in the folders of fonts-liberation.
//
// FreeType objects are not thread-safe; one lock guards the library, every
// face and the glyph caches.
#include "fontface.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "win32/errors.h"
#include "winsim/text.h"

namespace winsim::font {

namespace {

// A cell height used when a font asks for height 0.
constexpr LONG kDefaultCellHeight = 16;

enum class Design { Sans, SansNarrow, Serif, Mono };

struct Alias {
  const char16_t* name;
  Design design;
};

constexpr Alias kAliases[] = {
    {u"Arial", Design::Sans},
    {u"MS Sans Serif", Design::Sans},
    {u"MS Shell Dlg", Design::Sans},
    {u"MS Shell Dlg 2", Design::Sans},
    {u"Microsoft Sans Serif", Design::Sans},
    {u"Tahoma", Design::Sans},
    {u"Segoe UI", Design::Sans},
    {u"System", Design::Sans},
    {u"Helvetica", Design::Sans},
    {u"Liberation Sans", Design::Sans},
    {u"Arial Narrow", Design::SansNarrow},
    {u"Liberation Sans Narrow", Design::SansNarrow},
    {u"Times New Roman", Design::Serif},
    {u"Times", Design::Serif},
    {u"MS Serif", Design::Serif},
    {u"Liberation Serif", Design::Serif},
    {u"Courier New", Design::Mono},
    {u"Courier", Design::Mono},
    {u"Fixedsys", Design::Mono},
    {u"Terminal", Design::Mono},
    {u"Consolas", Design::Mono},
    {u"Lucida Console", Design::Mono},
    {u"Liberation Mono", Design::Mono},
};

Design designOf(const LOGFONTW& font) {
  // The face name need not be terminated when it fills its 32 characters.
  std::size_t length = 0;
  while (length < LF_FACESIZE && font.lfFaceName[length] != 0) ++length;
  std::u16string_view const name(font.lfFaceName, length);
  for (const Alias& alias : kAliases) {
    if (equalsNoCase(name, alias.name)) return alias.design;
  }
  BYTE const pitch = font.lfPitchAndFamily & 0x03, family = font.lfPitchAndFamily & 0xF0;
  if (pitch == FIXED_PITCH || family == FF_MODERN) return Design::Mono;
  if (family == FF_ROMAN) return Design::Serif;
  return Design::Sans;
}

BYTE familyOf(Design design) {
  switch (design) {
    case Design::Serif:
      return FF_ROMAN;
    case Design::Mono:
      return FF_MODERN;
    default:
      return FF_SWISS;
  }
}

std::vector<std::filesystem::path> fontFolders() {
  std::vector<std::filesystem::path> folders;
  if (const char* own = std::getenv("WINSIM_FONT_DIR"); own != nullptr && *own != 0) folders.emplace_back(own);
  folders.emplace_back("/usr/share/fonts/truetype/liberation");
  folders.emplace_back("/usr/share/fonts/truetype/liberation2");
  return folders;
}

// Lower-case letters and the space weighted by their frequency in English
// text: the classic definition of a TrueType font's average character width.
constexpr std::pair<char, int> kWidthWeights[] = {
    {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42}, {'i', 63},
    {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20}, {'n', 56},  {'o', 56}, {'p', 17}, {'q', 4},  {'r', 49},
    {'s', 56}, {'t', 71}, {'u', 31}, {'v', 10}, {'w', 18},  {'x', 3},  {'y', 18}, {'z', 2},  {' ', 166},
};

struct Library {
  std::mutex mutex;
  FT_Library library = nullptr;
  FT_Error error = 0;
  std::map<std::pair<std::string, LONG>, std::shared_ptr<Face>> faces;
};

// Never destroyed: glyphs may be drawn from static destructors elsewhere.
Library& library() {
  static Library* instance = [] {
    auto* l = new Library;
    l->error = FT_Init_FreeType(&l->library);
    return l;
  }();
  return *instance;
}

int rounded(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

struct Face::Private {
  FT_Face face = nullptr;
};

std::filesystem::path faceFile(const LOGFONTW& font) {
  Design const design = designOf(font);
  const char* stem = "LiberationSans";
  if (design == Design::SansNarrow) stem = "LiberationSansNarrow";
  if (design == Design::Serif) stem = "LiberationSerif";
  if (design == Design::Mono) stem = "LiberationMono";
  bool const bold = font.lfWeight >= FW_SEMIBOLD, italic = font.lfItalic != 0;
  const char* style = bold ? (italic ? "-BoldItalic.ttf" : "-Bold.ttf") : (italic ? "-Italic.ttf" : "-Regular.ttf");
  for (const auto& folder : fontFolders()) {
    std::filesystem::path file = folder / (std::string(stem) + style);
    std::error_code error;
    if (std::filesystem::is_regular_file(file, error)) return file;
  }
  return {};
}

Face::Face(std::unique_ptr<Private> p) : m_private(std::move(p)) {}

// Faces stay in the cache for the process; one is destroyed only when
// realize() gives up on it, with the lock held.
Face::~Face() { FT_Done_Face(m_private->face); }

Expected<std::shared_ptr<Face>> Face::realize(const LOGFONTW& font) {
  std::filesystem::path const file = faceFile(font);
  if (file.empty()) return makeError(ERROR_FILE_NOT_FOUND, "no font file for the face (fonts-liberation missing?)");
  LONG const height = font.lfHeight == 0 ? kDefaultCellHeight : font.lfHeight;
  Library& lib = library();
  std::lock_guard lock(lib.mutex);
  if (lib.error != 0) return makeError(ERROR_NOT_SUPPORTED, "FreeType could not start");
  auto key = std::make_pair(file.string(), height);
  if (auto it = lib.faces.find(key); it != lib.faces.end()) return it->second;

  auto p = std::make_unique<Private>();
  if (FT_New_Face(lib.library, file.c_str(), 0, &p->face) != 0)
    return makeError(ERROR_BAD_FORMAT, "FreeType cannot read " + file.string());
  FT_Face const face = p->face;
  std::shared_ptr<Face> result(new Face(std::move(p)));
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);

  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  double const upem = face->units_per_EM;
  double const winAscent = os2 ? os2->usWinAscent : face->ascender;
  double const winDescent = os2 ? os2->usWinDescent : -face->descender;
  // GDI: a cell height is ascent + descent by the Windows metrics, an em
  // height scales the em square itself.
  double const ppem = height < 0 ? -static_cast<double>(height) : height * upem / (winAscent + winDescent);
  if (ppem < 1 || ppem > 2048) return makeError(ERROR_INVALID_PARAMETER, "font height out of range");
  if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72) != 0)
    return makeError(ERROR_INVALID_PARAMETER, "FreeType cannot scale the face");
  double const scale = ppem / upem;

  Metrics& m = result->m_metrics;
  m.ascent = rounded(winAscent * scale);
  m.height = height > 0 ? static_cast<int>(height) : m.ascent + rounded(winDescent * scale);
  m.descent = m.height - m.ascent;
  m.internalLeading = std::max(0, m.height - rounded(ppem));
  if (hhea != nullptr) {
    double const gap = hhea->Line_Gap - ((winAscent + winDescent) - (hhea->Ascender - hhea->Descender));
    m.externalLeading = std::max(0, rounded(gap * scale));
    m.maxCharWidth = rounded(hhea->advance_Width_Max * scale);
  }
  double weighted = 0;
  bool complete = true;
  for (auto [c, w] : kWidthWeights) {
    FT_UInt const index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
    FT_Fixed advance = 0;
    if (index == 0 || FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) != 0) {
      complete = false;
      break;
    }
    weighted += static_cast<double>(advance) * w;
  }
  double const average = complete ? weighted / 1000 : (os2 ? os2->xAvgCharWidth : upem / 2);
  m.aveCharWidth = std::max(1, rounded(average * scale));
  m.weight = os2 ? os2->usWeightClass : (font.lfWeight >= FW_SEMIBOLD ? FW_BOLD : FW_NORMAL);
  m.fixedPitch = FT_IS_FIXED_WIDTH(face);
  m.family = familyOf(designOf(font));
  m.underlineThickness = std::max(1, rounded(face->underline_thickness * scale));
  m.underlinePosition = std::max(1, rounded(-face->underline_position * scale - m.underlineThickness / 2.0));
  m.strikeoutPosition = os2 ? rounded(os2->yStrikeoutPosition * scale) : m.ascent / 3;

  lib.faces.emplace(std::move(key), result);
  return result;
}

const Glyph& Face::glyph(char32_t c) {
  std::lock_guard lock(library().mutex);
  if (auto it = m_glyphs.find(c); it != m_glyphs.end()) return *it->second;
  auto glyph = std::make_unique<Glyph>();
  // Control characters draw nothing and take no room.
  if (c >= 0x20 && FT_Load_Char(m_private->face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) == 0) {
    FT_GlyphSlot const slot = m_private->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.buffer != nullptr) {
      glyph->width = static_cast<int>(bitmap.width);
      glyph->height = static_cast<int>(bitmap.rows);
      glyph->coverage.resize(static_cast<std::size_t>(glyph->width) * static_cast<std::size_t>(glyph->height));
      int const pitch = std::abs(bitmap.pitch);
      for (int row = 0; row < glyph->height; ++row) {
        int const source = bitmap.pitch >= 0 ? row : glyph->height - 1 - row;
        std::memcpy(glyph->coverage.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(glyph->width),
                    bitmap.buffer + static_cast<std::size_t>(source) * static_cast<std::size_t>(pitch),
                    static_cast<std::size_t>(glyph->width));
      }
    }
  }
  const Glyph& result = *glyph;
  m_glyphs.emplace(c, std::move(glyph));
  return result;
}

}  // namespace winsim::font
