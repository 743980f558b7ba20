// Images of HTML pages: BMP files and RT_BITMAP resources (a BMP file without
// its 14-byte file header), read by the image loader's checked readers
// (winsim/imageload.h) and turned into 32-bit DIB sections by the GDI layer's
// own DIB conversion (StretchDIBits).
#include <cstdint>
#include <span>

#include "htmlviewcontainer.h"
#include "win32/errors.h"
#include "winsim/imageload.h"

namespace winsim::html {

namespace {

Error damaged(const char* why) { return makeError(ERROR_INVALID_DATA, std::string("image not shown: ") + why); }

}  // namespace

Expected<std::unique_ptr<Image>> Image::decode(std::string_view bytes) {
  const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  const bool file = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
  Expected<image::Dib> read = file ? image::readBmpFile(data) : image::readPackedDib(data);
  if (!read) return damaged(read.error().message.c_str());
  const image::Dib& dib = *read;
  const int width = dib.width;
  const int rows = dib.rows;

  BITMAPINFO target{};
  target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  target.bmiHeader.biWidth = width;
  target.bmiHeader.biHeight = -static_cast<LONG>(rows);
  target.bmiHeader.biPlanes = 1;
  target.bmiHeader.biBitCount = 32;
  target.bmiHeader.biCompression = BI_RGB;
  HDC const dc = CreateCompatibleDC(nullptr);
  void* pixels = nullptr;
  HBITMAP const bitmap = CreateDIBSection(dc, &target, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr) {
    DeleteDC(dc);
    return damaged("no memory for its pixels");
  }
  HGDIOBJ const old = SelectObject(dc, bitmap);
  int const copied = StretchDIBits(dc, 0, 0, width, rows, 0, 0, width, rows, dib.bits.data(), dib.bitmapInfo(),
                                   DIB_RGB_COLORS, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  if (copied == 0 || copied == GDI_ERROR) {
    DeleteObject(bitmap);
    return damaged("its pixels cannot be read");
  }
  return std::unique_ptr<Image>(new Image(bitmap, width, rows));
}

Image::~Image() { DeleteObject(m_bitmap); }

}  // namespace winsim::html
