// DrawStateW: an icon, bitmap or text drawn normally, disabled (embossed) or
// as a one-colour shape.
#include "gdiicon.h"
#include "gdiraster.h"
#include "gditext.h"
#include "winsim/text.h"

using namespace winsim;
using namespace winsim::gdi;

namespace {

constexpr Pixel kWhite = 0xFFFFFF;

// Which pixels of a picture drawn on white make its shape: for icons and
// bitmaps every pixel that is not white (as GDI turns a picture into a
// monochrome mask); text, which GDI renders without anti-aliasing into such a
// mask, where glyphs cover at least half a pixel.
enum class Ink { NotWhite, HalfCovered };

bool isInk(Pixel p, Ink ink) {
  if (ink == Ink::NotWhite) return (p & kWhite) != kWhite;
  return (p & 0xFF) < 128;  // black text on white: every channel is 255 - coverage
}

// Paints the picture's shape with the picture's corner at (x, y).
void paintShape(Target target, const Surface& picture, Ink ink, int x, int y, const Paint& paint) {
  RECT const c = intersect(target.clip, RECT{x, y, x + picture.width(), y + picture.height()});
  for (int sy = c.top; sy < c.bottom; ++sy) {
    const Pixel* in = picture.row(sy - y);
    Pixel* out = target.surface.row(sy);
    for (int sx = c.left; sx < c.right; ++sx)
      if (isInk(in[sx - x], ink)) out[sx] = paint.at(sx, sy);
  }
}

}  // namespace

BOOL DrawStateW(HDC hdc, HBRUSH hbrFore, DRAWSTATEPROC qfnCallBack, LPARAM lData, WPARAM wData, int x, int y, int cx,
                int cy, UINT uFlags) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail(ERROR_INVALID_HANDLE, FALSE);
  UINT const type = uFlags & 0x000F;
  UINT const state = uFlags & 0x0FF0;
  if (state != DSS_NORMAL && state != DSS_DISABLED && state != DSS_MONO) return fail(ERROR_INVALID_PARAMETER, FALSE);

  std::shared_ptr<IconObject> icon;
  std::shared_ptr<BitmapObject> bitmap;
  std::shared_ptr<font::Face> face;
  std::u16string text;
  SIZE natural{0, 0};
  switch (type) {
    case DST_ICON:
      icon = lookup<IconObject>(reinterpret_cast<HICON>(lData));
      if (!icon) return fail(ERROR_INVALID_HANDLE, FALSE);
      natural = SIZE{icon->width, icon->height};
      break;
    case DST_BITMAP:
      bitmap = lookup<BitmapObject>(reinterpret_cast<HBITMAP>(lData));
      if (!bitmap) return fail(ERROR_INVALID_HANDLE, FALSE);
      natural = SIZE{bitmap->width(), bitmap->height()};
      break;
    case DST_TEXT: {
      auto* chars = reinterpret_cast<LPCWSTR>(lData);
      if (chars == nullptr) return fail(ERROR_INVALID_PARAMETER, FALSE);
      text.assign(chars, wData != 0 ? static_cast<std::size_t>(wData) : wideLength(chars));
      face = faceOf(*dc);
      if (!face) return FALSE;
      RECT r{0, 0, 0, 0};
      DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
      natural = SIZE{r.right, r.bottom};
      break;
    }
    default:
      return fail(ERROR_INVALID_PARAMETER, FALSE);  // drawing through a callback is not offered
  }
  int const width = cx != 0 ? cx : natural.cx, height = cy != 0 ? cy : natural.cy;
  if (width <= 0 || height <= 0) return TRUE;

  if (state == DSS_NORMAL) {
    if (icon) return DrawIconEx(hdc, x, y, reinterpret_cast<HICON>(lData), width, height, 0, nullptr, DI_NORMAL);
    if (bitmap) {
      HDC memory = CreateCompatibleDC(hdc);
      HGDIOBJ const old = SelectObject(memory, reinterpret_cast<HBITMAP>(lData));
      BOOL const done = old != nullptr && BitBlt(hdc, x, y, width, height, memory, 0, 0, SRCCOPY);
      if (old != nullptr) SelectObject(memory, old);
      DeleteDC(memory);
      return done;
    }
    RECT r{x, y, x + width, y + height};
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    return TRUE;
  }

  // Disabled and mono: the picture's shape, drawn on white first.
  auto pictureOr = Surface::create(width, height);
  if (!pictureOr) return fail(pictureOr.error().code, FALSE);
  Surface& picture = **pictureOr;
  picture.fill(kWhite);
  Target off{picture, picture.bounds()};
  if (icon) {
    drawIcon(off, picture.bounds(), *icon, DI_NORMAL);
  } else if (bitmap) {
    Source source;
    source.surface = &bitmap->pixels();
    RECT const part{0, 0, std::min(width, bitmap->width()), std::min(height, bitmap->height())};
    transfer(off, part, source, part, SRCCOPY, Paint{}, Sampling::Nearest);
  } else {
    drawRun(off, *face, 0, face->metrics().ascent, codePoints(text), 0);
  }
  Ink const ink = face ? Ink::HalfCovered : Ink::NotWhite;
  POINT const at = dc->toSurface(x, y);
  Canvas canvas(*dc, Canvas::Access::Write);
  if (state == DSS_MONO) {
    auto brush = brushOrSysColor(hbrFore);
    paintShape(canvas.target(), picture, ink, at.x, at.y,
               brush ? paintOf(brush.get(), *dc) : solidPaint(dc->textColor));
  } else {
    paintShape(canvas.target(), picture, ink, at.x + 1, at.y + 1, solidPaint(GetSysColor(COLOR_3DHILIGHT)));
    paintShape(canvas.target(), picture, ink, at.x, at.y, solidPaint(GetSysColor(COLOR_3DSHADOW)));
  }
  return TRUE;
}
