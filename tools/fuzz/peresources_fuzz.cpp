// The PE resource reader and the decoders behind it, on outside input: the
// resource table of a file, every string table block and every dialog
// template in it; the decoders also take the raw input directly.
//
// Seeds (corpus/peresources/): the resource libraries the build makes from
// resources/*.rc (bin/IntallerRes.dll, expressres.dll, testres.dll) and the
// dialog templates and a string block cut out of them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "winsim/dialogtemplate.h"
#include "winsim/peresources.h"

namespace {

volatile std::uint32_t g_sink = 0;

void touch(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (std::uint8_t b : bytes) sum += b;
  g_sink = sum;
}

void decodeStrings(std::span<const std::uint8_t> block) {
  auto slots = winsim::pe::decodeStringBlock(block);
  if (!slots) return;
  for (const auto& slot : slots.value()) g_sink = winsim::pe::readUtf16(block, slot.offset, slot.length).size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  (void)winsim::decodeDialogTemplate(input);
  decodeStrings(input);

  auto image = winsim::pe::ResourceImage::parse(std::vector<std::uint8_t>(data, data + size));
  if (!image) return 0;
  for (const auto& resource : image->resources()) {
    const auto bytes = image->bytes(resource);
    touch(bytes);
    if (resource.type.isId() && resource.type.id() == 6) decodeStrings(bytes);
    if (resource.type.isId() && resource.type.id() == 5) (void)winsim::decodeDialogTemplate(bytes);
    (void)image->find(resource.type, resource.name);
  }
  return 0;
}
