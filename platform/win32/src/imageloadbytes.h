// What the picture readers share: reading fields at checked offsets, the
// error of a damaged picture, and the DIB reader both kinds of picture use.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "win32/errors.h"
#include "win32/image.h"
#include "winsim/imageload.h"

namespace winsim::image {

template <class T>
bool readAt(std::span<const std::uint8_t> bytes, std::size_t offset, T& out) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return false;
  std::memcpy(&out, bytes.data() + offset, sizeof(T));
  return true;
}

inline Error damaged(const char* why) { return makeError(ERROR_INVALID_DATA, std::string("damaged picture: ") + why); }

enum class DibUse { Bitmap, IconImage };

/// The DIB whose header starts at `start`; its rows at `bitsAt`, or right
/// after the colour table. An icon image holds colour and mask rows: the
/// Dib then has half the stored height.
Expected<Dib> readDibAt(std::span<const std::uint8_t> bytes, std::size_t start, std::optional<std::size_t> bitsAt,
                        DibUse use);

}  // namespace winsim::image
