// The rich-edit control's RTF reader on outside input, and the line breaking
// and drawing of what it reads (small inputs only, to keep runs fast).
//
// Seeds (corpus/rtf/): a licence as a word processor writes it, with font
// and colour tables and Chinese text in escapes; pictures in hex and binary;
// Unicode escapes with skip counts; nested and unbalanced groups.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "win32/gdi.h"
#include "winsim/rtf.h"
#include "winsim/rtflayout.h"

namespace {

constexpr std::size_t kLargestLaidOut = 4096;
constexpr int kCanvas = 64;

volatile std::size_t g_sink = 0;

/// A small 32-bit canvas to lay out and draw on, made once.
HDC canvas() {
  static HDC const dc = [] {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kCanvas;
    info.bmiHeader.biHeight = -kCanvas;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC memory = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    SelectObject(memory, CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    return memory;
  }();
  return dc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view const input(reinterpret_cast<const char*>(data), size);
  auto document = winsim::parseRtf(input);
  if (!document) return 0;
  g_sink = document->plainText().size();
  if (size > kLargestLaidOut) return 0;
  winsim::RtfLayout layout(std::move(document.value()), winsim::RtfDefaults{});
  g_sink = static_cast<std::size_t>(layout.layout(canvas(), kCanvas));
  layout.draw(canvas(), RECT{0, 0, kCanvas, kCanvas}, static_cast<int>(size % 32));
  return 0;
}
