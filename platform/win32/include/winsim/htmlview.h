// The HTML page dialog's browser control: an HTML view that loads a page
// from a resource library, lays it out at the control's size, draws it with
// the GDI layer and tells which element a click falls on, by its id.
//
// Locations are those of the Windows browser control's res: protocol:
// "res://MODULE/NAME" is the RT_HTML resource NAME of MODULE (a module path of
// the machine, or a bare name the loader searches for), "res://MODULE/TYPE/NAME"
// a resource of another type (a number: "2" is RT_BITMAP; or a type name).
// NAME may be "#id". The module part runs to the first '/', so a module path
// is written with backslashes, as GetModuleFileNameW gives it; %XX escapes are
// decoded in every part. Style sheets and images that a page references are
// resolved against the page's location ("logo.bmp" beside "res://m.dll/PAGE"
// is "res://m.dll/logo.bmp", "2/LOGO" is the bitmap LOGO) and fetched the same
// way. Images are BMP files or RT_BITMAP resources; pages are UTF-8, UTF-16
// after a byte-order mark, or else text in the machine's ANSI code page.
//
// The view knows no windows: its host (the HTML dialog's control) gives it a
// size, a device context to draw into and the points the user clicks.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "win32/gdi.h"
#include "winsim/expected.h"

namespace winsim {

/// The bytes at an absolute location: a page, a style sheet or an image.
using HtmlFetcher = std::function<Expected<std::string>(std::u16string_view location)>;

/// Fetches a res: location from its resource library (LoadLibraryExW as a
/// data file, FindResourceW, LoadResource). Fails with the loader's error:
/// ERROR_MOD_NOT_FOUND, ERROR_RESOURCE_TYPE_NOT_FOUND,
/// ERROR_RESOURCE_NAME_NOT_FOUND ..., or ERROR_INVALID_PARAMETER for a
/// location that is not of the res: form.
Expected<std::string> fetchResource(std::u16string_view location);

/// A page's reference resolved against the page's location, as the browser
/// control resolves it: an absolute location stays, "/NAME" starts at the
/// module, anything else replaces the last part of the page's location.
std::u16string resolveLocation(std::u16string_view base, std::u16string_view reference);

class HtmlView {
 public:
  explicit HtmlView(HtmlFetcher fetcher = fetchResource);
  ~HtmlView();
  HtmlView(const HtmlView&) = delete;
  HtmlView& operator=(const HtmlView&) = delete;

  /// Shows the page at `location`. A page that cannot be fetched shows the
  /// browser's error page, which names the location, and the error is
  /// returned.
  Status navigate(std::u16string_view location);
  /// Shows a page given as UTF-8 text; its references resolve against `location`.
  void loadHtml(std::string_view html, std::u16string_view location);
  const std::u16string& location() const;

  /// Lays the page out for a view of `width` x `height` pixels (the page is
  /// laid out again whenever another page is loaded). Returns the page's
  /// height, at least `height`: the scroll range is height() - `height`.
  int layout(int width, int height);
  int height() const;

  /// Draws the part of the page that falls into `clip` (device coordinates of
  /// `dc`, whose (0, 0) is the view's top-left corner) with the page scrolled
  /// down by `scrollY`. Where the page has no background the view is white.
  void draw(HDC dc, const RECT& clip, int scrollY);

  /// The id of the element at page point (x, y) (a view point with the
  /// scroll position added), or of its nearest ancestor that has one.
  std::optional<std::u16string> elementIdAt(int x, int y) const;
  /// A click at page point (x, y): the element is pressed and released (its
  /// :active style and links see it) and the id elementIdAt gives is returned.
  std::optional<std::u16string> clickAt(int x, int y);

 private:
  class Page;
  std::unique_ptr<Page> m_page;
};

}  // namespace winsim
