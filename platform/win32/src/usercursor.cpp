// Cursors: the system's (drawn here, plainly: an arrow, an I-beam) and a
// module's cursor resources.
#include <map>
#include <mutex>
#include <string>

#include "controls.h"
#include "win32/errors.h"
#include "win32/image.h"
#include "win32/user.h"

namespace {

constexpr int kSize = 32;

// Rows of the arrow: '#' outline (black), '.' inside (white).
constexpr const char* kArrow[] = {
    "#",          "##",          "#.#",     "#..#",     "#...#",    "#....#",    "#.....#",   "#......#",   "#.......#",
    "#........#", "#.....#####", "#..#..#", "#.# #..#", "##  #..#", "#    #..#", "     #..#", "      #..#", "      ##",
};
constexpr const char* kIBeam[] = {
    "###.###", "   #", "   #", "   #", "   #", "   #", "   #", "   #",    "   #",
    "   #",    "   #", "   #", "   #", "   #", "   #", "   #", "###.###",
};

/// A monochrome cursor from a picture: mask of twice the height, AND half on
/// top (1 keeps the screen), XOR half below.
HCURSOR drawnCursor(const char* const* rows, int count, POINT hotspot) {
  constexpr int kStride = kSize / 8;
  unsigned char bits[kStride * kSize * 2];
  std::fill(bits, bits + kStride * kSize, 0xFF);
  std::fill(bits + kStride * kSize, bits + sizeof bits, 0x00);
  for (int y = 0; y < count && y < kSize; ++y) {
    for (int x = 0; rows[y][x] && x < kSize; ++x) {
      const char c = rows[y][x];
      if (c == ' ') continue;
      const unsigned char bit = static_cast<unsigned char>(0x80 >> (x % 8));
      bits[y * kStride + x / 8] &= static_cast<unsigned char>(~bit);
      if (c == '.') bits[(kSize + y) * kStride + x / 8] |= bit;
    }
  }
  HBITMAP mask = CreateBitmap(kSize, kSize * 2, 1, 1, bits);
  ICONINFO info{FALSE, static_cast<DWORD>(hotspot.x), static_cast<DWORD>(hotspot.y), mask, nullptr};
  HCURSOR cursor = CreateIconIndirect(&info);
  DeleteObject(mask);
  return cursor;
}

bool isSystemCursor(WORD id) { return (id >= 32512 && id <= 32516) || (id >= 32640 && id <= 32651 && id != 32647); }

}  // namespace

HCURSOR LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
  if (hInstance) {
    // Its first size; LoadCursorW's cursors are shared, never destroyed.
    HCURSOR cursor = static_cast<HCURSOR>(LoadImageW(hInstance, lpCursorName, IMAGE_CURSOR, 0, 0, LR_SHARED));
    if (!cursor) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return cursor;
  }
  if (!IS_INTRESOURCE(lpCursorName)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpCursorName));
  if (!isSystemCursor(id)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  // One shared handle per system cursor, as on Windows.
  static std::mutex mutex;
  static std::map<WORD, HCURSOR> cursors;
  std::lock_guard lock(mutex);
  HCURSOR& slot = cursors[id];
  if (!slot) {
    slot = id == 32513 ? drawnCursor(kIBeam, static_cast<int>(std::size(kIBeam)), POINT{3, 8})
                       : drawnCursor(kArrow, static_cast<int>(std::size(kArrow)), POINT{0, 0});
  }
  return slot;
}
