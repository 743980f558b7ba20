#include "cexdib.h"

#include <cstring>
#include <new>

CCeXDib::~CCeXDib() { free(); }

void CCeXDib::free() {
  if (m_hMemDC) {
    if (m_hOldBitmap) SelectObject(m_hMemDC, m_hOldBitmap);
    DeleteDC(m_hMemDC);
  }
  if (m_hDibSection) DeleteObject(m_hDibSection);
  m_hMemDC = nullptr;
  m_hOldBitmap = nullptr;
  m_hDibSection = nullptr;
  m_lpBits = nullptr;
  m_block.reset();
  m_header = BITMAPINFOHEADER{};
  m_lineWidth = 0;
  m_colors = 0;
}

bool CCeXDib::Create(DWORD dwWidth, DWORD dwHeight, WORD wBitCount) {
  free();
  if (wBitCount != 1 && wBitCount != 4 && wBitCount != 8 && wBitCount != 24) return false;
  if (dwWidth == 0 || dwHeight == 0 || dwWidth > kMaxSide || dwHeight > kMaxSide) return false;
  // At most 16384 x 3 bytes a row and 16384 rows: well inside 32 bits.
  const std::size_t line = ((static_cast<std::size_t>(dwWidth) * wBitCount + 31) / 32) * 4;
  const std::size_t colors = wBitCount <= 8 ? (std::size_t{1} << wBitCount) : 0;
  const std::size_t pixels = line * dwHeight;
  const std::size_t size = sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD) + pixels;
  m_block.reset(new (std::nothrow) BYTE[size]());
  if (!m_block) return false;
  m_header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER),
                              static_cast<LONG>(dwWidth),
                              static_cast<LONG>(dwHeight),
                              1,
                              wBitCount,
                              BI_RGB,
                              static_cast<DWORD>(pixels),
                              0,
                              0,
                              0,
                              0};
  std::memcpy(m_block.get(), &m_header, sizeof m_header);
  m_lineWidth = static_cast<DWORD>(line);
  m_colors = static_cast<DWORD>(colors);
  return true;
}

bool CCeXDib::SetPaletteIndex(BYTE byIdx, BYTE byR, BYTE byG, BYTE byB) {
  if (!m_block || byIdx >= m_colors) return false;
  const RGBQUAD entry{byB, byG, byR, 0};
  std::memcpy(m_block.get() + sizeof(BITMAPINFOHEADER) + byIdx * sizeof(RGBQUAD), &entry, sizeof entry);
  return true;
}

BYTE* CCeXDib::GetBits() {
  if (!m_block) return nullptr;
  return m_block.get() + sizeof(BITMAPINFOHEADER) + m_colors * sizeof(RGBQUAD);
}

void CCeXDib::Draw(HDC hDC, DWORD dwX, DWORD dwY) {
  if (!m_block || !hDC) return;
  if (!m_hDibSection) {
    const auto* info = reinterpret_cast<const BITMAPINFO*>(m_block.get());
    m_hMemDC = CreateCompatibleDC(hDC);
    if (!m_hMemDC) return;
    m_hDibSection = CreateDIBSection(m_hMemDC, info, DIB_RGB_COLORS, &m_lpBits, nullptr, 0);
    if (!m_hDibSection || !m_lpBits) {
      DeleteDC(m_hMemDC);
      m_hMemDC = nullptr;
      if (m_hDibSection) DeleteObject(m_hDibSection);
      m_hDibSection = nullptr;
      m_lpBits = nullptr;
      return;
    }
    m_hOldBitmap = SelectObject(m_hMemDC, m_hDibSection);
  }
  // The stored pixels may have changed since the last draw (GetBits).
  std::memcpy(m_lpBits, GetBits(), m_header.biSizeImage);
  BitBlt(hDC, static_cast<int>(dwX), static_cast<int>(dwY), m_header.biWidth, m_header.biHeight, m_hMemDC, 0, 0,
         SRCCOPY);
}
