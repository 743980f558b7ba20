#include "dibitmap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr WORD kBitmapFileType = 0x4D42;  // "BM"
constexpr std::size_t kFileHeaderSize = sizeof(BITMAPFILEHEADER);
constexpr std::size_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
/// A read picture always gets room for a full 256-entry table.
constexpr std::size_t kFullTableSize = 256 * sizeof(RGBQUAD);
/// The largest side accepted from a file (as the GDI layer's own limit).
constexpr LONG kMaxSide = 32767;

/// Bytes per row of a DIB: the bits of a row, padded to 4 bytes.
std::uint64_t dibStride(int bitCount, LONG width) {
  return (static_cast<std::uint64_t>(bitCount) * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
}

std::uint64_t rowCount(const BITMAPINFOHEADER& header) {
  return header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
}

bool isKnownBitCount(int bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

}  // namespace

CDIBitmap::~CDIBitmap() = default;

BITMAPINFO* CDIBitmap::info() const { return reinterpret_cast<BITMAPINFO*>(m_info.get()); }

const BITMAPINFO* CDIBitmap::GetHeaderPtr() const { return info(); }

int CDIBitmap::GetWidth() const { return m_info ? info()->bmiHeader.biWidth : 0; }

int CDIBitmap::GetHeight() const { return m_info ? static_cast<int>(rowCount(info()->bmiHeader)) : 0; }

int CDIBitmap::GetBitCount() const { return m_info ? info()->bmiHeader.biBitCount : 0; }

int CDIBitmap::colorCount() const {
  if (!m_info) return 0;
  const BITMAPINFOHEADER& header = info()->bmiHeader;
  if (header.biBitCount > 8) return 0;
  std::size_t const wanted = header.biClrUsed != 0 ? header.biClrUsed : std::size_t{1} << header.biBitCount;
  // Never more entries than the block holds, whatever the header claims.
  std::size_t const stored = (m_infoSize - kInfoHeaderSize) / sizeof(RGBQUAD);
  return static_cast<int>(std::min(wanted, stored));
}

void CDIBitmap::clear() {
  m_bits.reset();
  m_bitsSize = 0;
  m_info.reset();
  m_infoSize = 0;
}

bool CDIBitmap::createPalette() {
  m_palette.reset();
  if (!m_info || info()->bmiHeader.biBitCount > 8) return false;
  int const entries = colorCount();
  if (entries == 0) return false;
  std::vector<BYTE> block(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(entries);
  const RGBQUAD* table = info()->bmiColors;
  for (int i = 0; i < entries; ++i) {
    logical->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
  }
  auto palette = std::make_unique<CPalette>();
  if (!palette->CreatePalette(logical)) return false;
  m_palette = std::move(palette);
  return true;
}

int CDIBitmap::LoadFromBitmap(HBITMAP hBitmap, CDC* pDC) {
  if (copyBitmap(hBitmap, pDC) != nullptr) {
    clear();
    return 0;
  }
  return 1;
}

CDIBitmap::Failure CDIBitmap::copyBitmap(HBITMAP hBitmap, CDC* pDC) {
  BITMAP bm{};
  int const queried = GetObjectW(hBitmap, sizeof bm, &bm);
  clear();
  if (queried == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0) return "could not query the bitmap\n";

  int const bitsPerPixel = bm.bmBitsPixel;
  std::uint64_t const rowBytes = (static_cast<std::uint64_t>(bm.bmWidth) * (bitsPerPixel <= 8 ? 1 : 3) + 3) / 4 * 4;
  std::uint64_t const total = rowBytes * static_cast<std::uint64_t>(bm.bmHeight);
  m_bits.reset(new (std::nothrow) BYTE[total]);
  if (!m_bits) return "could not allocate data storage\n";
  m_bitsSize = total;

  int const colors = bitsPerPixel == 1 ? 2 : bitsPerPixel == 4 ? 16 : bitsPerPixel == 8 ? 256 : 0;
  m_infoSize = kInfoHeaderSize + sizeof(RGBQUAD) * colors;
  m_info.reset(new (std::nothrow) BYTE[m_infoSize]());
  if (!m_info) return "could not allocate BITMAPINFO struct\n";

  BITMAPINFOHEADER& header = info()->bmiHeader;
  header.biSize = kInfoHeaderSize;
  header.biWidth = bm.bmWidth;
  header.biHeight = bm.bmHeight;
  header.biPlanes = bm.bmPlanes;
  header.biBitCount = static_cast<WORD>(bitsPerPixel <= 8 ? bitsPerPixel : 24);
  header.biCompression = BI_RGB;
  header.biSizeImage =
      static_cast<DWORD>(dibStride(bitsPerPixel, bm.bmWidth) * static_cast<std::uint64_t>(bm.bmHeight));

  int const rows =
      GetDIBits(pDC->GetSafeHdc(), hBitmap, 0, static_cast<UINT>(bm.bmHeight), m_bits.get(), info(), DIB_RGB_COLORS);
  if (rows < bm.bmHeight) return "call to GetDIBits did not return full number of requested scan lines\n";
  createPalette();
  m_bFromFile = 0;
  return nullptr;
}

int CDIBitmap::Load(LPCWSTR lpszFileName) {
  CFile file;
  if (!file.Open(lpszFileName, CFile::modeRead | CFile::shareDenyWrite)) return 0;
  return Read(file);
}

int CDIBitmap::Read(CFile& file) {
  if (readStream(file) != nullptr) {
    clear();
    return 0;
  }
  return 1;
}

CDIBitmap::Failure CDIBitmap::readStream(CFile& file) {
  clear();
  ULONGLONG const start = file.GetPosition();
  ULONGLONG const length = file.GetLength();

  BITMAPFILEHEADER fileHeader{};
  if (file.Read(&fileHeader, kFileHeaderSize) != kFileHeaderSize || fileHeader.bfType != kBitmapFileType) {
    return "Error:Unexpected file type, not a DIB\n";
  }
  BITMAPINFOHEADER header{};
  if (file.Read(&header, kInfoHeaderSize) != kInfoHeaderSize) return "Error:the info header is cut short\n";
  if (header.biSize != kInfoHeaderSize) return "Error:OS2 PM BMP Format not supported\n";

  // The sizes are the file's word: hold them against the stream and the
  // header's own rows before a byte is allocated.
  if (fileHeader.bfOffBits < kFileHeaderSize + kInfoHeaderSize || fileHeader.bfSize <= fileHeader.bfOffBits) {
    return "Error:the pixel data lies outside the file\n";
  }
  std::uint64_t const pixelBytes = fileHeader.bfSize - fileHeader.bfOffBits;
  if (length < start || length - start < static_cast<std::uint64_t>(fileHeader.bfOffBits) + pixelBytes) {
    return "Error:the file is shorter than its header says\n";
  }
  if (!isKnownBitCount(header.biBitCount) || header.biCompression != BI_RGB) {
    return "Error:compressed or unknown pixel format\n";
  }
  if (header.biWidth <= 0 || header.biWidth > kMaxSide || header.biHeight == 0 || header.biHeight > kMaxSide ||
      header.biHeight < -kMaxSide) {
    return "Error:the picture's size is out of range\n";
  }
  if (header.biBitCount <= 8 && header.biClrUsed > 256) return "Error:the colour table is too long\n";
  if (pixelBytes < dibStride(header.biBitCount, header.biWidth) * rowCount(header)) {
    return "Error:the pixel data is shorter than the picture's rows\n";
  }

  m_infoSize = kInfoHeaderSize + kFullTableSize;
  m_info.reset(new (std::nothrow) BYTE[m_infoSize]());
  if (!m_info) return "could not allocate BITMAPINFO struct\n";
  std::memcpy(m_info.get(), &header, kInfoHeaderSize);
  // The table is read whole whatever the depth; a short picture simply
  // leaves the rest of it zero.
  file.Read(m_info.get() + kInfoHeaderSize, kFullTableSize);

  m_bits.reset(new (std::nothrow) BYTE[pixelBytes]);
  if (!m_bits) return "could not allocate data storage\n";
  m_bitsSize = pixelBytes;
  if (file.Seek(static_cast<LONGLONG>(start + fileHeader.bfOffBits), CFile::begin) == CFile::kSeekFailed ||
      file.Read(m_bits.get(), static_cast<UINT>(pixelBytes)) != pixelBytes) {
    return "Error:the pixel data could not be read\n";
  }
  createPalette();
  m_bFromFile = 1;
  return nullptr;
}

int CDIBitmap::Save(LPCWSTR lpszFileName) {
  CFile file;
  if (!file.Open(lpszFileName, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) return 0;
  return Write(file);
}

int CDIBitmap::Write(CFile& file) {
  if (!IsValid()) return 0;
  BITMAPINFOHEADER header = info()->bmiHeader;
  // Rows fetched from a bitmap are already laid out at the DIB stride, each
  // padded to 4 bytes, whatever the block allocated for them: writing the
  // stride's worth of every row is the packing a .bmp file wants.
  std::uint64_t const pixelBytes =
      std::min<std::uint64_t>(dibStride(header.biBitCount, header.biWidth) * rowCount(header), m_bitsSize);
  std::size_t const tableBytes = sizeof(RGBQUAD) * colorCount();

  BITMAPFILEHEADER fileHeader{};
  fileHeader.bfType = kBitmapFileType;
  fileHeader.bfOffBits = static_cast<DWORD>(kFileHeaderSize + header.biSize + tableBytes);
  fileHeader.bfSize = static_cast<DWORD>(fileHeader.bfOffBits + pixelBytes);
  header.biSizeImage = 0;
  // A full disk refuses the bytes: the caller hears it rather than keeping a
  // cut picture.
  bool const written = file.Write(&fileHeader, kFileHeaderSize) && file.Write(&header, kInfoHeaderSize) &&
                       file.Write(info()->bmiColors, static_cast<UINT>(tableBytes)) &&
                       file.Write(m_bits.get(), static_cast<UINT>(pixelBytes));
  return written ? 1 : 0;
}

void CDIBitmap::DrawDIBSection(CDC* pDC, int x, int y, int nWidth, int nHeight, int xSrc, int ySrc) {
  if (!IsValid()) return;
  const BITMAPINFOHEADER& header = info()->bmiHeader;
  // The section is given from the top-left corner; a bottom-up DIB counts
  // its source rows from the bottom.
  int const rows = static_cast<int>(rowCount(header));
  int const ySrcDib = header.biHeight > 0 ? rows - ySrc - nHeight : ySrc;
  SetDIBitsToDevice(pDC->GetSafeHdc(), x, y, static_cast<DWORD>(nWidth), static_cast<DWORD>(nHeight), xSrc, ySrcDib, 0,
                    static_cast<UINT>(rows), m_bits.get(), info(), DIB_RGB_COLORS);
}

void CDIBitmap::DrawDIB(CDC* pDC, int x, int y, int nWidth, int nHeight) {
  CPalette* oldPalette = nullptr;
  if (m_palette) {
    oldPalette = pDC->SelectPalette(m_palette.get(), FALSE);
    pDC->RealizePalette();
    pDC->SetStretchBltMode(COLORONCOLOR);
  }
  if (m_info) {
    StretchDIBits(pDC->GetSafeHdc(), x, y, nWidth, nHeight, 0, 0, GetWidth(), GetHeight(), m_bits.get(), info(),
                  DIB_RGB_COLORS, SRCCOPY);
  }
  if (oldPalette != nullptr) pDC->SelectPalette(oldPalette, FALSE);
}

void CDIBitmap::DrawDIB(CDC* pDC, int x, int y) { DrawDIB(pDC, x, y, GetWidth(), GetHeight()); }
