// Code-page conversions over glibc's iconv.
//
// iconv does the byte work; this file adds what Windows does on top of it: the
// machine's ANSI code page, the sizes and errors of the two Win32 calls, the
// default character for what a page lacks, and the five bytes that code page
// 1252 leaves undefined, which Windows passes through as the C1 controls of the
// same value (glibc refuses them). iconv descriptors keep conversion state and
// must not be shared between threads, so each thread keeps its own.
#include "win32/codepage.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include "win32/errors.h"
#include "winsim/codepage.h"
#include "winsim/expected.h"
#include "winsim/machine.h"
#include "winsim/text.h"

namespace winsim {

namespace {

static_assert(std::endian::native == std::endian::little, "wide text is handed to iconv as UTF-16LE");
constexpr const char* kWideName = "UTF-16LE";

constexpr UINT kDefaultAnsiPage = 1252;
constexpr UINT kOemPageOfWestern = 437;
constexpr char16_t kReplacement = 0xFFFD;

struct CodePageName {
  UINT page;
  const char* iconvName;
};
constexpr CodePageName kCodePages[] = {
    {437, "CP437"}, {932, "CP932"}, {936, "CP936"}, {950, "CP950"}, {1252, "CP1252"}, {CP_UTF8, "UTF-8"},
};

/// The pages a machine's profile may choose as its ANSI code page.
constexpr UINT kAnsiPages[] = {1252, 936, 950, 932};

const char* iconvName(UINT page) {
  for (const auto& entry : kCodePages)
    if (entry.page == page) return entry.iconvName;
  return nullptr;
}

/// 1252 bytes without a character; Windows maps each to the code point of the same value.
bool isUndefinedIn1252(unsigned value) {
  return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

enum class Direction { ToBytes, ToWide };

/// This thread's open iconv descriptors, closed when the thread ends.
class IconvCache {
 public:
  IconvCache() = default;
  IconvCache(const IconvCache&) = delete;
  IconvCache& operator=(const IconvCache&) = delete;
  ~IconvCache() {
    for (const auto& entry : m_entries) iconv_close(entry.descriptor);
  }

  /// A descriptor reset to its initial state, or null when iconv lacks the page.
  iconv_t get(UINT page, Direction direction) {
    for (const auto& entry : m_entries) {
      if (entry.page == page && entry.direction == direction) {
        iconv(entry.descriptor, nullptr, nullptr, nullptr, nullptr);
        return entry.descriptor;
      }
    }
    const char* name = iconvName(page);
    if (!name) return nullptr;
    iconv_t descriptor = direction == Direction::ToBytes ? iconv_open(name, kWideName) : iconv_open(kWideName, name);
    if (descriptor == reinterpret_cast<iconv_t>(-1)) return nullptr;
    m_entries.push_back({page, direction, descriptor});
    return descriptor;
  }

 private:
  struct Entry {
    UINT page;
    Direction direction;
    iconv_t descriptor;
  };
  std::vector<Entry> m_entries;
};

thread_local IconvCache t_iconv;

Error unsupportedPage(UINT page) {
  return makeError(ERROR_INVALID_PARAMETER, "code page " + std::to_string(page) + " is not supported");
}

Error invalidText() { return makeError(ERROR_NO_UNICODE_TRANSLATION, "text has no translation in the code page"); }

enum class OnInvalid { Replace, Fail };

struct Encoded {
  std::string bytes;
  bool usedDefault = false;
};

/// Wide text to the bytes of `page` (a real page, not CP_ACP).
Expected<Encoded> encode(std::u16string_view text, UINT page, std::string_view defaultChar, OnInvalid onInvalid) {
  iconv_t descriptor = t_iconv.get(page, Direction::ToBytes);
  if (!descriptor) return unsupportedPage(page);
  Encoded result;
  std::string& out = result.bytes;
  out.resize(text.size() * 2 + 16);
  std::size_t used = 0;
  char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
  std::size_t inLeft = text.size() * sizeof(char16_t);
  auto append = [&](std::string_view bytes) {
    if (out.size() - used < bytes.size()) out.resize(out.size() * 2 + bytes.size());
    std::memcpy(out.data() + used, bytes.data(), bytes.size());
    used += bytes.size();
  };
  for (;;) {
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    const std::size_t converted = iconv(descriptor, &in, &inLeft, &outPtr, &outLeft);
    used = static_cast<std::size_t>(outPtr - out.data());
    if (converted != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (a character the page lacks, or an unpaired surrogate) or EINVAL
    // (a high surrogate that ends the text).
    const std::size_t index = text.size() - inLeft / sizeof(char16_t);
    const char16_t unit = text[index];
    std::size_t units = 1;
    if (isHighSurrogate(unit) && index + 1 < text.size() && isLowSurrogate(text[index + 1])) {
      units = 2;
      append(defaultChar);
      result.usedDefault = true;
    } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
      if (onInvalid == OnInvalid::Fail) return invalidText();
      if (page == CP_UTF8) {
        append("\xEF\xBF\xBD");
      } else {
        append(defaultChar);
        result.usedDefault = true;
      }
    } else if (page == 1252 && isUndefinedIn1252(unit)) {
      append(std::string(1, static_cast<char>(unit)));
    } else {
      append(defaultChar);
      result.usedDefault = true;
    }
    in += units * sizeof(char16_t);
    inLeft -= units * sizeof(char16_t);
  }
  out.resize(used);
  return result;
}

/// Bytes of `page` (a real page, not CP_ACP) to wide text.
Expected<std::u16string> decode(std::string_view bytes, UINT page, OnInvalid onInvalid) {
  iconv_t descriptor = t_iconv.get(page, Direction::ToWide);
  if (!descriptor) return unsupportedPage(page);
  std::u16string out(bytes.size() + 8, u'\0');
  std::size_t used = 0;  // in units
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  for (;;) {
    char* outPtr = reinterpret_cast<char*>(out.data() + used);
    std::size_t outLeft = (out.size() - used) * sizeof(char16_t);
    const std::size_t converted = iconv(descriptor, &in, &inLeft, &outPtr, &outLeft);
    used = static_cast<std::size_t>(reinterpret_cast<char16_t*>(outPtr) - out.data());
    if (converted != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (an invalid sequence) or EINVAL (a sequence cut off by the end).
    const auto value = static_cast<unsigned char>(*in);
    char16_t replacement = kReplacement;
    if (page == 1252 && isUndefinedIn1252(value)) {
      replacement = value;
    } else if (onInvalid == OnInvalid::Fail) {
      return invalidText();
    }
    if (used == out.size()) out.resize(out.size() * 2);
    out[used++] = replacement;
    ++in;
    --inLeft;
  }
  out.resize(used);
  return out;
}

/// The real page behind CP_ACP and CP_OEMCP, or the page itself.
UINT resolvePage(UINT page) {
  if (page == CP_ACP) return ansiCodePage();
  if (page == CP_OEMCP) {
    const UINT ansi = ansiCodePage();
    return ansi == 1252 ? kOemPageOfWestern : ansi;
  }
  return page;
}

}  // namespace

UINT ansiCodePage() {
  const Machine* machine = currentMachine();
  if (!machine) return kDefaultAnsiPage;
  const long long page = machine->profileInt(u"system", u"codepage", kDefaultAnsiPage);
  // A profile that names a page that is no ANSI page of ours would make every
  // ANSI call fail; the machine then behaves as a western one.
  for (const UINT ansi : kAnsiPages)
    if (page == ansi) return ansi;
  return kDefaultAnsiPage;
}

std::string toCodePage(std::u16string_view text, UINT codePage) {
  auto encoded = encode(text, resolvePage(codePage), "?", OnInvalid::Replace);
  if (!encoded) encoded = encode(text, kDefaultAnsiPage, "?", OnInvalid::Replace);
  return encoded ? std::move(encoded->bytes) : std::string();
}

std::u16string fromCodePage(std::string_view bytes, UINT codePage) {
  auto decoded = decode(bytes, resolvePage(codePage), OnInvalid::Replace);
  if (!decoded) decoded = decode(bytes, kDefaultAnsiPage, OnInvalid::Replace);
  return decoded ? std::move(decoded.value()) : std::u16string();
}

}  // namespace winsim

namespace {

int fail(DWORD error) {
  SetLastError(error);
  return 0;
}

/// Copies a whole conversion into the caller's buffer, or reports its size.
template <class Char>
int deliver(const std::basic_string<Char>& result, Char* buffer, int capacity) {
  if (result.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return fail(ERROR_INVALID_PARAMETER);
  const int size = static_cast<int>(result.size());
  if (capacity == 0) return size;
  if (size > capacity) return fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(buffer, result.data(), result.size() * sizeof(Char));
  return size;
}

}  // namespace

UINT GetACP() { return winsim::ansiCodePage(); }

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar) {
  if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 || (cbMultiByte > 0 && !lpMultiByteStr))
    return fail(ERROR_INVALID_PARAMETER);
  const UINT page = winsim::resolvePage(CodePage);
  if (page == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar)) return fail(ERROR_INVALID_PARAMETER);
  const std::size_t length =
      cchWideChar == -1 ? winsim::wideLength(lpWideCharStr) + 1 : static_cast<std::size_t>(cchWideChar);
  // The default character is one byte, as in the code pages offered here.
  const std::string_view defaultChar = lpDefaultChar && *lpDefaultChar ? std::string_view(lpDefaultChar, 1) : "?";
  const auto onInvalid =
      page == CP_UTF8 && (dwFlags & WC_ERR_INVALID_CHARS) ? winsim::OnInvalid::Fail : winsim::OnInvalid::Replace;
  auto encoded = winsim::encode(std::u16string_view(lpWideCharStr, length), page, defaultChar, onInvalid);
  if (!encoded) return fail(encoded.error().code);
  if (lpUsedDefaultChar) *lpUsedDefaultChar = encoded->usedDefault ? TRUE : FALSE;
  return deliver(encoded->bytes, lpMultiByteStr, cbMultiByte);
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
  if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 || (cchWideChar > 0 && !lpWideCharStr))
    return fail(ERROR_INVALID_PARAMETER);
  const UINT page = winsim::resolvePage(CodePage);
  const std::size_t length =
      cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
  const auto onInvalid = (dwFlags & MB_ERR_INVALID_CHARS) ? winsim::OnInvalid::Fail : winsim::OnInvalid::Replace;
  auto decoded = winsim::decode(std::string_view(lpMultiByteStr, length), page, onInvalid);
  if (!decoded) return fail(decoded.error().code);
  return deliver(decoded.value(), lpWideCharStr, cchWideChar);
}
