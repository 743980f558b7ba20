// LoadImageW and its shorter forms: where a picture's bytes come from (a
// module's resources or a file), the shared pictures of LR_SHARED, and the
// surface's error reporting.
#include <algorithm>
#include <climits>
#include <mutex>
#include <optional>
#include <vector>

#include "gdiobjects.h"
#include "imageloadbytes.h"
#include "win32/crt.h"
#include "win32/module.h"
#include "winsim/peresources.h"

using namespace winsim;
using namespace winsim::image;

namespace {

constexpr UINT kRecolouring = LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS;
constexpr UINT kKnownFlags =
    LR_MONOCHROME | LR_LOADFROMFILE | LR_DEFAULTSIZE | LR_VGACOLOR | LR_CREATEDIBSECTION | LR_SHARED | kRecolouring;
// What makes two loads of one picture different pictures.
constexpr UINT kShapingFlags = LR_MONOCHROME | LR_DEFAULTSIZE | LR_CREATEDIBSECTION;
// A picture file larger than this is refused before it is read.
constexpr long kMaxFileSize = 256L << 20;

Expected<std::span<const std::uint8_t>> resourceBytes(HINSTANCE instance, LPCWSTR name, LPCWSTR type) {
  HRSRC found = FindResourceW(instance, name, type);
  if (found == nullptr) return makeError(GetLastError(), "no such picture resource");
  HGLOBAL loaded = LoadResource(instance, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) return makeError(GetLastError(), "the picture resource cannot be loaded");
  return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data), SizeofResource(instance, found));
}

Expected<std::vector<std::uint8_t>> readWholeFile(LPCWSTR path) {
  int fd = -1;
  errno_t const error = _wsopen_s(&fd, path, _O_RDONLY | _O_BINARY, _SH_DENYWR, 0);
  if (error != 0) {
    DWORD const code = error == ENOENT   ? ERROR_FILE_NOT_FOUND
                       : error == EACCES ? ERROR_ACCESS_DENIED
                                         : ERROR_GEN_FAILURE;
    return makeError(code, "the picture file cannot be opened");
  }
  std::vector<std::uint8_t> bytes;
  long const size = _lseek(fd, 0, SEEK_END);
  bool ok = size >= 0 && size <= kMaxFileSize && _lseek(fd, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
      int const got =
          _read(fd, bytes.data() + done, static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, INT_MAX)));
      ok = got > 0;
      if (ok) done += static_cast<std::size_t>(got);
    }
  }
  _close(fd);
  if (!ok)
    return size > kMaxFileSize ? damaged("picture file too large")
                               : makeError(ERROR_READ_FAULT, "the picture file cannot be read");
  return bytes;
}

Expected<HANDLE> loadBitmap(HINSTANCE instance, LPCWSTR name, int cx, int cy, UINT flags) {
  if (flags & LR_LOADFROMFILE) {
    auto file = readWholeFile(name);
    if (!file) return file.error();
    auto dib = readBmpFile(*file);
    if (!dib) return dib.error();
    auto bitmap = makeBitmap(*dib, cx, cy, flags);
    if (!bitmap) return bitmap.error();
    return HANDLE{*bitmap};
  }
  if (instance == nullptr) return makeError(ERROR_RESOURCE_NAME_NOT_FOUND, "there are no system bitmaps");
  auto bytes = resourceBytes(instance, name, RT_BITMAP);
  if (!bytes) return bytes.error();
  auto dib = readPackedDib(*bytes);
  if (!dib) return dib.error();
  auto bitmap = makeBitmap(*dib, cx, cy, flags);
  if (!bitmap) return bitmap.error();
  return HANDLE{*bitmap};
}

