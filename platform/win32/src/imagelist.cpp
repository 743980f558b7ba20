// Image lists: a process-wide table of lists, each a row of same-sized
// pictures with their masks, kept as 32-bit surfaces apart from the GDI
// object table (an image list is no GDI object: DeleteObject does not free
// one).
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "commctrl.h"
#include "gdibitmap.h"
#include "gdidc.h"
#include "gdiicon.h"
#include "gdiobjects.h"

using namespace winsim;
using namespace winsim::gdi;

namespace {

constexpr Pixel kColourBits = 0xFFFFFF;
/// Larger pictures are beyond what a list is for; refusing them keeps a
/// strip's pixel count far from overflowing.
constexpr int kMaxSide = 4096;

struct Picture {
  std::shared_ptr<Surface> colour;
  /// White where the destination stays; null when the list has no masks.
  std::shared_ptr<Surface> mask;
};

class ImageList {
 public:
  ImageList(int width, int height, bool masked) : m_width(width), m_height(height), m_masked(masked) {}

  int width() const { return m_width; }
  int height() const { return m_height; }
  bool masked() const { return m_masked; }

  std::mutex mutex;
  std::vector<Picture> pictures;

 private:
  int m_width;
  int m_height;
  bool m_masked;
};

struct Table {
  std::mutex mutex;
  std::unordered_map<HIMAGELIST, std::shared_ptr<ImageList>> lists;
  std::uintptr_t next = 1;
};

Table& table() {
  static Table* t = new Table;  // lives as long as the process: lists may outlive static objects
  return *t;
}

std::shared_ptr<ImageList> find(HIMAGELIST himl) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  auto it = t.lists.find(himl);
  return it == t.lists.end() ? nullptr : it->second;
}

bool isWhite(Pixel p) { return (p & kColourBits) == kColourBits; }

/// A picture of the list's size from the part of `colour` (and `mask`, the
/// same size) whose left edge is at `left`; masked pixels become black so
/// that the picture can also be drawn as an icon.
Expected<Picture> cut(const ImageList& list, const Surface& colour, const Surface* mask, int left) {
  auto picture = Surface::create(list.width(), list.height());
  if (!picture) return picture.error();
  Picture out{std::move(*picture), nullptr};
  if (list.masked()) {
    auto pictureMask = Surface::create(list.width(), list.height());
    if (!pictureMask) return pictureMask.error();
    out.mask = std::move(*pictureMask);
  }
  for (int y = 0; y < list.height(); ++y) {
    for (int x = 0; x < list.width(); ++x) {
      const bool clear = out.mask && mask && isWhite(mask->pixel(left + x, y));
      out.colour->setPixel(x, y, clear ? Pixel{0} : colour.pixel(left + x, y) & kColourBits);
      if (out.mask) out.mask->setPixel(x, y, clear ? kColourBits : Pixel{0});
    }
  }
  return out;
}

/// Appends the pictures of a strip; the index of the first, else -1.
int addStrip(HIMAGELIST himl, HBITMAP hbmImage, const std::function<bool(int, int)>& transparentAt) {
  auto list = find(himl);
  if (!list) return fail(ERROR_INVALID_HANDLE, -1);
  auto bitmap = lookup<BitmapObject>(hbmImage);
  if (!bitmap) return fail(ERROR_INVALID_HANDLE, -1);
  if (bitmap->width() < list->width() || bitmap->height() < list->height()) return fail(ERROR_INVALID_PARAMETER, -1);
  const Surface& colour = bitmap->pixels();
  std::shared_ptr<Surface> mask;
  if (list->masked() && transparentAt) {
    auto made = Surface::create(colour.width(), list->height());
    if (!made) return fail(ERROR_NOT_ENOUGH_MEMORY, -1);
    mask = std::move(*made);
    for (int y = 0; y < mask->height(); ++y)
      for (int x = 0; x < mask->width(); ++x) mask->setPixel(x, y, transparentAt(x, y) ? kColourBits : Pixel{0});
  }
  std::vector<Picture> added;
  for (int left = 0; left + list->width() <= colour.width(); left += list->width()) {
    auto picture = cut(*list, colour, mask.get(), left);
    if (!picture) return fail(ERROR_NOT_ENOUGH_MEMORY, -1);
    added.push_back(std::move(*picture));
  }
  std::lock_guard lock(list->mutex);
  const int first = static_cast<int>(list->pictures.size());
  list->pictures.insert(list->pictures.end(), added.begin(), added.end());
  return first;
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int) {
  if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide || cInitial < 0)
    return fail<HIMAGELIST>(ERROR_INVALID_PARAMETER, nullptr);
  auto list = std::make_shared<ImageList>(cx, cy, (flags & ILC_MASK) != 0);
  list->pictures.reserve(static_cast<std::size_t>(std::min(cInitial, 256)));
  Table& t = table();
  std::lock_guard lock(t.mutex);
  // Handles count up and are never used twice, so a destroyed list's handle
  // stays invalid.
  auto handle = reinterpret_cast<HIMAGELIST>(t.next++ << 4);
  t.lists.emplace(handle, std::move(list));
  return handle;
}

BOOL ImageList_Destroy(HIMAGELIST himl) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  return t.lists.erase(himl) ? TRUE : fail(ERROR_INVALID_HANDLE, FALSE);
}

