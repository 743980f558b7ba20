// PNG files through libpng's simplified interface, which reports errors as
// values (no setjmp crosses our frames).
#include "winsim/png.h"

#include <png.h>

#include <string>
#include <vector>

#include "gdidc.h"
#include "gdidib.h"
#include "win32/errors.h"

namespace winsim {

Status writePng(const Surface& surface, const std::filesystem::path& file) {
  return writePng(surface, surface.bounds(), file);
}

Status writePng(const Surface& surface, const RECT& part, const std::filesystem::path& file) {
  RECT const r = gdi::intersect(part, surface.bounds());
  if (gdi::isEmpty(r)) return makeError(ERROR_INVALID_PARAMETER, "nothing of the surface to write");
  int const width = r.right - r.left, height = r.bottom - r.top;
  std::vector<png_byte> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  png_byte* out = rgb.data();
  for (int y = r.top; y < r.bottom; ++y) {
    const Pixel* row = surface.row(y);
    for (int x = r.left; x < r.right; ++x) {
      *out++ = static_cast<png_byte>((row[x] >> 16) & 0xFF);
      *out++ = static_cast<png_byte>((row[x] >> 8) & 0xFF);
      *out++ = static_cast<png_byte>(row[x] & 0xFF);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, file.c_str(), 0, rgb.data(), width * 3, nullptr))
    return makeError(ERROR_WRITE_FAULT, "cannot write " + file.string() + ": " + image.message);
  return {};
}

Expected<std::shared_ptr<Surface>> readPng(const std::filesystem::path& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, file.c_str()))
    return makeError(ERROR_BAD_FORMAT, "cannot read " + file.string() + ": " + image.message);
  if (image.width == 0 || image.height == 0 || image.width > static_cast<png_uint_32>(gdi::kMaxBitmapSide) ||
      image.height > static_cast<png_uint_32>(gdi::kMaxBitmapSide)) {
    png_image_free(&image);
    return makeError(ERROR_BAD_FORMAT, file.string() + ": picture size out of range");
  }
  auto surface = Surface::create(static_cast<int>(image.width), static_cast<int>(image.height));
  if (!surface) {
    png_image_free(&image);
    return surface.error();
  }
  image.format = PNG_FORMAT_BGRA;
  // An owned surface is one top-down block of rows.
  if (!png_image_finish_read(&image, nullptr, (*surface)->row(0), static_cast<png_int_32>(image.width * 4), nullptr))
    return makeError(ERROR_BAD_FORMAT, "cannot decode " + file.string() + ": " + image.message);
  return surface;
}

}  // namespace winsim
