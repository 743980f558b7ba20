// The class library's drawing side: the device context CDC, the GDI objects
// (CGdiObject, CBitmap, CBrush, CPen, CFont, CPalette) and the files CFile
// and CMemFile, over the GDI layer (win32/gdi.h) and the C runtime's files
// (win32/crt.h).
//
// Ownership: a CDC or GDI object that created or attached its handle owns it
// and deletes it when destroyed (DeleteDC, DeleteObject); Detach hands the
// handle back without deleting it. FromHandle answers the object attached to
// a handle, or else a temporary one that never deletes its handle, owned by
// the calling thread and deleted by DeleteTempMap (the message loop calls it
// when it goes idle, and the thread's end deletes what is left): keep a
// temporary pointer no longer than the handler that got it. The temporary
// object of a GDI handle is of the handle's own class (a bitmap's is a
// CBitmap), so CBitmap::FromHandle of a brush answers null.
//
// An object still selected into a device context cannot be deleted (the GDI
// layer refuses, as the platform does): put the previous object back before
// the owner goes away, as the platform's rules ask.
//
// Failures are values, never exceptions: constructors that would throw on the
// platform leave the object empty (a null handle), and CFile::Write answers
// whether every byte was written.
#pragma once

#include <cstdint>
#include <vector>

#include "afxobject.h"
#include "afxstr.h"
#include "atltypes.h"
#include "win32/gdi.h"

class CDC;
class CGdiObject;
class CBitmap;
class CBrush;
class CPen;
class CFont;
class CPalette;

class CGdiObject : public CObject {
 public:
  CGdiObject() = default;
  /// Deletes the handle it owns.
  ~CGdiObject() override;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ m_hObject = nullptr;

  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }

  /// The object attached to the handle, else a temporary one of the handle's
  /// class; null for a null handle or one that names no GDI object.
  static CGdiObject* FromHandle(HGDIOBJ hObject);
  /// Deletes the calling thread's temporary GDI objects.
  static void DeleteTempMap();

  /// Takes ownership of a handle; FALSE when the object holds one already or
  /// the handle is null.
  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  /// Deletes the owned handle (a stock object is only let go); TRUE when
  /// the GDI layer deleted it.
  BOOL DeleteObject();
  /// GetObjectW of the handle.
  int GetObject(int nCount, LPVOID lpObject) const;
  UINT GetObjectType() const;
  /// Holds the stock object of the index (WHITE_BRUSH, HOLLOW_BRUSH,
  /// BLACK_PEN, DEFAULT_GUI_FONT ...).
  BOOL CreateStockObject(int nIndex);
};

class CBitmap : public CGdiObject {
 public:
  static CBitmap* FromHandle(HBITMAP hBitmap);
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }

  /// A bitmap resource of the resource module (AfxGetResourceHandle), as a
  /// bitmap compatible with the display.
  BOOL LoadBitmap(UINT nIDResource);
  BOOL LoadBitmap(LPCWSTR lpszResourceName);
  BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
  /// A bitmap of the format of the context's display (a memory context with
  /// only its stock bitmap makes a monochrome one, as on the platform).
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  int GetBitmap(BITMAP* pBitMap) const;
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  /// A solid brush; empty when it cannot be made.
  explicit CBrush(COLORREF crColor);
  /// A pattern brush from the bitmap (which the brush copies).
  explicit CBrush(CBitmap* pBitmap);

  static CBrush* FromHandle(HBRUSH hBrush);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }

  BOOL CreateSolidBrush(COLORREF crColor);
  BOOL CreatePatternBrush(CBitmap* pBitmap);
  int GetLogBrush(LOGBRUSH* pLogBrush) const;
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  /// Empty when the pen cannot be made.
  CPen(int nPenStyle, int nWidth, COLORREF crColor);

  static CPen* FromHandle(HPEN hPen);
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }

  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
  int GetLogPen(LOGPEN* pLogPen) const;
};

