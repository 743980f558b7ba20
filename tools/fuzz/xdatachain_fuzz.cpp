// Fuzzes the value-chain conversions of the common module's extended entity
// data: chains of result buffers built from the input bytes (any type code,
// texts with and without their pointer, chunks with sizes that lie about
// their bytes' absence, unbalanced list begins and ends) go through the LISP
// list to xdata conversion and, as xdata items, through the conversion back
// to LISP form, and every text through text storage. Nothing may crash, leak
// or read past a node. The machine's ANSI code page is 936, so texts take the
// two-byte paths.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "OdAlloc.h"
#include "ResBuf.h"
#include "kxhost.h"
#include "tables/xdatachain.h"
#include "winsim/machine.h"

namespace {

namespace fs = std::filesystem;

// Chains stay small enough to keep each run quick.
constexpr int kMaxNodes = 256;

/// One machine for the whole run, removed when the fuzzer exits.
struct FuzzMachine {
  fs::path folder;
  FuzzMachine() {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "winsim-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) abort();
    folder = pattern;
    auto machine = winsim::Machine::create(folder / "machine", {{"system", "codepage", "936"}});
    if (!machine) abort();
    winsim::setCurrentMachine(machine.value());
    kxhost::setCommandLineToStdout(false);
  }
  ~FuzzMachine() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

/// Reads the input front to back; past its end every read gives zeros.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  bool done() const { return m_offset >= m_size; }
  std::uint8_t byte() { return m_offset < m_size ? m_data[m_offset++] : 0; }
  template <class T>
  T value() {
    T result{};
    std::uint8_t bytes[sizeof(T)] = {};
    for (std::uint8_t& b : bytes) b = byte();
    std::memcpy(&result, bytes, sizeof(T));
    return result;
  }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_offset = 0;
};

// Type codes worth trying: the LISP value codes, the xdata group codes, and
// now and then any 16-bit number.
short typeCode(Input& in) {
  const std::uint8_t pick = in.byte();
  if (pick < 96) return static_cast<short>(5000 + pick % 22);
  if (pick < 224) return static_cast<short>(1000 + pick % 72);
  return in.value<short>();
}

resbuf* node(Input& in) {
  const short code = typeCode(in);
  resbuf* rb = odutNewRb(code);
  if (!rb) return nullptr;
  switch (odutResBufKind(code)) {
    case OdResBufKind::kReal:
      rb->resval.rreal = in.value<double>();
      break;
    case OdResBufKind::kPoint:
      for (double& c : rb->resval.rpoint) c = in.value<double>();
      break;
    case OdResBufKind::kInt16:
      rb->resval.rint = in.value<short>();
      break;
    case OdResBufKind::kInt32:
      rb->resval.rlong = in.value<OdInt32>();
      break;
    case OdResBufKind::kText: {
      const std::uint8_t length = in.byte();
      if (length == 255) break;  // a text node without its text
      std::u16string text;
      for (int i = 0; i < length && !in.done(); ++i) {
        // Mostly ASCII and CJK characters, some of anything (surrogates too).
        const std::uint8_t kind = in.byte();
        const char16_t c = kind < 128   ? static_cast<char16_t>(kind ? kind : 'a')
                           : kind < 224 ? static_cast<char16_t>(0x4E00 + in.byte())
                                        : in.value<char16_t>();
        text += c ? c : u'b';
      }
      // Repeated, a text reaches past the 255-byte and chunk boundaries.
      const std::uint8_t repeat = in.byte() % 8;
      std::u16string whole;
      for (int i = 0; i <= repeat; ++i) whole += text;
      rb->resval.rstring = odutNewString(whole.c_str());
      break;
    }
    case OdResBufKind::kBinary: {
      const short stated = in.value<short>();
      rb->resval.rbinary.clen = stated;
      // Sometimes a size without bytes; otherwise as many bytes as stated.
      if (stated > 0 && (in.byte() & 1)) {
        rb->resval.rbinary.buf = static_cast<char*>(odrxAlloc(static_cast<std::size_t>(stated)));
        if (rb->resval.rbinary.buf)
          for (short i = 0; i < stated; ++i) rb->resval.rbinary.buf[i] = static_cast<char>(in.byte());
        else
          rb->resval.rbinary.clen = 0;
      }
      break;
    }
    case OdResBufKind::kName:
      rb->resval.rlname[0] = in.value<OdInt64>();
      rb->resval.rlname[1] = in.value<OdInt64>();
      break;
    default:
      break;
  }
  return rb;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FuzzMachine machine;
  Input in(data, size);
  const bool asXdata = in.byte() & 1;

  mwcommon::ResbufChain chain;
  for (int count = 0; count < kMaxNodes && !in.done(); ++count)
    if (!chain.append(node(in))) break;

  mwcommon::ResbufChain group;
  (void)mwcommon::listToXdata(chain.head(), group);
  for (const resbuf* rb = chain.head(); rb; rb = rb->rbnext) {
    if (rb->restype != RTSTR) continue;
    mwcommon::ResbufChain stored;
    (void)mwcommon::appendStoredText(stored, rb->resval.rstring);
  }

  // The converted group goes back to LISP form in place; so does the raw
  // chain, as if an object had carried it.
  (void)mwcommon::xdataToList(group.head());
  if (asXdata) (void)mwcommon::xdataToList(chain.head());
  kxhost::clearCommandLineText();
  return 0;
}
