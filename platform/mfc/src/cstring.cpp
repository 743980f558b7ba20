#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>

#include "afxstr.h"
#include "misuse.h"
#include "winsim/text.h"

// The text follows its header in one block: [length, capacity][text ... NUL].
struct CString::Header {
  int length;
  int capacity;  // characters of room, without the NUL
};

namespace {

using winsim::mfc::reportMisuse;

constexpr int kMaxLength = static_cast<int>((INT_MAX - 64) / sizeof(WCHAR));

/// White space as the platform's wide character classification knows it.
bool isSpace(WCHAR c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

int clampTo(long long value, int low, int high) { return static_cast<int>(std::clamp<long long>(value, low, high)); }

void checkLength(long long length) {
  if (length > kMaxLength) reportMisuse("CString of " + std::to_string(length) + " characters is too long");
}

}  // namespace

WCHAR* CString::emptyText() noexcept {
  static WCHAR text[1] = {0};
  return text;
}

WCHAR* CString::allocate(int capacity) {
  checkLength(capacity);
  const std::size_t bytes = sizeof(Header) + (static_cast<std::size_t>(capacity) + 1) * sizeof(WCHAR);
  void* block = ::operator new(bytes);
  std::memset(block, 0, bytes);
  new (block) Header{0, capacity};
  return reinterpret_cast<WCHAR*>(static_cast<char*>(block) + sizeof(Header));
}

void CString::release(WCHAR* text) noexcept {
  if (text != emptyText()) ::operator delete(reinterpret_cast<char*>(text) - sizeof(Header));
}

std::u16string_view CString::viewOf(const WCHAR* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

CString::Header* CString::header() const noexcept {
  return reinterpret_cast<Header*>(reinterpret_cast<char*>(m_pszData) - sizeof(Header));
}

bool CString::ownsBlock() const noexcept { return m_pszData != emptyText(); }

int CString::capacity() const noexcept { return ownsBlock() ? header()->capacity : 0; }

int CString::GetLength() const noexcept { return ownsBlock() ? header()->length : 0; }

std::u16string_view CString::view() const noexcept {
  return std::u16string_view(m_pszData, static_cast<std::size_t>(GetLength()));
}

void CString::reserve(int length) {
  if (ownsBlock() && length <= header()->capacity) return;
  const int current = capacity();
  const int room = std::max(length, static_cast<int>(std::min<long long>(kMaxLength, current + current / 2LL)));
  WCHAR* text = allocate(room);
  const int kept = GetLength();
  std::memcpy(text, m_pszData, static_cast<std::size_t>(kept) * sizeof(WCHAR));
  release(m_pszData);
  m_pszData = text;
  setLength(kept);
}

void CString::setLength(int length) {
  if (!ownsBlock()) return;  // only 0 can be asked of the shared empty text
  header()->length = length;
  m_pszData[length] = 0;
}

void CString::assign(std::u16string_view text) {
  checkLength(static_cast<long long>(text.size()));
  const int length = static_cast<int>(text.size());
  if (length == 0) {
    setLength(0);
    return;
  }
  if (ownsBlock() && length <= header()->capacity) {
    std::memmove(m_pszData, text.data(), text.size() * sizeof(WCHAR));  // `text` may lie in this block
    setLength(length);
    return;
  }
  WCHAR* block = allocate(length);
  std::memcpy(block, text.data(), text.size() * sizeof(WCHAR));
  release(m_pszData);
  m_pszData = block;
  setLength(length);
}

void CString::append(std::u16string_view text) {
  if (text.empty()) return;
  const long long length = static_cast<long long>(GetLength()) + static_cast<long long>(text.size());
  checkLength(length);
  if (ownsBlock() && length <= header()->capacity) {
    std::memmove(m_pszData + GetLength(), text.data(), text.size() * sizeof(WCHAR));
    setLength(static_cast<int>(length));
    return;
  }
  // A new block first: `text` may lie in the old one.
  const int current = capacity();
  const int room =
      std::max(static_cast<int>(length), static_cast<int>(std::min<long long>(kMaxLength, current + current / 2LL)));
  WCHAR* block = allocate(room);
  const int kept = GetLength();
  std::memcpy(block, m_pszData, static_cast<std::size_t>(kept) * sizeof(WCHAR));
  std::memcpy(block + kept, text.data(), text.size() * sizeof(WCHAR));
  release(m_pszData);
  m_pszData = block;
  setLength(static_cast<int>(length));
}

CString::CString() noexcept : m_pszData(emptyText()) {}

CString::CString(const CString& other) : m_pszData(emptyText()) { assign(other.view()); }

CString::CString(CString&& other) noexcept : m_pszData(other.m_pszData) { other.m_pszData = emptyText(); }

CString::CString(const WCHAR* text) : m_pszData(emptyText()) { assign(viewOf(text)); }

CString::CString(const WCHAR* text, int length) : m_pszData(emptyText()) {
  if (text && length > 0) assign(std::u16string_view(text, static_cast<std::size_t>(length)));
}

CString::CString(WCHAR ch, int repeat) : m_pszData(emptyText()) {
  if (repeat > 0) assign(std::u16string(static_cast<std::size_t>(repeat), ch));
}

CString::~CString() { release(m_pszData); }

CString& CString::operator=(const CString& other) {
  assign(other.view());
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this != &other) {
    release(m_pszData);
    m_pszData = other.m_pszData;
    other.m_pszData = emptyText();
  }
  return *this;
}

CString& CString::operator=(const WCHAR* text) {
  assign(viewOf(text));
  return *this;
}

CString& CString::operator=(WCHAR ch) {
  assign(std::u16string_view(&ch, 1));
  return *this;
}

void CString::Empty() noexcept {
  release(m_pszData);
  m_pszData = emptyText();
}

WCHAR CString::GetAt(int index) const {
  if (index < 0 || index > GetLength())
    reportMisuse("CString::GetAt(" + std::to_string(index) + ") on a string of " + std::to_string(GetLength()));
  return m_pszData[index];
}

void CString::SetAt(int index, WCHAR ch) {
  if (index < 0 || index >= GetLength())
    reportMisuse("CString::SetAt(" + std::to_string(index) + ") on a string of " + std::to_string(GetLength()));
  m_pszData[index] = ch;
}

int CString::Compare(const WCHAR* text) const {
  const int order = view().compare(viewOf(text));
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

int CString::CompareNoCase(const WCHAR* text) const {
  const std::u16string_view a = view();
  const std::u16string_view b = viewOf(text);
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const WCHAR x = winsim::lowerCase(a[i]);
    const WCHAR y = winsim::lowerCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

CString& CString::operator+=(const CString& text) {
  append(text.view());
  return *this;
}

CString& CString::operator+=(const WCHAR* text) {
  append(viewOf(text));
  return *this;
}

CString& CString::operator+=(WCHAR ch) {
  append(std::u16string_view(&ch, 1));
  return *this;
}

CString operator+(const CString& a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const CString& a, const WCHAR* b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const WCHAR* a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(const CString& a, WCHAR b) {
  CString result(a);
  result += b;
  return result;
}

CString operator+(WCHAR a, const CString& b) {
  CString result(a);
  result += b;
  return result;
}

CString CString::Left(int count) const { return CString(m_pszData, clampTo(count, 0, GetLength())); }

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  const int length = GetLength();
  const int start = clampTo(first, 0, length);
  return CString(m_pszData + start, clampTo(count, 0, length - start));
}

CString CString::Right(int count) const {
  const int length = GetLength();
  const int kept = clampTo(count, 0, length);
  return CString(m_pszData + (length - kept), kept);
}

int CString::Find(WCHAR ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  const std::size_t at = view().find(ch, static_cast<std::size_t>(start));
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const WCHAR* text, int start) const {
  if (!text || start < 0 || start > GetLength()) return -1;
  const std::size_t at = view().find(viewOf(text), static_cast<std::size_t>(start));
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(WCHAR ch) const {
  const std::size_t at = view().rfind(ch);
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CString::FindOneOf(const WCHAR* characters) const {
  const std::u16string_view set = viewOf(characters);
  if (set.empty()) return -1;
  const std::size_t at = view().find_first_of(set);
  return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(WCHAR oldChar, WCHAR newChar) {
  if (oldChar == newChar) return 0;
  int count = 0;
  for (int i = 0; i < GetLength(); ++i) {
    if (m_pszData[i] == oldChar) {
      m_pszData[i] = newChar;
      ++count;
    }
  }
  return count;
}

int CString::Replace(const WCHAR* oldText, const WCHAR* newText) {
  const std::u16string from(viewOf(oldText));  // copies: both may lie in this string
  const std::u16string to(viewOf(newText));
  if (from.empty()) return 0;
  const std::u16string_view text = view();
  std::u16string result;
  int count = 0;
  std::size_t pos = 0;
  for (std::size_t at = text.find(from); at != std::u16string_view::npos; at = text.find(from, pos)) {
    result.append(text.substr(pos, at - pos));
    result.append(to);
    pos = at + from.size();
    ++count;
  }
  if (count == 0) return 0;
  result.append(text.substr(pos));
  assign(result);
  return count;
}

int CString::Remove(WCHAR ch) {
  const int length = GetLength();
  int kept = 0;
  for (int i = 0; i < length; ++i)
    if (m_pszData[i] != ch) m_pszData[kept++] = m_pszData[i];
  setLength(kept);
  return length - kept;
}

int CString::Insert(int index, WCHAR ch) { return Insert(index, std::u16string(1, ch).c_str()); }

int CString::Insert(int index, const WCHAR* text) {
  const std::u16string_view inserted = viewOf(text);
  if (inserted.empty()) return GetLength();
  std::u16string result(view());
  result.insert(static_cast<std::size_t>(clampTo(index, 0, GetLength())), inserted);
  assign(result);
  return GetLength();
}

int CString::Delete(int index, int count) {
  const int length = GetLength();
  const int start = std::max(0, index);
  if (count <= 0 || start >= length) return length;
  const int removed = clampTo(count, 0, length - start);
  std::memmove(m_pszData + start, m_pszData + start + removed,
               static_cast<std::size_t>(length - start - removed) * sizeof(WCHAR));
  setLength(length - removed);
  return length - removed;
}

namespace {

bool matchesSpace(WCHAR c, const WCHAR*) { return isSpace(c); }
bool matchesOneOf(WCHAR c, const WCHAR* set) {
  return set && c && std::u16string_view(set).find(c) != std::u16string_view::npos;
}

}  // namespace

CString& CString::trimLeftWhere(bool (*match)(WCHAR, const WCHAR*), const WCHAR* set) {
  const int length = GetLength();
  int first = 0;
  while (first < length && match(m_pszData[first], set)) ++first;
  if (first > 0) Delete(0, first);
  return *this;
}

CString& CString::trimRightWhere(bool (*match)(WCHAR, const WCHAR*), const WCHAR* set) {
  int end = GetLength();
  while (end > 0 && match(m_pszData[end - 1], set)) --end;
  if (end < GetLength()) setLength(end);
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(WCHAR ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const WCHAR* characters) { return TrimRight(characters).TrimLeft(characters); }
CString& CString::TrimLeft() { return trimLeftWhere(matchesSpace, nullptr); }
CString& CString::TrimLeft(WCHAR ch) {
  const WCHAR set[2] = {ch, 0};
  return trimLeftWhere(matchesOneOf, set);
}
CString& CString::TrimLeft(const WCHAR* characters) { return trimLeftWhere(matchesOneOf, characters); }
CString& CString::TrimRight() { return trimRightWhere(matchesSpace, nullptr); }
CString& CString::TrimRight(WCHAR ch) {
  const WCHAR set[2] = {ch, 0};
  return trimRightWhere(matchesOneOf, set);
}
CString& CString::TrimRight(const WCHAR* characters) { return trimRightWhere(matchesOneOf, characters); }

CString& CString::MakeLower() {
  for (int i = 0; i < GetLength(); ++i) m_pszData[i] = winsim::lowerCase(m_pszData[i]);
  return *this;
}

CString& CString::MakeUpper() {
  for (int i = 0; i < GetLength(); ++i) m_pszData[i] = winsim::upperCase(m_pszData[i]);
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_pszData, m_pszData + GetLength());
  return *this;
}

void CString::formatList(const WCHAR* format, std::span<const winsim::FormatArg> args, FormatMode mode) {
  // Formatted into a string of its own first: the format or an argument may
  // be this string's own text.
  std::u16string result;
  if (mode == FormatMode::Append) result = view();
  winsim::appendFormatted(result, viewOf(format), args);
  assign(result);
}

WCHAR* CString::GetBuffer() { return GetBuffer(0); }

WCHAR* CString::GetBuffer(int minBufferLength) {
  reserve(std::max({minBufferLength, GetLength(), 0}));
  return m_pszData;
}

WCHAR* CString::GetBufferSetLength(int length) {
  const int wanted = std::max(length, 0);
  reserve(wanted);
  setLength(wanted);
  return m_pszData;
}

void CString::ReleaseBuffer(int newLength) {
  if (!ownsBlock()) return;
  const int room = header()->capacity;
  if (newLength < 0) {
    newLength = 0;
    while (newLength < room && m_pszData[newLength]) ++newLength;
  }
  setLength(std::min(newLength, room));
}
