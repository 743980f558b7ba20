// The class library's coordinate value types: CPoint, CSize and CRect, thin
// wrappers that derive from POINT, SIZE and RECT, so that each passes where
// the platform wants a pointer to its structure (LPRECT, LPPOINT ...).
//
// A rectangle's right and bottom edges lie outside it, as everywhere on the
// platform: CRect(0, 0, 10, 5) is 10 wide and holds x = 0 to 9.
#pragma once

#include "win32/gdi.h"

class CSize : public SIZE {
 public:
  constexpr CSize() noexcept : SIZE{0, 0} {}
  constexpr CSize(int initCX, int initCY) noexcept : SIZE{initCX, initCY} {}
  constexpr CSize(SIZE initSize) noexcept : SIZE(initSize) {}
  constexpr explicit CSize(POINT initPt) noexcept : SIZE{initPt.x, initPt.y} {}

  constexpr bool operator==(SIZE size) const noexcept { return cx == size.cx && cy == size.cy; }
  constexpr bool operator!=(SIZE size) const noexcept { return !(*this == size); }
  constexpr bool operator==(const CSize& size) const noexcept { return cx == size.cx && cy == size.cy; }
  constexpr bool operator!=(const CSize& size) const noexcept { return !(*this == size); }
  constexpr void operator+=(SIZE size) noexcept {
    cx += size.cx;
    cy += size.cy;
  }
  constexpr void operator-=(SIZE size) noexcept {
    cx -= size.cx;
    cy -= size.cy;
  }
  constexpr void SetSize(int CX, int CY) noexcept {
    cx = CX;
    cy = CY;
  }
  constexpr CSize operator+(SIZE size) const noexcept { return CSize(cx + size.cx, cy + size.cy); }
  constexpr CSize operator-(SIZE size) const noexcept { return CSize(cx - size.cx, cy - size.cy); }
  constexpr CSize operator-() const noexcept { return CSize(-cx, -cy); }
};

class CPoint : public POINT {
 public:
  constexpr CPoint() noexcept : POINT{0, 0} {}
  constexpr CPoint(int initX, int initY) noexcept : POINT{initX, initY} {}
  constexpr CPoint(POINT initPt) noexcept : POINT(initPt) {}
  constexpr explicit CPoint(SIZE initSize) noexcept : POINT{initSize.cx, initSize.cy} {}
  /// The signed coordinates packed into a mouse message's lParam.
  explicit CPoint(LPARAM dwPoint) noexcept
      : POINT{static_cast<SHORT>(dwPoint & 0xFFFF), static_cast<SHORT>((dwPoint >> 16) & 0xFFFF)} {}

  constexpr void Offset(int xOffset, int yOffset) noexcept {
    x += xOffset;
    y += yOffset;
  }
  constexpr void Offset(POINT point) noexcept { Offset(point.x, point.y); }
  constexpr void Offset(SIZE size) noexcept { Offset(size.cx, size.cy); }
  constexpr void SetPoint(int X, int Y) noexcept {
    x = X;
    y = Y;
  }

  constexpr bool operator==(POINT point) const noexcept { return x == point.x && y == point.y; }
  constexpr bool operator!=(POINT point) const noexcept { return !(*this == point); }
  constexpr bool operator==(const CPoint& point) const noexcept { return x == point.x && y == point.y; }
  constexpr bool operator!=(const CPoint& point) const noexcept { return !(*this == point); }
  constexpr void operator+=(SIZE size) noexcept { Offset(size); }
  constexpr void operator-=(SIZE size) noexcept { Offset(-size.cx, -size.cy); }
  constexpr void operator+=(POINT point) noexcept { Offset(point); }
  constexpr void operator-=(POINT point) noexcept { Offset(-point.x, -point.y); }
  constexpr CPoint operator+(SIZE size) const noexcept { return CPoint(x + size.cx, y + size.cy); }
  constexpr CPoint operator-(SIZE size) const noexcept { return CPoint(x - size.cx, y - size.cy); }
  constexpr CPoint operator+(POINT point) const noexcept { return CPoint(x + point.x, y + point.y); }
  /// The distance between two points, as a size.
  constexpr CSize operator-(POINT point) const noexcept { return CSize(x - point.x, y - point.y); }
  constexpr CPoint operator-() const noexcept { return CPoint(-x, -y); }
};

class CRect : public RECT {
 public:
  constexpr CRect() noexcept : RECT{0, 0, 0, 0} {}
  constexpr CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
  constexpr CRect(const RECT& srcRect) noexcept : RECT(srcRect) {}
  constexpr CRect(LPCRECT lpSrcRect) noexcept : RECT(*lpSrcRect) {}
  constexpr CRect(POINT point, SIZE size) noexcept : RECT{point.x, point.y, point.x + size.cx, point.y + size.cy} {}
  constexpr CRect(POINT topLeft, POINT bottomRight) noexcept
      : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