class CFont : public CGdiObject {
 public:
  static CFont* FromHandle(HFONT hFont);
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }

  BOOL CreateFontIndirect(const LOGFONTW* lpLogFont);
  BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                  BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                  BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename);
  /// A font nPointSize tenths of a point high on the context's device (the
  /// screen when pDC is null): the character height in pixels is
  /// nPointSize x LOGPIXELSY / 720, rounded.
  BOOL CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC = nullptr);
  int GetLogFont(LOGFONTW* pLogFont) const;
};

class CPalette : public CGdiObject {
 public:
  static CPalette* FromHandle(HPALETTE hPalette);
  operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }

  BOOL CreatePalette(const LOGPALETTE* lpLogPalette);
  /// The number of entries; 0 for an empty object.
  int GetEntryCount() const;
  UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const;
};

class CDC : public CObject {
 public:
  CDC() = default;
  /// Deletes the device context it owns (DeleteDC).
  ~CDC() override;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = nullptr;
  /// TRUE for a printer context; drawing surfaces here are never printers.
  BOOL m_bPrinting = FALSE;

  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL IsPrinting() const { return m_bPrinting; }

  /// The CDC attached to the handle, else a temporary one; null for null.
  static CDC* FromHandle(HDC hDC);
  /// Deletes the calling thread's temporary device contexts.
  static void DeleteTempMap();

  /// Takes ownership of a handle; FALSE when the object holds one already or
  /// the handle is null.
  BOOL Attach(HDC hDC);
  HDC Detach();
  /// A memory context compatible with pDC (the screen when null).
  BOOL CreateCompatibleDC(CDC* pDC);
  BOOL DeleteDC();

  // Objects. Each answers the previously selected object as a (possibly
  // temporary) object of the same class, or null on failure.
  CPen* SelectObject(CPen* pPen);
  CBrush* SelectObject(CBrush* pBrush);
  CFont* SelectObject(CFont* pFont);
  CBitmap* SelectObject(CBitmap* pBitmap);
  CGdiObject* SelectObject(CGdiObject* pObject);
  HGDIOBJ SelectObject(HGDIOBJ hObject);
  CGdiObject* SelectStockObject(int nIndex);
  CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground);
  UINT RealizePalette();
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;

  // State.
  COLORREF SetTextColor(COLORREF crColor);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF crColor);
  COLORREF GetBkColor() const;
  int SetBkMode(int nBkMode);
  int GetBkMode() const;
  int SetStretchBltMode(int nStretchMode);
  int GetStretchBltMode() const;
  /// The logical point shown at the device's top-left corner; answers the
  /// previous one.
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(POINT point);
  CPoint GetWindowOrg() const;
  /// The clip rectangle in logical coordinates: NULLREGION, SIMPLEREGION or
  /// RGN_ERROR.
  int GetClipBox(LPRECT lpRect) const;
  int GetDeviceCaps(int nIndex) const;

  // Block transfers.
  BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
  BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth, int nSrcHeight,
                  DWORD dwRop);
  BOOL AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                  int nSrcHeight, BLENDFUNCTION blend);
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
  COLORREF SetPixel(int x, int y, COLORREF crColor);

  // Rectangles and lines.
  void FillRect(LPCRECT lpRect, CBrush* pBrush);
  /// Fills with a colour without touching the selected brush; as on the
  /// platform, the background colour becomes that colour.
  void FillSolidRect(LPCRECT lpRect, COLORREF clr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
  void FrameRect(LPCRECT lpRect, CBrush* pBrush);
  /// A one-pixel frame: top and left edges in clrTopLeft, right and bottom
  /// edges (with the top-right and bottom-left corners) in clrBottomRight.
  void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
  BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags);
  void DrawFocusRect(LPCRECT lpRect);
  BOOL Rectangle(int x1, int y1, int x2, int y2);
  BOOL Rectangle(LPCRECT lpRect);
  /// Answers the previous current position.
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }

  // Text.
  BOOL TextOut(int x, int y, LPCWSTR lpszString, int nCount);
  BOOL TextOut(int x, int y, const CString& str);
  /// nCount -1: the text runs to its NUL.
  int DrawText(LPCWSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
  int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
  CSize GetTextExtent(LPCWSTR lpszString, int nCount) const;
  CSize GetTextExtent(const CString& str) const;
  BOOL GetTextMetrics(LPTEXTMETRICW lpMetrics) const;

  // Icons and state drawing (DrawStateW): nFlags DSS_NORMAL, DSS_DISABLED or
  // DSS_MONO; a null brush draws DSS_MONO in the text colour.
  BOOL DrawIcon(int x, int y, HICON hIcon);
  BOOL DrawIcon(POINT point, HICON hIcon) { return DrawIcon(point.x, point.y, hIcon); }
  BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush);
  BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush);
  BOOL DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush = nullptr);
};