Expected<HANDLE> loadIcon(HINSTANCE instance, LPCWSTR name, IconKind kind, int cx, int cy, UINT flags) {
  if (flags & LR_LOADFROMFILE) return makeError(ERROR_NOT_SUPPORTED, "icons and cursors are not loaded from files");
  if (instance == nullptr) {
    if (kind == IconKind::Icon) return makeError(ERROR_RESOURCE_NAME_NOT_FOUND, "there are no system icons");
    HCURSOR cursor = LoadCursorW(nullptr, name);
    if (cursor == nullptr) return makeError(GetLastError(), "no such system cursor");
    return HANDLE{cursor};
  }
  bool const isIcon = kind == IconKind::Icon;
  auto directory = resourceBytes(instance, name, isIcon ? RT_GROUP_ICON : RT_GROUP_CURSOR);
  if (!directory) return directory.error();
  auto ids = readIconDirectory(*directory, kind);
  if (!ids) return ids.error();

  // Every readable image is a candidate; a damaged or missing one is passed
  // over, and reported only when no image is left.
  std::vector<IconImage> images;
  std::vector<ImageSize> sizes;
  std::optional<Error> firstError;
  for (WORD id : *ids) {
    auto bytes = resourceBytes(instance, MAKEINTRESOURCEW(id), isIcon ? RT_ICON : RT_CURSOR);
    auto image = bytes ? readIconImage(*bytes, kind) : Expected<IconImage>(bytes.error());
    if (!image) {
      if (!firstError) firstError = image.error();
      continue;
    }
    sizes.push_back(ImageSize{image->color.width, image->color.rows, image->color.bitCount});
    images.push_back(std::move(*image));
  }
  if (images.empty()) return *firstError;

  int const defaultSide = GetSystemMetrics(isIcon ? SM_CXICON : SM_CXCURSOR);
  int const width = cx != 0 ? cx : (flags & LR_DEFAULTSIZE) ? defaultSide : sizes.front().width;
  int const height = cy != 0 ? cy : (flags & LR_DEFAULTSIZE) ? defaultSide : sizes.front().height;
  std::size_t const chosen = nearestImage(sizes, width, height);
  auto icon = makeIcon(images[chosen], width, height, kind);
  if (!icon) return icon.error();
  return HANDLE{*icon};
}

Expected<HANDLE> load(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  if (name == nullptr || cx < 0 || cy < 0 || (flags & ~kKnownFlags) != 0)
    return makeError(ERROR_INVALID_PARAMETER, "bad picture request");
  if (flags & kRecolouring) return makeError(ERROR_NOT_SUPPORTED, "pictures are not recoloured");
  switch (type) {
    case IMAGE_BITMAP:
      return loadBitmap(instance, name, cx, cy, flags);
    case IMAGE_ICON:
      return loadIcon(instance, name, IconKind::Icon, cx, cy, flags);
    case IMAGE_CURSOR:
      return loadIcon(instance, name, IconKind::Cursor, cx, cy, flags);
    default:
      return makeError(ERROR_INVALID_PARAMETER, "unknown picture type");
  }
}

/// The pictures LR_SHARED handed out, each once per module, name, type and
/// size. A handle that was destroyed after all is loaded again.
class SharedPictures {
 public:
  HANDLE find(HINSTANCE instance, const pe::ResourceKey& name, UINT type, int cx, int cy, UINT flags) {
    std::lock_guard lock(m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
      if (it->instance != instance || it->type != type || it->cx != cx || it->cy != cy || it->flags != flags ||
          !it->name.matches(name))
        continue;
      if (gdi::lookupObject(it->handle)) return it->handle;
      m_entries.erase(it);
      return nullptr;
    }
    return nullptr;
  }
  void add(HINSTANCE instance, pe::ResourceKey name, UINT type, int cx, int cy, UINT flags, HANDLE handle) {
    std::lock_guard lock(m_mutex);
    m_entries.push_back(Entry{instance, std::move(name), type, cx, cy, flags, handle});
  }

 private:
  struct Entry {
    HINSTANCE instance;
    pe::ResourceKey name;
    UINT type;
    int cx;
    int cy;
    UINT flags;
    HANDLE handle;
  };
  std::mutex m_mutex;
  std::vector<Entry> m_entries;
};

SharedPictures& sharedPictures() {
  static auto* pictures = new SharedPictures;  // handed-out handles outlive static destruction
  return *pictures;
}

}  // namespace

HANDLE LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  // Shared pictures come from modules; system cursors are shared already and
  // files are read anew each time.
  std::optional<pe::ResourceKey> key;
  if ((fuLoad & LR_SHARED) && !(fuLoad & LR_LOADFROMFILE) && hInst != nullptr) key = pe::ResourceKey::fromWin32(name);
  UINT const shaping = fuLoad & kShapingFlags;
  if (key) {
    if (HANDLE shared = sharedPictures().find(hInst, *key, type, cx, cy, shaping)) return shared;
  }
  auto loaded = load(hInst, name, type, cx, cy, fuLoad);
  if (!loaded) {
    SetLastError(loaded.error().code);
    return nullptr;
  }
  if (key) sharedPictures().add(hInst, std::move(*key), type, cx, cy, shaping, *loaded);
  return *loaded;
}

HBITMAP LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName) {
  return static_cast<HBITMAP>(LoadImageW(hInstance, lpBitmapName, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
  return static_cast<HICON>(LoadImageW(hInstance, lpIconName, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
