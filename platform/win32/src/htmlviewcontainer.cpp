// The container's answers to litehtml: fonts and text through CreateFontW,
// GetTextExtentPoint32W and ExtTextOutW; backgrounds, borders and markers
// through FillRect; images through StretchBlt; style sheets and images
// through the view's fetcher.
#include "htmlviewcontainer.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "winsim/codepage.h"
#include "winsim/text.h"

namespace winsim::html {

namespace {

constexpr int kPixelsPerInch = 96;
constexpr int kPointsPerInch = 72;
constexpr int kDefaultFontSize = 16;  // "medium": 12 points
// The browser control's default face, for pages that name none.
constexpr const char* kDefaultFace = "Times New Roman";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr RECT kUnbounded{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};

RECT intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}
bool isEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
RECT rectOf(const litehtml::position& p) { return RECT{p.x, p.y, p.x + p.width, p.y + p.height}; }
COLORREF colorOf(const litehtml::web_color& c) { return RGB(c.red, c.green, c.blue); }

Canvas& canvasOf(litehtml::uint_ptr hdc) { return *reinterpret_cast<Canvas*>(hdc); }

bool isValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto const c = static_cast<unsigned char>(text[i]);
    std::size_t const length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || (length == 2 && c < 0xC2) || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

std::u16string fromUtf16Le(std::string_view bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    text.push_back(
        static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  return text;
}

/// The first face of a CSS font-family list, and the family its generic name
/// (if the list has one) suggests, so that an unknown face maps to the right
/// kind of font.
std::u16string faceOf(const char* families, BYTE& family) {
  std::u16string face;
  family = FF_DONTCARE;
  std::string_view list = families != nullptr ? families : "";
  while (!list.empty()) {
    std::size_t const comma = list.find(',');
    std::string_view name = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    while (!name.empty() && (name.front() == ' ' || name.front() == '"' || name.front() == '\'')) name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '"' || name.back() == '\'')) name.remove_suffix(1);
    if (name.empty()) continue;
    std::u16string const lower = [&] {
      std::u16string l = fromUtf8(name);
      for (char16_t& c : l) c = lowerCase(c);
      return l;
    }();
    std::u16string generic;
    if (lower == u"serif") {
      generic = u"Times New Roman";
      family = family == FF_DONTCARE ? FF_ROMAN : family;
    } else if (lower == u"sans-serif") {
      generic = u"Arial";
      family = family == FF_DONTCARE ? FF_SWISS : family;
    } else if (lower == u"monospace") {
      generic = u"Courier New";
      family = family == FF_DONTCARE ? FF_MODERN : family;
    }
    if (face.empty()) face = generic.empty() ? fromUtf8(name) : generic;
  }
  return face.empty() ? fromUtf8(kDefaultFace) : face;
}

/// A colour moved towards white (amount > 0) or black (amount < 0), for the
/// lit and shaded sides of 3-D borders.
COLORREF shade(COLORREF color, double amount) {
  auto const channel = [&](BYTE v) {
    double const target = amount > 0 ? 255.0 : 0.0;
    return static_cast<BYTE>(std::lround(v + (target - v) * std::abs(amount)));
  };
  return RGB(channel(GetRValue(color)), channel(GetGValue(color)), channel(GetBValue(color)));
}

std::u16string markerText(const litehtml::list_marker& marker) {
  int const index = marker.index;
  switch (marker.marker_type) {
    case litehtml::list_style_type_lower_alpha:
    case litehtml::list_style_type_lower_latin:
    case litehtml::list_style_type_upper_alpha:
    case litehtml::list_style_type_upper_latin: {
      bool const upper = marker.marker_type == litehtml::list_style_type_upper_alpha ||
                         marker.marker_type == litehtml::list_style_type_upper_latin;
      std::u16string letters;
      for (int n = std::max(1, index); n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char16_t>((upper ? u'A' : u'a') + (n - 1) % 26));
      return letters + u".";
    }
    default:
      return fromUtf8(std::to_string(index)) + u".";
  }
}

}  // namespace

struct Container::Font {
  HFONT handle = nullptr;
  Font() = default;
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  ~Font() {
    if (handle != nullptr) DeleteObject(handle);
  }
};

Container::Container(HtmlFetcher fetcher) : m_fetcher(std::move(fetcher)), m_measure(CreateCompatibleDC(nullptr)) {}

