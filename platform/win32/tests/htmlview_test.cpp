// The HTML dialog's view: a page with a style sheet and pictures, from memory
// and from a resource library built by the resource compiler; layout, pixels,
// scrolling, clicks by element id, the error page, res: locations.
#include "winsim/htmlview.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>
#include <vector>

#include "gditesthelpers.h"
#include "moduletesthelpers.h"
#include "win32/errors.h"
#include "winsim/text.h"

namespace {

using gditest::Canvas;
using winsim::Expected;
using winsim::HtmlView;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kOrange = RGB(255, 128, 0);
constexpr COLORREF kGreen = RGB(0, 153, 51);
constexpr COLORREF kYellow = RGB(255, 255, 0);

/// A packed DIB as an RT_BITMAP resource holds it: 24 bits, rows bottom-up,
/// the upper half of the picture one colour and the lower half another.
std::string packedDib(int width, int height, COLORREF top, COLORREF bottom) {
  int const stride = (width * 3 + 3) / 4 * 4;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biSizeImage = static_cast<DWORD>(stride * height);
  std::string bytes(sizeof header, '\0');
  std::memcpy(bytes.data(), &header, sizeof header);
  for (int row = 0; row < height; ++row) {
    COLORREF const color = row >= height / 2 ? top : bottom;  // the last row in memory is the top one
    std::string line(static_cast<std::size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
      line[x * 3] = static_cast<char>(GetBValue(color));
      line[x * 3 + 1] = static_cast<char>(GetGValue(color));
      line[x * 3 + 2] = static_cast<char>(GetRValue(color));
    }
    bytes += line;
  }
  return bytes;
}

/// The same picture as a BMP file: the file header in front.
std::string bmpFile(const std::string& dib) {
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfSize = static_cast<DWORD>(sizeof file + dib.size());
  file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
  std::string bytes(sizeof file, '\0');
  std::memcpy(bytes.data(), &file, sizeof file);
  return bytes + dib;
}

/// A page's files in memory by location; every fetch is noted.
class MemorySite {
 public:
  void add(const std::u16string& location, std::string bytes) { m_files[location] = std::move(bytes); }
  winsim::HtmlFetcher fetcher() {
    return [this](std::u16string_view location) -> Expected<std::string> {
      fetched.emplace_back(location);
      auto const file = m_files.find(std::u16string(location));
      if (file == m_files.end())
        return winsim::makeError(ERROR_RESOURCE_NAME_NOT_FOUND, "no file " + winsim::toUtf8(location));
      return file->second;
    };
  }
  bool wasFetched(std::u16string_view location) const {
    return std::find(fetched.begin(), fetched.end(), location) != fetched.end();
  }

  std::vector<std::u16string> fetched;

 private:
  std::map<std::u16string, std::string> m_files;
};

constexpr char16_t kPage[] = u"res://test.dll/PAGE";

// A red box at (20, 0)-(120, 50), the logo (20 x 10: blue over orange) below
// it at the left edge, a 6-pixel banner tiled with a green-over-yellow stripe
// across the page, a button placed at (200, 10), a paragraph.
constexpr const char* kPageHtml =
    "<html><head><link rel=\"stylesheet\" href=\"site.css\"></head><body>"
    "<div id=\"box\"></div>"
    "<div><img id=\"logo\" src=\"2/LOGO\"></div>"
    "<div id=\"banner\"></div>"
    "<button id=\"ButtonOK\">OK</button>"
    "<p id=\"text\">Some <b>bold</b> text</p>"
    "</body></html>";
constexpr const char* kSiteCss =
    "body { margin: 0; font-family: Arial; font-size: 13px; }\n"
    "#box { margin-left: 20px; width: 100px; height: 50px; background-color: #ff0000; }\n"
    "#logo { display: block; }\n"
    "#banner { height: 6px; background-image: url(stripe.bmp); background-repeat: repeat-x; }\n"
    "#ButtonOK { position: absolute; left: 200px; top: 10px; width: 60px; height: 24px; }\n"
    "p { margin: 10px 0 0 0; height: 20px; }\n";

class HtmlViewPage : public ::testing::Test {
 protected:
  HtmlViewPage() {
    m_site.add(kPage, kPageHtml);
    m_site.add(u"res://test.dll/site.css", kSiteCss);
    m_site.add(u"res://test.dll/2/LOGO", packedDib(20, 10, kBlue, kOrange));
    m_site.add(u"res://test.dll/stripe.bmp", bmpFile(packedDib(8, 6, kGreen, kYellow)));
  }

