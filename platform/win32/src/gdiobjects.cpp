#include "gdiobjects.h"

#include <array>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "gdibitmap.h"
#include "gdidc.h"

namespace winsim::gdi {

namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<std::uintptr_t, std::shared_ptr<Object>> objects;
  // Handles are never reused, so a stale handle never names a newer object.
  // Values start above the system-colour brushes' (HBRUSH)(COLOR_* + 1).
  std::uintptr_t next = 0x10000;
};

// Never destroyed: device contexts and bitmaps of other layers may be
// released by their static destructors after ours ran.
Table& table() {
  static Table* instance = new Table;
  return *instance;
}

}  // namespace

void* registerObject(std::shared_ptr<Object> object, bool stock) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  t.next += 4;
  auto* handle = reinterpret_cast<void*>(t.next);
  object->m_handle = handle;
  object->m_stock = stock;
  t.objects.emplace(t.next, std::move(object));
  return handle;
}

std::shared_ptr<Object> lookupObject(const void* handle) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == t.objects.end() ? nullptr : it->second;
}

bool removeObject(const void* handle) {
  std::shared_ptr<Object> removed;  // released after the lock
  Table& t = table();
  std::lock_guard lock(t.mutex);
  auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == t.objects.end() || it->second->isStock()) return false;
  if (it->second->m_selections > 0) return false;
  removed = std::move(it->second);
  t.objects.erase(it);
  return true;
}

SelectionLock::SelectionLock() { table().mutex.lock(); }
SelectionLock::~SelectionLock() { table().mutex.unlock(); }

LOGBRUSH BrushObject::logBrush() const {
  switch (m_style) {
    case Style::Solid:
      return LOGBRUSH{BS_SOLID, m_color, 0};
    case Style::Null:
      return LOGBRUSH{BS_NULL, 0, 0};
    case Style::Pattern:
      return LOGBRUSH{BS_PATTERN, 0, m_bitmapHandle};
  }
  return LOGBRUSH{};
}