Container::~Container() {
  m_fonts.clear();
  if (m_measure != nullptr) DeleteDC(m_measure);
}

void Container::setPageLocation(std::u16string location) {
  m_pageLocation = std::move(location);
  m_baseLocation = m_pageLocation;
}

void Container::setViewSize(int width, int height) {
  m_viewWidth = width;
  m_viewHeight = height;
}

Expected<std::string> Container::fetchText(std::u16string_view location) const {
  auto bytes = m_fetcher(location);
  if (!bytes) return bytes;
  std::string_view const raw = bytes.value();
  if (raw.starts_with(kUtf8Mark)) return std::string(raw.substr(kUtf8Mark.size()));
  if (raw.starts_with(kUtf16Mark)) return toUtf8(fromUtf16Le(raw.substr(kUtf16Mark.size())));
  if (isValidUtf8(raw)) return std::move(bytes.value());
  return toUtf8(fromAnsi(raw));
}

std::u16string Container::resolve(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl) const {
  std::u16string const base = baseurl != nullptr && baseurl[0] != 0 ? fromUtf8(baseurl) : m_baseLocation;
  return resolveLocation(base, fromUtf8(src != nullptr ? src : ""));
}

const Image* Container::image(const std::u16string& location) {
  auto found = m_images.find(location);
  if (found == m_images.end()) {
    std::unique_ptr<Image> decoded;
    if (auto bytes = m_fetcher(location)) {
      if (auto image = Image::decode(bytes.value())) decoded = std::move(image.value());
    }
    found = m_images.emplace(location, std::move(decoded)).first;
  }
  return found->second.get();
}

litehtml::uint_ptr Container::create_font(const litehtml::tchar_t* faceName, int size, int weight,
                                          litehtml::font_style italic, unsigned int decoration,
                                          litehtml::font_metrics* fm) {
  BYTE family = FF_DONTCARE;
  std::u16string const face = faceOf(faceName, family);
  auto font = std::make_unique<Font>();
  font->handle =
      CreateFontW(-std::max(1, size), 0, 0, 0, weight, italic == litehtml::fontStyleItalic,
                  (decoration & litehtml::font_decoration_underline) != 0,
                  (decoration & litehtml::font_decoration_linethrough) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, static_cast<BYTE>(DEFAULT_PITCH | family), face.c_str());
  if (fm != nullptr) {
    HGDIOBJ const old = SelectObject(m_measure, font->handle);
    TEXTMETRICW tm{};
    if (GetTextMetricsW(m_measure, &tm)) {
      fm->ascent = tm.tmAscent;
      fm->descent = tm.tmDescent;
      fm->height = tm.tmHeight;
    } else {
      fm->ascent = size;
      fm->height = size;
    }
    // GDI gives no x-height; a Latin face's is about 0.52 em, 0.57 of its ascent.
    fm->x_height = static_cast<int>(std::lround(fm->ascent * 0.57));
    // Underlines and strike-outs run on through spaces, which must be drawn.
    fm->draw_spaces = italic == litehtml::fontStyleItalic || decoration != 0;
    SelectObject(m_measure, old);
  }
  auto const key = reinterpret_cast<litehtml::uint_ptr>(font.get());
  m_fonts.emplace(key, std::move(font));
  return key;
}

void Container::delete_font(litehtml::uint_ptr hFont) { m_fonts.erase(hFont); }

int Container::text_width(const litehtml::tchar_t* text, litehtml::uint_ptr hFont) {
  auto const font = m_fonts.find(hFont);
  if (font == m_fonts.end() || text == nullptr) return 0;
  std::u16string const wide = fromUtf8(text);
  HGDIOBJ const old = SelectObject(m_measure, font->second->handle);
  SIZE size{0, 0};
  GetTextExtentPoint32W(m_measure, wide.data(), static_cast<int>(wide.size()), &size);
  SelectObject(m_measure, old);
  return size.cx;
}

