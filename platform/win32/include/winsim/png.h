// Screenshots: surfaces written to and read from PNG files (libpng).
#pragma once

#include <filesystem>
#include <memory>

#include "win32/gdi.h"
#include "winsim/expected.h"
#include "winsim/surface.h"

namespace winsim {

/// Writes the surface as an 8-bit RGB PNG (the fourth pixel byte is not
/// written: GDI leaves it 0 on screen).
Status writePng(const Surface& surface, const std::filesystem::path& file);
/// Writes one rectangle of the surface, clipped to it; an empty part fails.
Status writePng(const Surface& surface, const RECT& part, const std::filesystem::path& file);

/// Reads a PNG of any kind into a surface; the fourth byte holds its alpha
/// (255 where the file has none).
Expected<std::shared_ptr<Surface>> readPng(const std::filesystem::path& file);

}  // namespace winsim
