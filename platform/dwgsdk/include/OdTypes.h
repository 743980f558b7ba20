// Fixed-width integer names and the character type of the drawing SDK layer.
// Text is UTF-16 throughout, like the rest of the simulated platform.
#pragma once

#include <cstddef>
#include <cstdint>

using OdInt8 = std::int8_t;
using OdUInt8 = std::uint8_t;
using OdInt16 = std::int16_t;
using OdUInt16 = std::uint16_t;
using OdInt32 = std::int32_t;
using OdUInt32 = std::uint32_t;
using OdInt64 = std::int64_t;
using OdUInt64 = std::uint64_t;
using OdChar = char16_t;

/// The host's two-word entity name (an ename).
using ads_name = OdInt64[2];
/// The host's three-coordinate point.
using ads_point = double[3];