  MemorySite m_site;
};

TEST_F(HtmlViewPage, FetchesStyleSheetAndPicturesBesideThePage) {
  HtmlView view(m_site.fetcher());
  ASSERT_TRUE(view.navigate(kPage).ok());
  EXPECT_EQ(view.location(), kPage);
  view.layout(300, 200);
  EXPECT_TRUE(m_site.wasFetched(u"res://test.dll/site.css"));
  EXPECT_TRUE(m_site.wasFetched(u"res://test.dll/2/LOGO"));
  EXPECT_TRUE(m_site.wasFetched(u"res://test.dll/stripe.bmp"));
}

TEST_F(HtmlViewPage, LaysOutToThePagesHeight) {
  HtmlView view(m_site.fetcher());
  ASSERT_TRUE(view.navigate(kPage).ok());
  // A view taller than the page: the page fills it. A shorter one scrolls:
  // box, logo, banner and paragraph are 50 + 10 + 6 + 10 + 20 pixels.
  EXPECT_EQ(view.layout(300, 400), 400);
  EXPECT_EQ(view.layout(300, 40), 96);
  EXPECT_EQ(view.height(), 96);
}

TEST_F(HtmlViewPage, DrawsBoxesPicturesAndTiledBackgrounds) {
  HtmlView view(m_site.fetcher());
  ASSERT_TRUE(view.navigate(kPage).ok());
  view.layout(300, 200);
  Canvas canvas(300, 200, RGB(1, 2, 3));
  view.draw(canvas.dc(), RECT{0, 0, 300, 200}, 0);

  EXPECT_COLOR(canvas, 70, 25, kRed);
  EXPECT_COLOR(canvas, 20, 0, kRed);
  EXPECT_COLOR(canvas, 119, 49, kRed);
  EXPECT_COLOR(canvas, 19, 25, kWhite);  // the page's white where nothing is drawn
  EXPECT_COLOR(canvas, 120, 25, kWhite);
  EXPECT_COLOR(canvas, 5, 52, kBlue);  // the picture the right way up
  EXPECT_COLOR(canvas, 5, 57, kOrange);
  EXPECT_COLOR(canvas, 19, 59, kOrange);
  EXPECT_COLOR(canvas, 20, 55, kWhite);
  for (int x : {0, 7, 8, 150, 299}) {  // the stripe repeats across the page
    EXPECT_COLOR(canvas, x, 61, kGreen);
    EXPECT_COLOR(canvas, x, 64, kYellow);
  }
  EXPECT_COLOR(canvas, 150, 67, kWhite);
  // The button: a grey face with its text in black inside.
  EXPECT_COLOR(canvas, 205, 14, RGB(0xE3, 0xE3, 0xE3));
  int dark = 0;
  for (int y = 10; y < 42; ++y)
    for (int x = 200; x < 280; ++x) dark += GetGValue(canvas.at(x, y)) < 80;
  EXPECT_GT(dark, 5);
}

TEST_F(HtmlViewPage, DrawsOnlyIntoTheClipAndScrolls) {
  HtmlView view(m_site.fetcher());
  ASSERT_TRUE(view.navigate(kPage).ok());
  view.layout(300, 200);

  Canvas clipped(300, 200, RGB(1, 2, 3));
  view.draw(clipped.dc(), RECT{50, 10, 100, 30}, 0);
  EXPECT_COLOR(clipped, 60, 20, kRed);
  EXPECT_COLOR(clipped, 40, 20, RGB(1, 2, 3));
  EXPECT_COLOR(clipped, 60, 35, RGB(1, 2, 3));

  Canvas scrolled(300, 200, RGB(1, 2, 3));
  view.draw(scrolled.dc(), RECT{0, 0, 300, 200}, 20);
  EXPECT_COLOR(scrolled, 70, 5, kRed);
  EXPECT_COLOR(scrolled, 70, 29, kRed);
  EXPECT_COLOR(scrolled, 70, 31, kWhite);
  EXPECT_COLOR(scrolled, 5, 32, kBlue);
  EXPECT_COLOR(scrolled, 5, 37, kOrange);
}

TEST_F(HtmlViewPage, ClicksReportTheIdOfTheElementOrItsAncestor) {
  HtmlView view(m_site.fetcher());
  ASSERT_TRUE(view.navigate(kPage).ok());
  view.layout(300, 200);
  EXPECT_EQ(view.clickAt(230, 26), u"ButtonOK");
  EXPECT_EQ(view.clickAt(202, 12), u"ButtonOK");  // the button's border, not its text
  EXPECT_EQ(view.elementIdAt(70, 25), u"box");
  EXPECT_EQ(view.elementIdAt(5, 55), u"logo");
  EXPECT_EQ(view.elementIdAt(40, 85), u"text");  // inside the <b>, which has no id
  EXPECT_EQ(view.clickAt(290, 190), std::nullopt);
  EXPECT_EQ(view.clickAt(150, 62), u"banner");
}

TEST_F(HtmlViewPage, DamagedPictureIsLeftOut) {
  std::string broken = packedDib(20, 10, kBlue, kOrange);
  broken.resize(broken.size() / 2);
  m_site.add(u"res://test.dll/2/LOGO", broken);
  m_site.add(u"res://test.dll/stripe.bmp", "BM not a bitmap");
  HtmlView view(m_site.fetcher());
  ASSERT_TRUE(view.navigate(kPage).ok());
  EXPECT_EQ(view.layout(300, 40), 86);  // the picture takes no room
  Canvas canvas(300, 100);
  view.draw(canvas.dc(), RECT{0, 0, 300, 100}, 0);
  EXPECT_EQ(canvas.count(kBlue), 0);
  EXPECT_EQ(canvas.count(kGreen), 0);
  EXPECT_COLOR(canvas, 70, 25, kRed);
}

TEST_F(HtmlViewPage, MissingPageShowsTheErrorPage) {
  HtmlView view(m_site.fetcher());
  winsim::Status const status = view.navigate(u"res://test.dll/MISSING");
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(view.location(), u"res://test.dll/MISSING");
  view.layout(400, 200);
  Canvas canvas(400, 200, RGB(1, 2, 3));
  view.draw(canvas.dc(), RECT{0, 0, 400, 200}, 0);
  EXPECT_GT(canvas.count(kWhite), 40000);
  int ink = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 400; ++x) ink += GetRValue(canvas.at(x, y)) < 128;
  EXPECT_GT(ink, 100);  // its text
  EXPECT_EQ(view.elementIdAt(10, 10), std::nullopt);
}

