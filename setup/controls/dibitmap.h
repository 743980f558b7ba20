// CDIBitmap: a device-independent picture held in memory (the 40-byte info
// header with its colour table, and the pixel rows bottom-up as a .bmp file
// keeps them), with a palette for pictures of 8 bits per pixel or fewer. It
// is the background of every wizard page (CBitmapDialog): loaded once from a
// bitmap resource, then stretched or copied from memory at each erase.
//
// .bmp files are outside input: Read checks every size and offset against
// the stream before it allocates or copies, and refuses pictures whose rows
// would not fit the pixel data, so drawing never reads past the buffer.
// Every loader answers 1 or 0 and shows nothing; a failed load leaves the
// object empty.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "afxwin.h"

class CDIBitmap {
 public:
  CDIBitmap() = default;
  virtual ~CDIBitmap();
  CDIBitmap(const CDIBitmap&) = delete;
  CDIBitmap& operator=(const CDIBitmap&) = delete;

  /// Copies the section of the picture at (xSrc, ySrc), nWidth x nHeight
  /// pixels from its top-left corner, 1:1 to (x, y) of the device.
  virtual void DrawDIBSection(CDC* pDC, int x, int y, int nWidth, int nHeight, int xSrc, int ySrc);
  /// Stretches the whole picture to the rectangle (x, y, nWidth, nHeight),
  /// realising its palette first when it has one.
  virtual void DrawDIB(CDC* pDC, int x, int y, int nWidth, int nHeight);
  /// The picture at its own size.
  virtual void DrawDIB(CDC* pDC, int x, int y);
  /// Opens the .bmp file for reading and reads it (Read).
  virtual int Load(LPCWSTR lpszFileName);
  /// Reads a .bmp stream from the file's current position.
  virtual int Read(CFile& file);
  /// Creates or empties the file and writes the picture to it (Write).
  virtual int Save(LPCWSTR lpszFileName);
  /// Writes the picture as a .bmp stream at the file's current position.
  virtual int Write(CFile& file);

  /// Copies an existing bitmap into the object, at 24 bits per pixel when
  /// the bitmap has more than 8 (the context gives its colour table).
  int LoadFromBitmap(HBITMAP hBitmap, CDC* pDC);

  /// Whether the picture can be drawn (pixels and header present).
  bool IsValid() const { return m_info != nullptr && m_bits != nullptr; }
  int GetWidth() const;
  int GetHeight() const;
  int GetBitCount() const;
  /// The header and colour table; null when empty.
  const BITMAPINFO* GetHeaderPtr() const;
  /// The pixel rows, bottom-up; null when empty.
  const BYTE* GetPixelPtr() const { return m_bits.get(); }
  /// The palette of a picture of 8 bits per pixel or fewer; null otherwise.
  CPalette* GetPalette() const { return m_palette.get(); }
  /// 1 after a file was read, 0 after a bitmap was loaded.
  int IsFromFile() const { return m_bFromFile; }

 private:
  /// Why a load failed; the texts stay inside the object (none is shown).
  using Failure = const char*;

  /// Replaces the palette with one made from the colour table when the
  /// picture has 8 bits per pixel or fewer; whether a palette exists then.
  bool createPalette();
  Failure readStream(CFile& file);
  Failure copyBitmap(HBITMAP hBitmap, CDC* pDC);
  void clear();
  BITMAPINFO* info() const;
  /// The number of colour-table entries the picture uses (0 above 8 bits).
  int colorCount() const;

  // The header and colour table, as bytes so the table can be as long as
  // the picture needs.
  std::unique_ptr<BYTE[]> m_info;
  std::size_t m_infoSize = 0;
  std::unique_ptr<BYTE[]> m_bits;
  std::size_t m_bitsSize = 0;
  std::unique_ptr<CPalette> m_palette;
  int m_bFromFile = 0;
};
