// The host's utility functions: the command line and point geometry.
#pragma once

#include <array>
#include <span>

#include "OdTypes.h"
#include "kxdefs.h"
#include "winsim/wideformat.h"

/// Writes formatted text on the host's command line: standard output (UTF-8)
/// and, when the process has a machine, a {"kind":"CommandLine","text":...}
/// record in its transcript. printf conversions as winsim/wideformat.h reads
/// them (%s wide text, %d, %f, ...). Returns the number of characters written.
int kxutPrintfList(const OdChar* format, std::span<const winsim::FormatArg> args);

template <class... Args>
int kxutPrintf(const OdChar* format, const Args&... args) {
  const std::array<winsim::FormatArg, sizeof...(Args)> list{winsim::FormatArg(args)...};
  return kxutPrintfList(format, list);
}

/// The point at `angle` (radians, from the X axis, counter-clockwise) and
/// `distance` from `point`, in the XY plane; z is kept.
void kxutPolar(const ads_point point, double angle, double distance, ads_point result);
/// The angle of the line from `from` to `to` in the XY plane, in (-pi, pi].
double kxutAngle(const ads_point from, const ads_point to);