/// A page drawn into a canvas of its own, for comparing pages.
std::vector<COLORREF> pixelsOf(MemorySite& site, std::u16string_view location) {
  HtmlView view(site.fetcher());
  EXPECT_TRUE(view.navigate(location).ok());
  view.layout(120, 40);
  Canvas canvas(120, 40);
  view.draw(canvas.dc(), RECT{0, 0, 120, 40}, 0);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) pixels.push_back(canvas.at(x, y));
  return pixels;
}

TEST(HtmlViewText, PagesInTheAnsiCodePageAndInUtf16ReadAsUtf8Ones) {
  constexpr const char* kStyle = "<p style=\"margin:0;font-size:20px;font-family:Arial\">";
  MemorySite site;
  site.add(u"res://t/UTF8", std::string(kStyle) + "caf\xC3\xA9 \xE2\x82\xAC</p>");
  site.add(u"res://t/ANSI", std::string(kStyle) + "caf\xE9 \x80</p>");
  std::u16string const wide = u"\uFEFF" + winsim::fromUtf8(kStyle) + u"caf\u00E9 \u20AC</p>";
  site.add(u"res://t/WIDE", std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
  site.add(u"res://t/MARK", "\xEF\xBB\xBF" + std::string(kStyle) + "caf\xC3\xA9 \xE2\x82\xAC</p>");
  site.add(u"res://t/OTHER", std::string(kStyle) + "cafe E</p>");

  std::vector<COLORREF> const expected = pixelsOf(site, u"res://t/UTF8");
  EXPECT_EQ(pixelsOf(site, u"res://t/ANSI"), expected);
  EXPECT_EQ(pixelsOf(site, u"res://t/WIDE"), expected);
  EXPECT_EQ(pixelsOf(site, u"res://t/MARK"), expected);
  EXPECT_NE(pixelsOf(site, u"res://t/OTHER"), expected);
}

TEST(HtmlViewLocation, ResolvesAgainstThePage) {
  struct Case {
    const char16_t* base;
    const char16_t* reference;
    const char16_t* expected;
  } const cases[] = {
      {u"res://m.dll/PAGE", u"style.css", u"res://m.dll/style.css"},
      {u"res://m.dll/PAGE", u"2/LOGO", u"res://m.dll/2/LOGO"},
      {u"res://m.dll/PAGE", u"./style.css", u"res://m.dll/style.css"},
      {u"res://m.dll/23/PAGE", u"style.css", u"res://m.dll/23/style.css"},
      {u"res://m.dll/23/PAGE", u"/2/LOGO", u"res://m.dll/2/LOGO"},
      {u"res://C:\\Program Files\\Setup\\IntallerRes.dll/REQUIREMENT", u"2/#150",
       u"res://C:\\Program Files\\Setup\\IntallerRes.dll/2/#150"},
      {u"res://m.dll/PAGE", u"res://other.dll/X", u"res://other.dll/X"},
      {u"res://m.dll/PAGE", u"http://example.com/", u"http://example.com/"},
      {u"res://m.dll/PAGE", u"", u"res://m.dll/PAGE"},
      {u"res://m.dll", u"X", u"res://m.dll/X"},
      {u"about:blank", u"X", u"X"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(winsim::toUtf8(c.base) + " + " + winsim::toUtf8(c.reference));
    EXPECT_EQ(winsim::resolveLocation(c.base, c.reference), c.expected);
  }
}

TEST(HtmlViewLocation, FetchRefusesWhatIsNotAResourceLocation) {
  winsim::testing::TempMachine machine;
  for (const char16_t* location :
       {u"http://example.com/x", u"res://", u"res://m.dll", u"res:///NAME", u"res://m.dll/", u"res://m.dll/2/3/NAME"}) {
    SCOPED_TRACE(winsim::toUtf8(location));
    auto bytes = winsim::fetchResource(location);
    ASSERT_FALSE(bytes.ok());
    EXPECT_EQ(bytes.error().code, ERROR_INVALID_PARAMETER);
  }
  auto missing = winsim::fetchResource(u"res://C:\\Nowhere\\none.dll/PAGE");
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().code, 0u);
}

#ifdef WINSIM_TESTPAGES_DLL

constexpr char16_t kInstalled[] = u"C:\\Program Files\\Setup\\testpages.dll";

class HtmlViewResources : public ::testing::Test {
 protected:
  HtmlViewResources() { moduletest::install(m_machine, WINSIM_TESTPAGES_DLL, kInstalled); }

  static std::u16string at(std::u16string_view rest) {
    return u"res://" + std::u16string(kInstalled) + u"/" + std::u16string(rest);
  }

  winsim::testing::TempMachine m_machine;
};

/// The middle of the pixels of one colour in rows [top, bottom).
POINT centreOf(const Canvas& canvas, COLORREF color, int top = 0, int bottom = INT_MAX) {
  long sx = 0, sy = 0, n = 0;
  for (int y = top; y < std::min(bottom, canvas.height()); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.at(x, y) == color) sx += x, sy += y, ++n;
  return n == 0 ? POINT{-1, -1} : POINT{static_cast<LONG>(sx / n), static_cast<LONG>(sy / n)};
}

TEST_F(HtmlViewResources, FetchesEachKindOfResource) {
  auto page = winsim::fetchResource(at(u"REQUIREMENT"));
  ASSERT_TRUE(page.ok()) << page.error().message;
  EXPECT_NE(page->find("id=\"ButtonOK\""), std::string::npos);
  auto typed = winsim::fetchResource(at(u"23/REQUIREMENT"));
  ASSERT_TRUE(typed.ok());
  EXPECT_EQ(typed.value(), page.value());
  // A bitmap resource is the file without its 14-byte header.
  auto logo = winsim::fetchResource(at(u"2/LOGO"));
  ASSERT_TRUE(logo.ok());
  std::vector<std::uint8_t> const file = moduletest::readFile(WINSIM_TESTPAGES_SOURCE "/logo.bmp");
  EXPECT_EQ(logo->size() + 14, file.size());
  auto escaped = winsim::fetchResource(u"res://C:\\Program%20Files\\Setup\\testpages.dll/STYLE.CSS");
  ASSERT_TRUE(escaped.ok());
  EXPECT_NE(escaped->find("#ButtonOK"), std::string::npos);

  auto missing = winsim::fetchResource(at(u"NOPAGE"));
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code, ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST_F(HtmlViewResources, ShowsThePageWithItsStylesAndPicturesAndItsButtonsAnswer) {
  HtmlView view;
  ASSERT_TRUE(view.navigate(at(u"REQUIREMENT")).ok());
  int const height = view.layout(710, 446);
  EXPECT_EQ(height, 446);
  Canvas canvas(710, 446, RGB(1, 2, 3));
  view.draw(canvas.dc(), RECT{0, 0, 710, 446}, 0);

  POINT const banner = centreOf(canvas, RGB(0x1F, 0x4E, 0x79));                             // from STYLE.CSS
  POINT const blue = centreOf(canvas, kBlue), orange = centreOf(canvas, RGB(255, 128, 0));  // 2/LOGO
  ASSERT_GE(banner.x, 0) << "the style sheet was not applied";
  ASSERT_GE(blue.x, 0) << "the bitmap resource was not drawn";
  ASSERT_GE(orange.x, 0);
  EXPECT_LT(blue.y, orange.y);
  EXPECT_GT(canvas.count(RGB(0x00, 0x99, 0x33)), 300);  // STRIPE.BMP across the page

  // OK has a face of its own colour; Cancel the grey of every button, which
  // anti-aliased text elsewhere may also show: it is looked for beside OK.
  POINT const ok = centreOf(canvas, RGB(0xD4, 0xE4, 0xF7));
  ASSERT_GE(ok.y, 0);
  POINT const cancel = centreOf(canvas, RGB(0xE3, 0xE3, 0xE3), ok.y - 8, ok.y + 8);
  ASSERT_GE(ok.x, 0);
  ASSERT_GE(cancel.x, 0);
  EXPECT_LT(ok.x, cancel.x);
  EXPECT_EQ(view.clickAt(ok.x, ok.y), u"ButtonOK");
  EXPECT_EQ(view.clickAt(cancel.x, cancel.y), u"ButtonCancel");
  EXPECT_EQ(view.elementIdAt(400, banner.y), u"banner");
  EXPECT_EQ(view.elementIdAt(20, banner.y), u"logo");
}

#endif  // WINSIM_TESTPAGES_DLL

}  // namespace