void Container::draw_text(litehtml::uint_ptr hdc, const litehtml::tchar_t* text, litehtml::uint_ptr hFont,
                          litehtml::web_color color, const litehtml::position& pos) {
  auto const font = m_fonts.find(hFont);
  if (font == m_fonts.end() || text == nullptr || color.alpha == 0) return;
  Canvas& canvas = canvasOf(hdc);
  std::u16string const wide = fromUtf8(text);
  HGDIOBJ const old = SelectObject(canvas.dc, font->second->handle);
  SetTextColor(canvas.dc, colorOf(color));
  SetBkMode(canvas.dc, TRANSPARENT);
  RECT const clip = canvas.clip();
  ExtTextOutW(canvas.dc, pos.x, pos.y, ETO_CLIPPED, &clip, wide.data(), static_cast<UINT>(wide.size()), nullptr);
  SelectObject(canvas.dc, old);
}

int Container::pt_to_px(int pt) const { return (pt * kPixelsPerInch + kPointsPerInch / 2) / kPointsPerInch; }
int Container::get_default_font_size() const { return kDefaultFontSize; }
const litehtml::tchar_t* Container::get_default_font_name() const { return kDefaultFace; }

void Container::fill(Canvas& canvas, const RECT& rect, litehtml::web_color color) {
  if (color.alpha == 0) return;
  RECT const visible = intersect(rect, canvas.clip());
  if (isEmpty(visible)) return;
  HBRUSH const brush = CreateSolidBrush(colorOf(color));
  FillRect(canvas.dc, &visible, brush);
  DeleteObject(brush);
}

void Container::drawImage(Canvas& canvas, const Image& image, const RECT& destination, const RECT& clip) {
  RECT const visible = intersect(intersect(destination, clip), canvas.clip());
  if (isEmpty(visible)) return;
  double const scaleX = static_cast<double>(image.width()) / (destination.right - destination.left);
  double const scaleY = static_cast<double>(image.height()) / (destination.bottom - destination.top);
  int const sx = static_cast<int>(std::floor((visible.left - destination.left) * scaleX));
  int const sy = static_cast<int>(std::floor((visible.top - destination.top) * scaleY));
  int const sw = std::max(1, static_cast<int>(std::lround((visible.right - visible.left) * scaleX)));
  int const sh = std::max(1, static_cast<int>(std::lround((visible.bottom - visible.top) * scaleY)));
  HDC const source = CreateCompatibleDC(canvas.dc);
  HGDIOBJ const old = SelectObject(source, image.bitmap());
  int const oldMode = SetStretchBltMode(canvas.dc, scaleX == 1.0 && scaleY == 1.0 ? COLORONCOLOR : HALFTONE);
  StretchBlt(canvas.dc, visible.left, visible.top, visible.right - visible.left, visible.bottom - visible.top, source,
             sx, sy, std::min(sw, image.width() - sx), std::min(sh, image.height() - sy), SRCCOPY);
  SetStretchBltMode(canvas.dc, oldMode);
  SelectObject(source, old);
  DeleteDC(source);
}

void Container::draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) {
  Canvas& canvas = canvasOf(hdc);
  RECT const box = rectOf(marker.pos);
  if (!marker.image.empty()) {
    if (const Image* picture = image(resolve(marker.image.c_str(), marker.baseurl))) {
      RECT const at{box.left, box.top, box.left + picture->width(), box.top + picture->height()};
      drawImage(canvas, *picture, at, kUnbounded);
    }
    return;
  }
  switch (marker.marker_type) {
    case litehtml::list_style_type_none:
      return;
    case litehtml::list_style_type_square:
      fill(canvas, box, marker.color);
      return;
    case litehtml::list_style_type_disc:
    case litehtml::list_style_type_circle: {
      // Rows of a circle; a ring keeps only the outermost pixel of each side.
      double const rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
      double const cx = box.left + rx, cy = box.top + ry;
      bool const ring = marker.marker_type == litehtml::list_style_type_circle;
      for (int y = box.top; y < box.bottom; ++y) {
        double const dy = (y + 0.5 - cy) / ry;
        if (std::abs(dy) > 1) continue;
        int const half = static_cast<int>(std::lround(rx * std::sqrt(1 - dy * dy)));
        int const left = static_cast<int>(std::lround(cx)) - half, right = static_cast<int>(std::lround(cx)) + half;
        double const inner = ry - 1 > 0 ? (y + 0.5 - cy) / (ry - 1) : 2;
        if (!ring || std::abs(inner) >= 1 || half <= 1) {
          fill(canvas, RECT{left, y, right, y + 1}, marker.color);
        } else {
          int const innerHalf = static_cast<int>(std::lround((rx - 1) * std::sqrt(1 - inner * inner)));
          int const mid = static_cast<int>(std::lround(cx));
          fill(canvas, RECT{left, y, std::max(left + 1, mid - innerHalf), y + 1}, marker.color);
          fill(canvas, RECT{std::min(right - 1, mid + innerHalf), y, right, y + 1}, marker.color);
        }
      }
      return;
    }
    default: {
      // Numbered markers: the number ends just before the item's text.
      auto const font = m_fonts.find(marker.font);
      if (font == m_fonts.end()) return;
      std::u16string const text = markerText(marker) + u" ";
      HGDIOBJ const old = SelectObject(canvas.dc, font->second->handle);
      SIZE size{0, 0};
      GetTextExtentPoint32W(canvas.dc, text.data(), static_cast<int>(text.size()), &size);
      SetTextColor(canvas.dc, colorOf(marker.color));
      SetBkMode(canvas.dc, TRANSPARENT);
      RECT const clip = canvas.clip();
      ExtTextOutW(canvas.dc, box.right - size.cx, box.top, ETO_CLIPPED, &clip, text.data(),
                  static_cast<UINT>(text.size()), nullptr);
      SelectObject(canvas.dc, old);
      return;
    }
  }
}