int ImageList_GetImageCount(HIMAGELIST himl) {
  auto list = find(himl);
  if (!list) return fail(ERROR_INVALID_HANDLE, -1);
  std::lock_guard lock(list->mutex);
  return static_cast<int>(list->pictures.size());
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
  auto list = find(himl);
  if (!list) return fail(ERROR_INVALID_HANDLE, FALSE);
  if (!cx || !cy) return fail(ERROR_INVALID_PARAMETER, FALSE);
  *cx = list->width();
  *cy = list->height();
  return TRUE;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask) {
  if (!hbmMask) return addStrip(himl, hbmImage, nullptr);
  auto mask = lookup<BitmapObject>(hbmMask);
  if (!mask) return fail(ERROR_INVALID_HANDLE, -1);
  const Surface& bits = mask->pixels();
  // Past the mask's edge the picture is opaque.
  return addStrip(himl, hbmImage,
                  [&bits](int x, int y) { return x < bits.width() && y < bits.height() && isWhite(bits.pixel(x, y)); });
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask) {
  auto bitmap = lookup<BitmapObject>(hbmImage);
  if (!bitmap) return fail(ERROR_INVALID_HANDLE, -1);
  const Pixel key = pixelFromColor(crMask);
  const Surface& bits = bitmap->pixels();
  return addStrip(himl, hbmImage, [&bits, key](int x, int y) { return (bits.pixel(x, y) & kColourBits) == key; });
}

int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon) {
  auto list = find(himl);
  if (!list) return fail(ERROR_INVALID_HANDLE, -1);
  auto icon = lookup<IconObject>(hicon);
  if (!icon) return fail(ERROR_INVALID_HANDLE, -1);
  auto colour = Surface::create(list->width(), list->height());
  auto mask = Surface::create(list->width(), list->height());
  if (!colour || !mask) return fail(ERROR_NOT_ENOUGH_MEMORY, -1);
  const RECT all{0, 0, list->width(), list->height()};
  // The mask over white, then the picture over black: the icon's drawing
  // rules (its alpha, or its AND and XOR halves) decide both.
  (*mask)->fill(kColourBits);
  drawIcon(Target{**mask, all}, all, *icon, DI_MASK);
  drawIcon(Target{**colour, all}, all, *icon, DI_NORMAL);
  Picture picture{std::move(*colour), nullptr};
  if (list->masked()) {
    picture.mask = std::move(*mask);
    for (int y = 0; y < list->height(); ++y)
      for (int x = 0; x < list->width(); ++x) {
        const bool clear = isWhite(picture.mask->pixel(x, y));
        picture.mask->setPixel(x, y, clear ? kColourBits : Pixel{0});
        if (clear) picture.colour->setPixel(x, y, 0);
      }
  }
  std::lock_guard lock(list->mutex);
  const int count = static_cast<int>(list->pictures.size());
  if (i == -1) {
    list->pictures.push_back(std::move(picture));
    return count;
  }
  if (i < 0 || i >= count) return fail(ERROR_INVALID_PARAMETER, -1);
  list->pictures[static_cast<std::size_t>(i)] = std::move(picture);
  return i;
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT) {
  auto list = find(himl);
  if (!list) return fail(ERROR_INVALID_HANDLE, FALSE);
  auto dc = lookup<DeviceContext>(hdcDst);
  if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE);
  Picture picture;
  {
    std::lock_guard lock(list->mutex);
    if (i < 0 || i >= static_cast<int>(list->pictures.size())) return fail(ERROR_INVALID_PARAMETER, FALSE);
    picture = list->pictures[static_cast<std::size_t>(i)];
  }
  // The list's background colour is none: ILD_NORMAL draws through the mask
  // as ILD_TRANSPARENT does.
  const RECT dst = dc->toSurface(RECT{x, y, x + list->width(), y + list->height()});
  Canvas canvas(*dc, Canvas::Access::Write);
  const RECT c = intersect(dst, canvas.clip());
  for (int row = c.top; row < c.bottom; ++row) {
    Pixel* out = canvas.surface().row(row);
    for (int column = c.left; column < c.right; ++column) {
      const int u = column - dst.left, v = row - dst.top;
      if (picture.mask && isWhite(picture.mask->pixel(u, v))) continue;
      out[column] = picture.colour->pixel(u, v);
    }
  }
  return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT flags) {
  auto list = find(himl);
  if (!list) return fail<HICON>(ERROR_INVALID_HANDLE, nullptr);
  if (flags != 0) return fail<HICON>(ERROR_INVALID_PARAMETER, nullptr);
  Picture picture;
  {
    std::lock_guard lock(list->mutex);
    if (i < 0 || i >= static_cast<int>(list->pictures.size())) return fail<HICON>(ERROR_INVALID_PARAMETER, nullptr);
    picture = list->pictures[static_cast<std::size_t>(i)];
  }
  auto icon = std::make_shared<IconObject>();
  icon->width = list->width();
  icon->height = list->height();
  icon->hotspot = POINT{icon->width / 2, icon->height / 2};
  icon->color = picture.colour;  // pictures are replaced, never changed, so the icon may share them
  if (picture.mask) {
    icon->mask = picture.mask;
  } else {
    auto opaque = Surface::create(list->width(), list->height());
    if (!opaque) return fail<HICON>(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    icon->mask = std::move(*opaque);
  }
  return static_cast<HICON>(addObject(icon));
}
