// CRect's overlap and union, by the USER layer's rules (an empty rectangle
// counts for nothing).
#include "atltypes.h"
#include "win32/user.h"

BOOL CRect::IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2) noexcept {
  // Computed apart, as either operand may be this rectangle.
  RECT overlap{};
  const BOOL overlapping = ::IntersectRect(&overlap, lpRect1, lpRect2);
  *static_cast<RECT*>(this) = overlap;
  return overlapping;
}

BOOL CRect::UnionRect(LPCRECT lpRect1, LPCRECT lpRect2) noexcept {
  RECT both{};
  const BOOL nonEmpty = ::UnionRect(&both, lpRect1, lpRect2);
  *static_cast<RECT*>(this) = both;
  return nonEmpty;
}
