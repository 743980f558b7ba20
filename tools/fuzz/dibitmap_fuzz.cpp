// The setup program's .bmp reader (CDIBitmap::Read) on outside input: what
// reads is drawn at natural size and stretched into a memory context, and
// written back as a .bmp stream.
//
// Seeds (corpus/dibitmap/): the .bmp pictures of resources/testimages
// (maketestimages.py), 24-bit and 8-bit.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "afxwin.h"
#include "dibitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<BYTE> input(data, data + size);
  CMemFile file(input.data(), static_cast<UINT>(input.size()));
  CDIBitmap dib;
  if (dib.Read(file) == 0) return 0;

  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap target;
  target.CreateBitmap(8, 8, 1, 32, nullptr);
  CBitmap* old = dc.SelectObject(&target);
  dib.DrawDIB(&dc, -2, -1);
  dib.DrawDIB(&dc, 0, 0, 5, 3);
  dib.DrawDIBSection(&dc, 1, 1, 4, 4, 1, 0);
  dc.SelectObject(old);

  CMemFile copy;
  dib.Write(copy);
  return 0;
}