void Container::load_image(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, bool) {
  image(resolve(src, baseurl));
}

void Container::get_image_size(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, litehtml::size& sz) {
  const Image* found = image(resolve(src, baseurl));
  sz.width = found != nullptr ? found->width() : 0;
  sz.height = found != nullptr ? found->height() : 0;
}

void Container::draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& bg) {
  Canvas& canvas = canvasOf(hdc);
  // The root's background covers the whole view, as the browser paints it.
  RECT const area = bg.is_root ? canvas.clip() : intersect(rectOf(bg.clip_box), canvas.clip());
  if (isEmpty(area)) return;
  fill(canvas, area, bg.color);
  if (bg.image.empty()) return;
  const Image* picture = image(resolve(bg.image.c_str(), bg.baseurl.c_str()));
  if (picture == nullptr) return;
  int const w = bg.image_size.width > 0 ? bg.image_size.width : picture->width();
  int const h = bg.image_size.height > 0 ? bg.image_size.height : picture->height();
  if (w <= 0 || h <= 0) return;
  bool const repeatX =
      bg.repeat == litehtml::background_repeat_repeat || bg.repeat == litehtml::background_repeat_repeat_x;
  bool const repeatY =
      bg.repeat == litehtml::background_repeat_repeat || bg.repeat == litehtml::background_repeat_repeat_y;
  // The first tile left of and above the area, when tiles repeat.
  auto const firstTile = [](int start, int size, int limit) {
    return start > limit ? start - ((start - limit + size - 1) / size) * size : start - ((start - limit) / size) * size;
  };
  int const x0 = repeatX ? firstTile(bg.position_x, w, area.left) : bg.position_x;
  int const y0 = repeatY ? firstTile(bg.position_y, h, area.top) : bg.position_y;
  for (int y = y0; y < area.bottom; y += h) {
    for (int x = x0; x < area.right; x += w) {
      drawImage(canvas, *picture, RECT{x, y, x + w, y + h}, area);
      if (!repeatX) break;
    }
    if (!repeatY) break;
  }
}

void Container::draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& borders,
                             const litehtml::position& draw_pos, bool) {
  Canvas& canvas = canvasOf(hdc);
  RECT const box = rectOf(draw_pos);
  enum class Side { Top, Right, Bottom, Left };
  auto const side = [&](const litehtml::border& border, Side which) {
    if (border.width <= 0 || border.style == litehtml::border_style_none ||
        border.style == litehtml::border_style_hidden)
      return;
    // Lit from the top left: outset and ridge borders are lighter there,
    // inset and groove borders darker.
    bool const lit = which == Side::Top || which == Side::Left;
    bool const raised = border.style == litehtml::border_style_outset || border.style == litehtml::border_style_ridge;
    bool const sunken = border.style == litehtml::border_style_inset || border.style == litehtml::border_style_groove;
    litehtml::web_color color = border.color;
    if (raised || sunken) {
      COLORREF const shaded = shade(colorOf(color), (raised == lit) ? 0.5 : -0.5);
      color = litehtml::web_color(GetRValue(shaded), GetGValue(shaded), GetBValue(shaded), color.alpha);
    }
    int const w = border.width;
    switch (which) {
      case Side::Top:
        fill(canvas, RECT{box.left, box.top, box.right, box.top + w}, color);
        break;
      case Side::Bottom:
        fill(canvas, RECT{box.left, box.bottom - w, box.right, box.bottom}, color);
        break;
      case Side::Left:
        fill(canvas, RECT{box.left, box.top, box.left + w, box.bottom}, color);
        break;
      case Side::Right:
        fill(canvas, RECT{box.right - w, box.top, box.right, box.bottom}, color);
        break;
    }
  };
  side(borders.top, Side::Top);
  side(borders.bottom, Side::Bottom);
  side(borders.left, Side::Left);
  side(borders.right, Side::Right);
}

