// The process's GDI object table: handles of device contexts, bitmaps,
// brushes, pens, fonts, palettes and icons.
//
// GDI handles are a table of their own, apart from kernel handles (CloseHandle
// does not close a brush). A device context keeps the objects selected into
// it alive; DeleteObject refuses an object that is still selected, and never
// deletes a stock object.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "win32/errors.h"
#include "win32/gdi.h"
#include "winsim/surface.h"

namespace winsim::font {
class Face;
}

namespace winsim::gdi {

enum class Kind { DeviceContext, Bitmap, Brush, Pen, Font, Palette, Icon };

class Object {
 public:
  explicit Object(Kind kind) : m_kind(kind) {}
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  Kind kind() const { return m_kind; }
  void* handle() const { return m_handle; }
  bool isStock() const { return m_stock; }

 private:
  friend void* registerObject(std::shared_ptr<Object> object, bool stock);
  friend bool removeObject(const void* handle);
  friend class SelectionLock;

  Kind m_kind;
  void* m_handle = nullptr;
  bool m_stock = false;
  int m_selections = 0;  // device contexts that hold it selected; guarded by the table lock
};

/// Adds an object to the table; returns its new handle. A stock object is
/// never removed.
void* registerObject(std::shared_ptr<Object> object, bool stock);
inline void* addObject(std::shared_ptr<Object> object) { return registerObject(std::move(object), false); }
std::shared_ptr<Object> lookupObject(const void* handle);
/// The object of a handle if it is of kind T::kKind, else null.
template <class T>
std::shared_ptr<T> lookup(const void* handle) {
  auto object = lookupObject(handle);
  if (!object || object->kind() != T::kKind) return nullptr;
  return std::static_pointer_cast<T>(object);
}
/// Removes a handle. Fails (false) for unknown, stock and selected objects.
bool removeObject(const void* handle);

/// Holds the table lock to change which device contexts hold an object.
class SelectionLock {
 public:
  SelectionLock();
  ~SelectionLock();
  SelectionLock(const SelectionLock&) = delete;
  SelectionLock& operator=(const SelectionLock&) = delete;
  int selections(const Object& object) const { return object.m_selections; }
  void select(Object& object) { ++object.m_selections; }
  void deselect(Object& object) { --object.m_selections; }
};

class BrushObject : public Object {
 public:
  static constexpr Kind kKind = Kind::Brush;
  enum class Style { Solid, Null, Pattern };

  BrushObject(Style style, COLORREF color) : Object(kKind), m_style(style), m_color(color) {}
  BrushObject(std::shared_ptr<Surface> pattern, bool monochrome, ULONG_PTR bitmapHandle)
      : Object(kKind),
        m_style(Style::Pattern),
        m_pattern(std::move(pattern)),
        m_monochrome(monochrome),
        m_bitmapHandle(bitmapHandle) {}

  Style style() const { return m_style; }
  COLORREF color() const { return m_color; }
  /// The brush's own copy of its bitmap's pixels.
  const Surface* pattern() const { return m_pattern.get(); }
  /// A monochrome pattern paints its black in the text colour and its white in
  /// the background colour of the context it paints on.
  bool monochrome() const { return m_monochrome; }
  LOGBRUSH logBrush() const;

 private:
  Style m_style;
  COLORREF m_color = 0;
  std::shared_ptr<Surface> m_pattern;
  bool m_monochrome = false;
  ULONG_PTR m_bitmapHandle = 0;
};

class PenObject : public Object {
 public:
  static constexpr Kind kKind = Kind::Pen;
  PenObject(int style, int width, COLORREF color) : Object(kKind), m_style(style), m_width(width), m_color(color) {}
  int style() const { return m_style; }
  int width() const { return m_width; }
  COLORREF color() const { return m_color; }
  bool isNull() const { return m_style == PS_NULL; }

 private:
  int m_style;
  int m_width;
  COLORREF m_color;
};

class FontObject : public Object {
 public:
  static constexpr Kind kKind = Kind::Font;
  explicit FontObject(const LOGFONTW& font) : Object(kKind), m_font(font) {}
  const LOGFONTW& logFont() const { return m_font; }
  /// The FreeType face for this font, realised on first use; null (with the
  /// last error set) when no face file can be opened.
  std::shared_ptr<font::Face> face();

 private:
  LOGFONTW m_font;
  std::mutex m_mutex;
  std::shared_ptr<font::Face> m_face;
};

class PaletteObject : public Object {
 public:
  static constexpr Kind kKind = Kind::Palette;
  explicit PaletteObject(std::vector<PALETTEENTRY> entries) : Object(kKind), m_entries(std::move(entries)) {}
  const std::vector<PALETTEENTRY>& entries() const { return m_entries; }

 private:
  std::vector<PALETTEENTRY> m_entries;
};

/// Stock objects by GetStockObject index; null for an index without one.
std::shared_ptr<Object> stockObject(int index);
/// The brush a system-colour index paints with (GetSysColorBrush).
std::shared_ptr<BrushObject> sysColorBrush(int index);
/// The brush of a handle, or of a system colour given as (HBRUSH)(COLOR_* + 1).
std::shared_ptr<BrushObject> brushOrSysColor(HBRUSH brush);

/// Sets the last error and returns `result`: the one place API functions
/// report a failure.
template <class T>
T fail(DWORD error, T result) {
  SetLastError(error);
  return result;
}

}  // namespace winsim::gdi