  constexpr int Width() const noexcept { return right - left; }
  constexpr int Height() const noexcept { return bottom - top; }
  constexpr CSize Size() const noexcept { return CSize(Width(), Height()); }
  /// The corners as points that can be changed in place, as the platform's
  /// class gives them (the rectangle's first and second POINT).
  CPoint& TopLeft() noexcept { return *reinterpret_cast<CPoint*>(&left); }
  CPoint& BottomRight() noexcept { return *reinterpret_cast<CPoint*>(&right); }
  constexpr CPoint TopLeft() const noexcept { return CPoint(left, top); }
  constexpr CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
  constexpr CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }

  operator LPRECT() noexcept { return this; }
  operator LPCRECT() const noexcept { return this; }

  /// No area: the width or the height is zero or negative.
  constexpr BOOL IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
  /// All four edges zero.
  constexpr BOOL IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  constexpr BOOL PtInRect(POINT point) const noexcept {
    return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
  }
  constexpr BOOL EqualRect(LPCRECT lpRect) const noexcept {
    return left == lpRect->left && top == lpRect->top && right == lpRect->right && bottom == lpRect->bottom;
  }

  constexpr void SetRect(int x1, int y1, int x2, int y2) noexcept {
    left = x1;
    top = y1;
    right = x2;
    bottom = y2;
  }
  constexpr void SetRect(POINT topLeft, POINT bottomRight) noexcept {
    SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
  }
  constexpr void SetRectEmpty() noexcept { SetRect(0, 0, 0, 0); }
  constexpr void CopyRect(LPCRECT lpSrcRect) noexcept { *static_cast<RECT*>(this) = *lpSrcRect; }

  /// Moves each edge outwards (inwards for Deflate) by the amounts given.
  constexpr void InflateRect(int x, int y) noexcept { InflateRect(x, y, x, y); }
  constexpr void InflateRect(SIZE size) noexcept { InflateRect(size.cx, size.cy); }
  constexpr void InflateRect(LPCRECT lpRect) noexcept {
    InflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
  }
  constexpr void InflateRect(int l, int t, int r, int b) noexcept {
    left -= l;
    top -= t;
    right += r;
    bottom += b;
  }
  constexpr void DeflateRect(int x, int y) noexcept { InflateRect(-x, -y); }
  constexpr void DeflateRect(SIZE size) noexcept { InflateRect(-size.cx, -size.cy); }
  constexpr void DeflateRect(LPCRECT lpRect) noexcept {
    InflateRect(-lpRect->left, -lpRect->top, -lpRect->right, -lpRect->bottom);
  }
  constexpr void DeflateRect(int l, int t, int r, int b) noexcept { InflateRect(-l, -t, -r, -b); }

  constexpr void OffsetRect(int x, int y) noexcept {
    left += x;
    right += x;
    top += y;
    bottom += y;
  }
  constexpr void OffsetRect(POINT point) noexcept { OffsetRect(point.x, point.y); }
  constexpr void OffsetRect(SIZE size) noexcept { OffsetRect(size.cx, size.cy); }
  constexpr void MoveToX(int x) noexcept {
    right = x + Width();
    left = x;
  }
  constexpr void MoveToY(int y) noexcept {
    bottom = y + Height();
    top = y;
  }
  constexpr void MoveToXY(int x, int y) noexcept {
    MoveToX(x);
    MoveToY(y);
  }
  constexpr void MoveToXY(POINT point) noexcept { MoveToXY(point.x, point.y); }
  /// Swaps edges so that left <= right and top <= bottom.
  constexpr void NormalizeRect() noexcept {
    if (left > right) {
      const LONG t = left;
      left = right;
      right = t;
    }
    if (top > bottom) {
      const LONG t = top;
      top = bottom;
      bottom = t;
    }
  }

  /// The overlap of two rectangles; empty (all zero) and FALSE when they do
  /// not overlap.
  BOOL IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2) noexcept;
  /// The smallest rectangle holding both; an empty one counts for nothing.
  BOOL UnionRect(LPCRECT lpRect1, LPCRECT lpRect2) noexcept;

  constexpr bool operator==(const RECT& rect) const noexcept { return EqualRect(&rect); }
  constexpr bool operator!=(const RECT& rect) const noexcept { return !EqualRect(&rect); }
  // Two CRects compare through this one, not through the RECT form either
  // way round, which C++20 would find ambiguous.
  constexpr bool operator==(const CRect& rect) const noexcept { return EqualRect(&rect); }
  constexpr bool operator!=(const CRect& rect) const noexcept { return !EqualRect(&rect); }
  constexpr void operator+=(POINT point) noexcept { OffsetRect(point); }
  constexpr void operator+=(SIZE size) noexcept { OffsetRect(size); }
  constexpr void operator-=(POINT point) noexcept { OffsetRect(-point.x, -point.y); }
  constexpr void operator-=(SIZE size) noexcept { OffsetRect(-size.cx, -size.cy); }
  void operator&=(const RECT& rect) noexcept { IntersectRect(this, &rect); }
  void operator|=(const RECT& rect) noexcept { UnionRect(this, &rect); }
  constexpr CRect operator+(POINT point) const noexcept {
    CRect r(*this);
    r.OffsetRect(point);
    return r;
  }
  constexpr CRect operator-(POINT point) const noexcept {
    CRect r(*this);
    r.OffsetRect(-point.x, -point.y);
    return r;
  }
  constexpr CRect operator+(SIZE size) const noexcept {
    CRect r(*this);
    r.OffsetRect(size);
    return r;
  }
  constexpr CRect operator-(SIZE size) const noexcept {
    CRect r(*this);
    r.OffsetRect(-size.cx, -size.cy);
    return r;
  }
  CRect operator&(const RECT& rect) const noexcept {
    CRect r;
    r.IntersectRect(this, &rect);
    return r;
  }
  CRect operator|(const RECT& rect) const noexcept {
    CRect r;
    r.UnionRect(this, &rect);
    return r;
  }
};

static_assert(sizeof(CRect) == sizeof(RECT) && sizeof(CPoint) == sizeof(POINT) && sizeof(CSize) == sizeof(SIZE),
              "the value types are their platform structures");