namespace {

LOGFONTW stockFont(LONG height, LONG weight, const char16_t* face) {
  LOGFONTW font{};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  for (int i = 0; face[i] != 0 && i < LF_FACESIZE - 1; ++i) font.lfFaceName[i] = face[i];
  return font;
}

// The 20 reserved colours of the default palette.
std::vector<PALETTEENTRY> defaultPaletteEntries() {
  const BYTE colors[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
                              {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
                              {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
                              {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  std::vector<PALETTEENTRY> entries;
  for (const auto& c : colors) entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
  return entries;
}

struct Stock {
  std::array<std::shared_ptr<Object>, 18> objects;
  std::shared_ptr<BitmapObject> defaultBitmap;
};

const Stock& stock() {
  static const Stock* instance = [] {
    auto* s = new Stock;
    auto put = [&](int index, std::shared_ptr<Object> object) {
      registerObject(object, true);
      s->objects[static_cast<std::size_t>(index)] = std::move(object);
    };
    put(WHITE_BRUSH, std::make_shared<BrushObject>(BrushObject::Style::Solid, RGB(255, 255, 255)));
    put(LTGRAY_BRUSH, std::make_shared<BrushObject>(BrushObject::Style::Solid, RGB(192, 192, 192)));
    put(GRAY_BRUSH, std::make_shared<BrushObject>(BrushObject::Style::Solid, RGB(128, 128, 128)));
    put(DKGRAY_BRUSH, std::make_shared<BrushObject>(BrushObject::Style::Solid, RGB(64, 64, 64)));
    put(BLACK_BRUSH, std::make_shared<BrushObject>(BrushObject::Style::Solid, RGB(0, 0, 0)));
    put(NULL_BRUSH, std::make_shared<BrushObject>(BrushObject::Style::Null, 0));
    put(WHITE_PEN, std::make_shared<PenObject>(PS_SOLID, 0, RGB(255, 255, 255)));
    put(BLACK_PEN, std::make_shared<PenObject>(PS_SOLID, 0, RGB(0, 0, 0)));
    put(NULL_PEN, std::make_shared<PenObject>(PS_NULL, 0, 0));
    put(ANSI_VAR_FONT, std::make_shared<FontObject>(stockFont(-11, FW_NORMAL, u"MS Sans Serif")));
    // The platform's System font is a bold bitmap face with a 16-pixel cell.
    put(SYSTEM_FONT, std::make_shared<FontObject>(stockFont(16, FW_BOLD, u"System")));
    put(DEFAULT_PALETTE, std::make_shared<PaletteObject>(defaultPaletteEntries()));
    put(DEFAULT_GUI_FONT, std::make_shared<FontObject>(stockFont(-11, FW_NORMAL, u"MS Shell Dlg")));
    auto bitmap = BitmapObject::createDevice(1, 1, BitmapObject::Device::Monochrome);
    s->defaultBitmap = std::move(*bitmap);
    registerObject(s->defaultBitmap, true);
    return s;
  }();
  return *instance;
}

}  // namespace

std::shared_ptr<Object> stockObject(int index) {
  if (index < 0 || index >= static_cast<int>(stock().objects.size())) return nullptr;
  return stock().objects[static_cast<std::size_t>(index)];
}

std::shared_ptr<BitmapObject> defaultBitmap() { return stock().defaultBitmap; }

}  // namespace winsim::gdi

using namespace winsim::gdi;

HGDIOBJ GetStockObject(int i) {
  auto object = stockObject(i);
  return object ? object->handle() : nullptr;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  auto dc = lookup<DeviceContext>(hdc);
  auto object = lookupObject(h);
  if (!dc || !object) return fail<HGDIOBJ>(ERROR_INVALID_HANDLE, nullptr);
  auto previous = dc->select(object);
  if (!previous) return fail<HGDIOBJ>(ERROR_INVALID_PARAMETER, nullptr);
  return previous->handle();
}

BOOL DeleteObject(HGDIOBJ ho) {
  auto object = lookupObject(ho);
  if (!object || object->kind() == Kind::DeviceContext || object->kind() == Kind::Icon)
    return fail(ERROR_INVALID_HANDLE, FALSE);
  if (object->isStock()) return TRUE;
  object.reset();
  // A selected object stays: the platform refuses to delete it.
  return removeObject(ho) ? TRUE : fail(ERROR_BUSY, FALSE);
}

int GetObjectW(HANDLE h, int c, LPVOID pv) {
  auto object = lookupObject(h);
  if (!object) return fail(ERROR_INVALID_HANDLE, 0);
  auto give = [&](const void* data, int size) {
    if (pv == nullptr) return size;
    if (c <= 0) return fail(ERROR_INSUFFICIENT_BUFFER, 0);
    int const n = std::min(c, size);
    std::memcpy(pv, data, static_cast<std::size_t>(n));
    return n;
  };
  switch (object->kind()) {
    case Kind::Bitmap: {
      auto& bitmap = static_cast<BitmapObject&>(*object);
      // A DIB section answers with a DIBSECTION when the buffer holds one.
      if (bitmap.isSection() && (pv == nullptr || c >= static_cast<int>(sizeof(DIBSECTION)))) {
        DIBSECTION const info = bitmap.sectionInfo();
        return give(&info, sizeof info);
      }
      BITMAP const info = bitmap.bitmapInfo();
      return give(&info, sizeof info);
    }
    case Kind::Brush: {
      LOGBRUSH const info = static_cast<BrushObject&>(*object).logBrush();
      return give(&info, sizeof info);
    }
    case Kind::Pen: {
      auto& pen = static_cast<PenObject&>(*object);
      LOGPEN const info{static_cast<UINT>(pen.style()), POINT{pen.width(), 0}, pen.color()};
      return give(&info, sizeof info);
    }
    case Kind::Font:
      return give(&static_cast<FontObject&>(*object).logFont(), sizeof(LOGFONTW));
    case Kind::Palette: {
      WORD const count = static_cast<WORD>(static_cast<PaletteObject&>(*object).entries().size());
      return give(&count, sizeof count);
    }
    case Kind::DeviceContext:
    case Kind::Icon:
      break;
  }
  return fail(ERROR_INVALID_HANDLE, 0);
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  auto dc = lookup<DeviceContext>(hdc);
  if (!dc) return fail<HGDIOBJ>(ERROR_INVALID_HANDLE, nullptr);
  switch (type) {
    case OBJ_PEN:
      return dc->pen()->handle();
    case OBJ_BRUSH:
      return dc->brush()->handle();
    case OBJ_FONT:
      return dc->font()->handle();
    case OBJ_PAL:
      return dc->palette()->handle();
    case OBJ_BITMAP:
      return dc->bitmap() ? dc->bitmap()->handle() : nullptr;
    default:
      return fail<HGDIOBJ>(ERROR_INVALID_PARAMETER, nullptr);
  }
}

DWORD GetObjectType(HGDIOBJ h) {
  auto object = lookupObject(h);
  if (!object) return fail(ERROR_INVALID_HANDLE, DWORD{0});
  switch (object->kind()) {
    case Kind::DeviceContext:
      return static_cast<DeviceContext&>(*object).isMemory() ? OBJ_MEMDC : OBJ_DC;
    case Kind::Bitmap:
      return OBJ_BITMAP;
    case Kind::Brush:
      return OBJ_BRUSH;
    case Kind::Pen:
      return OBJ_PEN;
    case Kind::Font:
      return OBJ_FONT;
    case Kind::Palette:
      return OBJ_PAL;
    case Kind::Icon:
      break;
  }
  return fail(ERROR_INVALID_HANDLE, DWORD{0});
}
