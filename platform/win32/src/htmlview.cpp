// The HTML view: one litehtml document at a time, laid out at the view's
// size, drawn into the host's device context, asked which element lies under
// a point.
#include "winsim/htmlview.h"

#include "htmlviewcontainer.h"
#include "winsim/text.h"

namespace winsim {

namespace {

std::string escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

/// What the browser shows for a location it cannot load.
std::string errorPage(std::u16string_view location, const Error& error) {
  return "<html><head><title>Cannot find the page</title><style>"
         "body { font-family: Arial; font-size: 13px; color: #000000; background-color: #ffffff; }"
         "h1 { font-size: 18px; color: #003399; }"
         "</style></head><body><h1>The page cannot be displayed</h1>"
         "<p>The page you are looking for cannot be found in its resource library.</p><p>" +
         escaped(toUtf8(location)) + "</p><p>" + escaped(error.message) + "</p></body></html>";
}

}  // namespace

class HtmlView::Page {
 public:
  explicit Page(HtmlFetcher fetcher) : m_container(std::move(fetcher)) {
    m_context.load_master_stylesheet(html::kMasterStyleSheet);
  }

  html::Container& container() { return m_container; }
  const std::u16string& location() const { return m_location; }

  void load(const std::string& html, std::u16string location) {
    m_document.reset();
    m_location = std::move(location);
    m_container.setPageLocation(m_location);
    m_document = litehtml::document::createFromUTF8(html.c_str(), &m_container, &m_context);
    if (m_width > 0) render();
  }

  int layout(int width, int height) {
    m_width = std::max(1, width);
    m_viewHeight = std::max(0, height);
    return render();
  }

  int height() const { return m_height; }

  void draw(HDC dc, const RECT& clip, int scrollY) {
    HBRUSH const white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &clip, white);
    DeleteObject(white);
    if (!m_document || m_width == 0) return;
    COLORREF const oldColor = GetTextColor(dc);
    int const oldMode = GetBkMode(dc);
    html::Canvas canvas{dc, {clip}};
    m_container.beginDraw(&canvas);
    litehtml::position const area(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
    m_document->draw(reinterpret_cast<litehtml::uint_ptr>(&canvas), 0, -scrollY, &area);
    m_container.endDraw();
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColor);
  }

  std::optional<std::u16string> elementIdAt(int x, int y) const {
    if (!m_document || !m_document->root()) return std::nullopt;
    for (litehtml::element::ptr element = m_document->root()->get_element_by_point(x, y, x, y); element;
         element = element->parent()) {
      if (const char* id = element->get_attr("id"); id != nullptr && id[0] != 0) return fromUtf8(id);
    }
    return std::nullopt;
  }

  std::optional<std::u16string> clickAt(int x, int y) {
    if (!m_document) return std::nullopt;
    litehtml::position::vector redraw;
    m_document->on_lbutton_down(x, y, x, y, redraw);
    m_document->on_lbutton_up(x, y, x, y, redraw);
    return elementIdAt(x, y);
  }

 private:
  int render() {
    m_container.setViewSize(m_width, m_viewHeight);
    if (m_document) {
      m_document->media_changed();
      m_document->render(m_width);
    }
    m_height = std::max(m_viewHeight, m_document ? m_document->height() : 0);
    return m_height;
  }

  // The document uses the container and the context up to its destruction:
  // it is declared last, so that it goes first.
  html::Container m_container;
  litehtml::context m_context;
  std::u16string m_location;
  int m_width = 0;
  int m_viewHeight = 0;
  int m_height = 0;
  litehtml::document::ptr m_document;
};

HtmlView::HtmlView(HtmlFetcher fetcher) : m_page(std::make_unique<Page>(std::move(fetcher))) {}
HtmlView::~HtmlView() = default;

Status HtmlView::navigate(std::u16string_view location) {
  auto page = m_page->container().fetchText(location);
  if (!page) {
    m_page->load(errorPage(location, page.error()), std::u16string(location));
    return page.error();
  }
  m_page->load(page.value(), std::u16string(location));
  return {};
}

void HtmlView::loadHtml(std::string_view html, std::u16string_view location) {
  m_page->load(std::string(html), std::u16string(location));
}

const std::u16string& HtmlView::location() const { return m_page->location(); }
int HtmlView::layout(int width, int height) { return m_page->layout(width, height); }
int HtmlView::height() const { return m_page->height(); }
void HtmlView::draw(HDC dc, const RECT& clip, int scrollY) { m_page->draw(dc, clip, scrollY); }
std::optional<std::u16string> HtmlView::elementIdAt(int x, int y) const { return m_page->elementIdAt(x, y); }
std::optional<std::u16string> HtmlView::clickAt(int x, int y) { return m_page->clickAt(x, y); }

}  // namespace winsim