// The dialog's caller gives its title; the page's <title> is not shown.
void Container::set_caption(const litehtml::tchar_t*) {}

void Container::set_base_url(const litehtml::tchar_t* base_url) {
  if (base_url != nullptr && base_url[0] != 0) m_baseLocation = resolveLocation(m_pageLocation, fromUtf8(base_url));
}

// Style sheets of <link> come through import_css; other links mean nothing here.
void Container::link(const std::shared_ptr<litehtml::document>&, const litehtml::element::ptr&) {}

// The HTML dialog acts on clicks by element id; links do not navigate.
void Container::on_anchor_click(const litehtml::tchar_t*, const litehtml::element::ptr&) {}

// The dialog keeps its arrow cursor over the page.
void Container::set_cursor(const litehtml::tchar_t*) {}

void Container::transform_text(litehtml::tstring& text, litehtml::text_transform tt) {
  std::u16string wide = fromUtf8(text);
  bool wordStart = true;
  for (char16_t& c : wide) {
    if (tt == litehtml::text_transform_uppercase || (tt == litehtml::text_transform_capitalize && wordStart))
      c = upperCase(c);
    else if (tt == litehtml::text_transform_lowercase)
      c = lowerCase(c);
    wordStart = c == u' ' || c == u'\t' || c == u'\n';
  }
  text = toUtf8(wide);
}

void Container::import_css(litehtml::tstring& text, const litehtml::tstring& url, litehtml::tstring& baseurl) {
  std::u16string const location = resolve(url.c_str(), baseurl.c_str());
  auto sheet = fetchText(location);
  text = sheet ? std::move(sheet.value()) : std::string();
  baseurl = toUtf8(location);
}

void Container::set_clip(const litehtml::position& pos, const litehtml::border_radiuses&, bool valid_x, bool valid_y) {
  if (m_canvas == nullptr) return;
  RECT clip = kUnbounded;
  if (valid_x) {
    clip.left = pos.x;
    clip.right = pos.x + pos.width;
  }
  if (valid_y) {
    clip.top = pos.y;
    clip.bottom = pos.y + pos.height;
  }
  m_canvas->clips.push_back(intersect(m_canvas->clip(), clip));
}

void Container::del_clip() {
  if (m_canvas != nullptr && m_canvas->clips.size() > 1) m_canvas->clips.pop_back();
}

void Container::get_client_rect(litehtml::position& client) const {
  client = litehtml::position(0, 0, m_viewWidth, m_viewHeight);
}

std::shared_ptr<litehtml::element> Container::create_element(const litehtml::tchar_t*, const litehtml::string_map&,
                                                             const std::shared_ptr<litehtml::document>&) {
  return nullptr;
}

void Container::get_media_features(litehtml::media_features& media) const {
  media.type = litehtml::media_type_screen;
  media.width = m_viewWidth;
  media.height = m_viewHeight;
  HDC const screen = GetDC(nullptr);
  media.device_width = screen != nullptr ? GetDeviceCaps(screen, HORZRES) : m_viewWidth;
  media.device_height = screen != nullptr ? GetDeviceCaps(screen, VERTRES) : m_viewHeight;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  media.color = 8;
  media.monochrome = 0;
  media.color_index = 0;
  media.resolution = kPixelsPerInch;
}

void Container::get_language(litehtml::tstring& language, litehtml::tstring& culture) const {
  language = "en";
  culture = "";
}

}  // namespace winsim::html
