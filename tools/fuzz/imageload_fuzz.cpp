// The picture readers behind LoadImageW on outside input: the input read as
// a .bmp file, a packed DIB (RT_BITMAP), an icon or cursor directory and an
// icon or cursor image, and what reads is made into a GDI bitmap or icon.
//
// Seeds (corpus/imageload/): the pictures of resources/testimages
// (maketestimages.py): .bmp files, a packed DIB, icon and cursor images.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "win32/gdi.h"
#include "win32/image.h"
#include "winsim/imageload.h"

namespace {

using namespace winsim::image;

void bitmapOf(const winsim::Expected<Dib>& dib) {
  if (!dib) return;
  auto bitmap = makeBitmap(*dib, 0, 0, LR_CREATEDIBSECTION);
  if (bitmap) DeleteObject(*bitmap);
  // A device bitmap at another size goes through GDI's stretching.
  auto stretched = makeBitmap(*dib, 3, 2, LR_DEFAULTCOLOR);
  if (stretched) DeleteObject(*stretched);
}

void iconOf(std::span<const std::uint8_t> input, IconKind kind) {
  auto image = readIconImage(input, kind);
  if (!image) return;
  ImageSize const sizes[] = {{image->color.width, image->color.rows, image->color.bitCount}, {16, 16, 4}};
  (void)nearestImage(sizes, 32, 32);
  auto icon = makeIcon(*image, 0, 0, kind);
  if (icon) DestroyIcon(*icon);
  auto small = makeIcon(*image, 5, 3, kind);
  if (small) DestroyIcon(*small);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  bitmapOf(readBmpFile(input));
  bitmapOf(readPackedDib(input));
  for (IconKind kind : {IconKind::Icon, IconKind::Cursor}) {
    (void)readIconDirectory(input, kind);
    iconOf(input, kind);
  }
  return 0;
}