/// What made CFile::Open fail, when the caller asks (it is never thrown).
class CFileException : public CObject {
 public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };
  int m_cause = none;
  /// The Win32 error code (also the thread's last error).
  LONG m_lOsError = 0;
  CString m_strFileName;
};

/// A binary file of the machine. Opens go through the C runtime's file layer,
/// so share modes hold among every open of the process.
class CFile : public CObject {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,  // as shareExclusive
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,  // creates, or empties unless modeNoTruncate; needs write access to empty
    modeNoTruncate = 0x2000,
    typeText = 0x4000,  // CFile is always binary: ignored
    typeBinary = 0x8000,
  };
  enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };
  /// What Seek answers when the position would fall before the start.
  static constexpr ULONGLONG kSeekFailed = ~ULONGLONG{0};

  CFile() = default;
  /// Closes the file it holds open.
  ~CFile() override;
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  /// FALSE when the file cannot be opened (what went wrong in *pError and
  /// the last error), or when this object holds an open file already.
  virtual BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
  virtual void Close();
  /// The bytes read: fewer than asked at the end of the file, 0 on failure.
  virtual UINT Read(void* lpBuf, UINT nCount);
  /// TRUE when every byte was written (a full disk refuses them).
  virtual BOOL Write(const void* lpBuf, UINT nCount);
  /// The new position from the start; kSeekFailed (and ERROR_NEGATIVE_SEEK)
  /// for a position before the start, which leaves the position unchanged.
  /// A position past the end is allowed; writing there fills the gap with 0.
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  /// The name given to Open.
  CString GetFilePath() const { return m_strFileName; }

 private:
  int m_fd = -1;
  CString m_strFileName;
};

/// A file in memory: its own block, grown nGrowBytes at a time as writes need
/// it, or a caller's buffer of fixed size that writes never go past.
class CMemFile : public CFile {
 public:
  explicit CMemFile(UINT nGrowBytes = 1024);
  /// Reads and writes the caller's buffer (kept by the caller, which must
  /// outlive the file); its whole size is the file's length.
  CMemFile(BYTE* lpBuffer, UINT nBufferSize);

  /// A memory file is open from construction: Open fails.
  BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
  /// Empties the file.
  void Close() override;
  UINT Read(void* lpBuf, UINT nCount) override;
  /// A caller's buffer refuses a write that does not fit (nothing written).
  BOOL Write(const void* lpBuf, UINT nCount) override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  ULONGLONG GetPosition() const override { return m_position; }
  ULONGLONG GetLength() const override { return m_length; }

 private:
  BYTE* data() { return m_buffer ? m_buffer : m_storage.data(); }
  /// Makes room for `size` bytes; false when a caller's buffer is too small.
  bool reserve(std::size_t size);

  UINT m_nGrowBytes;
  std::vector<BYTE> m_storage;  // its size is the capacity, grown in steps of m_nGrowBytes
  BYTE* m_buffer = nullptr;     // the caller's, when given
  std::size_t m_bufferSize = 0;
  std::size_t m_length = 0;
  std::size_t m_position = 0;
};
