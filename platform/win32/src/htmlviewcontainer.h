// The HTML view's host side of litehtml: litehtml lays the page out and asks
// this container for fonts, text widths, images and style sheets, and to draw
// text, backgrounds, borders and list markers, all of which go through the
// GDI layer. The only files that see litehtml are htmlview*.cpp and this one.
#pragma once

#include <litehtml/litehtml.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win32/gdi.h"
#include "winsim/htmlview.h"

namespace winsim::html {

/// The UA style sheet: what a page looks like before its own styles.
extern const char* const kMasterStyleSheet;

/// A decoded image kept as a 32-bit DIB section.
class Image {
 public:
  /// Decodes a BMP file or a packed DIB (an RT_BITMAP resource); an error for
  /// anything else or a damaged header.
  static Expected<std::unique_ptr<Image>> decode(std::string_view bytes);
  ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  int width() const { return m_width; }
  int height() const { return m_height; }
  HBITMAP bitmap() const { return m_bitmap; }

 private:
  Image(HBITMAP bitmap, int width, int height) : m_bitmap(bitmap), m_width(width), m_height(height) {}

  HBITMAP m_bitmap;
  int m_width;
  int m_height;
};

/// Where a draw call of litehtml goes: litehtml hands it back as its opaque
/// device handle.
struct Canvas {
  HDC dc = nullptr;
  std::vector<RECT> clips;  // the view's clip first, then litehtml's nested clips
  const RECT& clip() const { return clips.back(); }
};

class Container final : public litehtml::document_container {
 public:
  explicit Container(HtmlFetcher fetcher);
  ~Container();
  Container(const Container&) = delete;
  Container& operator=(const Container&) = delete;

  /// The location references resolve against: the page's, or its <base>.
  void setPageLocation(std::u16string location);
  void setViewSize(int width, int height);
  /// Fetches a location; pages and style sheets come back as UTF-8.
  Expected<std::string> fetchText(std::u16string_view location) const;

  // litehtml::document_container
  litehtml::uint_ptr create_font(const litehtml::tchar_t* faceName, int size, int weight, litehtml::font_style italic,
                                 unsigned int decoration, litehtml::font_metrics* fm) override;
  void delete_font(litehtml::uint_ptr hFont) override;
  int text_width(const litehtml::tchar_t* text, litehtml::uint_ptr hFont) override;
  void draw_text(litehtml::uint_ptr hdc, const litehtml::tchar_t* text, litehtml::uint_ptr hFont,
                 litehtml::web_color color, const litehtml::position& pos) override;
  int pt_to_px(int pt) const override;
  int get_default_font_size() const override;
  const litehtml::tchar_t* get_default_font_name() const override;
  void draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) override;
  void load_image(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, bool redraw_on_ready) override;
  void get_image_size(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, litehtml::size& sz) override;
  void draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& bg) override;
  void draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& borders, const litehtml::position& draw_pos,
                    bool root) override;
  void set_caption(const litehtml::tchar_t* caption) override;
  void set_base_url(const litehtml::tchar_t* base_url) override;
  void link(const std::shared_ptr<litehtml::document>& doc, const litehtml::element::ptr& el) override;
  void on_anchor_click(const litehtml::tchar_t* url, const litehtml::element::ptr& el) override;
  void set_cursor(const litehtml::tchar_t* cursor) override;
  void transform_text(litehtml::tstring& text, litehtml::text_transform tt) override;
  void import_css(litehtml::tstring& text, const litehtml::tstring& url, litehtml::tstring& baseurl) override;
  void set_clip(const litehtml::position& pos, const litehtml::border_radiuses& bdr_radius, bool valid_x,
                bool valid_y) override;
  void del_clip() override;
  void get_client_rect(litehtml::position& client) const override;
  std::shared_ptr<litehtml::element> create_element(const litehtml::tchar_t* tag_name,
                                                    const litehtml::string_map& attributes,
                                                    const std::shared_ptr<litehtml::document>& doc) override;
  void get_media_features(litehtml::media_features& media) const override;
  void get_language(litehtml::tstring& language, litehtml::tstring& culture) const override;

  /// The canvas of the draw call under way, for the clip calls (litehtml
  /// gives them no device handle).
  void beginDraw(Canvas* canvas) { m_canvas = canvas; }
  void endDraw() { m_canvas = nullptr; }

 private:
  struct Font;

  std::u16string resolve(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl) const;
  /// An image by location, fetched and decoded once; null when it cannot be.
  const Image* image(const std::u16string& location);
  void fill(Canvas& canvas, const RECT& rect, litehtml::web_color color);
  void drawImage(Canvas& canvas, const Image& image, const RECT& destination, const RECT& clip);

  HtmlFetcher m_fetcher;
  std::u16string m_pageLocation;
  std::u16string m_baseLocation;
  int m_viewWidth = 0;
  int m_viewHeight = 0;
  HDC m_measure = nullptr;  // a memory device context that text is measured with
  std::map<litehtml::uint_ptr, std::unique_ptr<Font>> m_fonts;
  std::map<std::u16string, std::unique_ptr<Image>> m_images;  // null: could not be loaded
  Canvas* m_canvas = nullptr;
};

}  // namespace winsim::html
