// CCeXDib: one picture slot of the shaded button (CShadeButtonST): a
// device-independent picture held as an info block (header and colour
// table) followed by its pixel rows, drawn through a DIB section that is
// made from it on the first draw and then copied 1:1. An empty slot draws
// nothing.
#pragma once

#include <memory>

#include "afxwin.h"

class CCeXDib {
 public:
  /// The largest side Create accepts, so that a row and the whole picture
  /// always fit the sizes the header keeps.
  static constexpr DWORD kMaxSide = 16384;

  CCeXDib() = default;
  virtual ~CCeXDib();
  CCeXDib(const CCeXDib&) = delete;
  CCeXDib& operator=(const CCeXDib&) = delete;

  /// Makes an empty picture (pixels 0, colour table black) of 1, 4, 8 or 24
  /// bits per pixel; false, and the slot empty, for another depth or a side
  /// of 0 or above kMaxSide.
  bool Create(DWORD dwWidth, DWORD dwHeight, WORD wBitCount);
  /// Sets a colour-table entry of a picture of 8 bits per pixel or fewer.
  bool SetPaletteIndex(BYTE byIdx, BYTE byR, BYTE byG, BYTE byB);
  /// Copies the picture 1:1 to (dwX, dwY) of the device; nothing for an
  /// empty slot or one whose DIB section cannot be made.
  void Draw(HDC hDC, DWORD dwX, DWORD dwY);

  bool IsValid() const { return m_block != nullptr; }
  DWORD GetWidth() const { return m_header.biWidth; }
  DWORD GetHeight() const { return m_header.biHeight; }
  WORD GetBitCount() const { return m_header.biBitCount; }
  /// The bytes of one pixel row, a multiple of 4.
  DWORD GetLineWidth() const { return m_lineWidth; }
  DWORD GetNumColors() const { return m_colors; }
  /// The pixel rows, bottom-up, after the colour table; null when empty.
  BYTE* GetBits();

 private:
  void free();

  std::unique_ptr<BYTE[]> m_block;  // header, colour table, pixels
  BITMAPINFOHEADER m_header{};
  DWORD m_lineWidth = 0;
  DWORD m_colors = 0;
  HBITMAP m_hDibSection = nullptr;
  void* m_lpBits = nullptr;  // the DIB section's pixels
  HDC m_hMemDC = nullptr;
  HGDIOBJ m_hOldBitmap = nullptr;
};
