#include "setuptext.h"

#include <algorithm>
#include <string_view>

std::atomic<HMODULE> hTextLibrary{nullptr};

namespace {

constexpr WCHAR kTextLibraryName[] = u"IntallerRes.dll";

}  // namespace

void LoadTextLibrary() {
  if (hTextLibrary.load()) return;
  if (HMODULE library = LoadLibraryW(kTextLibraryName)) hTextLibrary.store(library);
}

LPCWSTR LoadSetupText(CSetupText& record) {
  const int loaded = LoadStringW(hTextLibrary.load(), record.id, record.text, kSetupTextCapacity);
  if (loaded <= 0) {
    // No fallback is longer than the buffer; the cut only guards the buffer.
    const std::u16string_view fallback = record.fallback ? record.fallback : u"";
    const std::size_t length = std::min<std::size_t>(fallback.size(), kSetupTextCapacity - 1);
    std::copy_n(fallback.begin(), length, record.text);
    record.text[length] = 0;
  }
  return record.text;
}

CString GetSetupText(UINT id, const WCHAR* fallback) {
  CSetupText record;
  record.id = id;
  record.fallback = fallback;
  LoadTextLibrary();
  return CString(LoadSetupText(record));
}
