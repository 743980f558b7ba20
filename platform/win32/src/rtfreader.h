// The two readers behind parseRtf: rich text, and the plain-text fallback.
#pragma once

#include <string_view>

#include "winsim/expected.h"
#include "winsim/rtf.h"

namespace winsim::rtf {

/// Reads a stream that starts with "{\rtf".
Expected<RtfDocument> readRichText(std::string_view bytes);
/// Reads a stream that is not rich text, one paragraph per line.
RtfDocument readPlainText(std::string_view bytes);

}  // namespace winsim::rtf
