#include "winsim/surface.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "win32/errors.h"

namespace winsim {

Expected<std::shared_ptr<Surface>> Surface::create(int width, int height) {
  if (width <= 0 || height <= 0) return makeError(ERROR_INVALID_PARAMETER, "a surface needs a positive size");
  std::size_t const pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (pixels > kMaxBytes / sizeof(Pixel)) return makeError(ERROR_NOT_ENOUGH_MEMORY, "surface too large");
  try {
    std::shared_ptr<Surface> surface(new Surface(nullptr, width, height, std::ptrdiff_t{width} * 4));
    surface->m_owned.assign(pixels, 0);
    surface->m_top = reinterpret_cast<std::byte*>(surface->m_owned.data());
    return surface;
  } catch (const std::bad_alloc&) {
    return makeError(ERROR_NOT_ENOUGH_MEMORY, "out of memory for a surface");
  }
}

std::shared_ptr<Surface> Surface::view(void* topRow, int width, int height, std::ptrdiff_t stride) {
  return std::shared_ptr<Surface>(new Surface(static_cast<std::byte*>(topRow), width, height, stride));
}

void Surface::fill(Pixel value) {
  for (int y = 0; y < m_height; ++y) std::fill_n(row(y), m_width, value);
}

namespace {

constexpr int kDefaultScreenWidth = 1024;
constexpr int kDefaultScreenHeight = 768;

struct Display {
  std::mutex mutex;
  std::shared_ptr<Surface> screen;
  WindowDCProvider provider;
};

Display& display() {
  static Display instance;
  return instance;
}

std::shared_ptr<Surface> makeScreen(int width, int height) {
  auto screen = Surface::create(width, height);
  if (!screen) return nullptr;
  (*screen)->fill(pixelFromColor(GetSysColor(COLOR_DESKTOP)));
  return std::move(*screen);
}

}  // namespace

std::shared_ptr<Surface> virtualScreen() {
  Display& d = display();
  std::lock_guard lock(d.mutex);
  if (!d.screen) d.screen = makeScreen(kDefaultScreenWidth, kDefaultScreenHeight);
  return d.screen;
}

Status setVirtualScreenSize(int width, int height) {
  auto screen = makeScreen(width, height);
  if (!screen) return makeError(ERROR_INVALID_PARAMETER, "the screen size cannot be held");
  Display& d = display();
  std::lock_guard lock(d.mutex);
  d.screen = std::move(screen);
  return {};
}

void setWindowDCProvider(WindowDCProvider provider) {
  Display& d = display();
  std::lock_guard lock(d.mutex);
  d.provider = std::move(provider);
}

// Used by GetDC (gdidc.cpp): the provider runs outside the lock, since it
// calls back into createSurfaceDC.
WindowDCProvider windowDCProvider() {
  Display& d = display();
  std::lock_guard lock(d.mutex);
  return d.provider;
}

}  // namespace winsim
