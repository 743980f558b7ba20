// The class library's wide string and string array.
//
// CString holds UTF-16 text, NUL-terminated, in a heap block that it owns
// alone (no sharing between copies, so threads never race on a count). Its one
// data member is the pointer to the text, as the platform's class has it.
//
// Positions and counts outside the text are clamped, as the platform does
// (Left(-1) is empty, Mid(2, 1000) runs to the end). GetAt and SetAt on a
// position outside the text, and CStringArray indices outside the array, are
// programming errors that the platform answers with an exception nobody
// catches; here they print what went wrong and abort, never touching memory
// outside the object.
#pragma once

#include <array>
#include <compare>
#include <string_view>
#include <vector>

#include "win32/types.h"
#include "winsim/wideformat.h"

class CString {
 public:
  CString() noexcept;
  CString(const CString& other);
  CString(CString&& other) noexcept;
  /// A null pointer makes an empty string.
  CString(const WCHAR* text);
  /// The first `length` characters of `text` (NULs included); a negative length is 0.
  CString(const WCHAR* text, int length);
  explicit CString(WCHAR ch, int repeat = 1);
  ~CString();

  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  CString& operator=(const WCHAR* text);
  CString& operator=(WCHAR ch);

  int GetLength() const noexcept;
  bool IsEmpty() const noexcept { return GetLength() == 0; }
  void Empty() noexcept;

  /// Position GetLength() is the terminating NUL, as on the platform.
  WCHAR GetAt(int index) const;
  WCHAR operator[](int index) const { return GetAt(index); }
  void SetAt(int index, WCHAR ch);

  operator const WCHAR*() const noexcept { return m_pszData; }
  const WCHAR* GetString() const noexcept { return m_pszData; }

  /// Ordinal comparison of the UTF-16 units: negative, 0 or positive.
  int Compare(const WCHAR* text) const;
  /// Comparison after folding both sides to lower case, as the platform's
  /// case-insensitive comparison does.
  int CompareNoCase(const WCHAR* text) const;

  friend bool operator==(const CString& a, const CString& b) { return a.view() == b.view(); }
  friend bool operator==(const CString& a, const WCHAR* b) { return a.view() == viewOf(b); }
  friend std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.view() <=> b.view(); }
  friend std::strong_ordering operator<=>(const CString& a, const WCHAR* b) { return a.view() <=> viewOf(b); }

  CString& operator+=(const CString& text);
  CString& operator+=(const WCHAR* text);
  CString& operator+=(WCHAR ch);
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, const WCHAR* b);
  friend CString operator+(const WCHAR* a, const CString& b);
  friend CString operator+(const CString& a, WCHAR b);
  friend CString operator+(WCHAR a, const CString& b);

  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;

  /// Position of the first match at or after `start`, or -1.
  int Find(WCHAR ch, int start = 0) const;
  int Find(const WCHAR* text, int start = 0) const;
  /// Position of the last `ch`, or -1.
  int ReverseFind(WCHAR ch) const;
  /// Position of the first character that is in `characters`, or -1.
  int FindOneOf(const WCHAR* characters) const;

  /// Each returns the number of replacements or removals.
  int Replace(WCHAR oldChar, WCHAR newChar);
  int Replace(const WCHAR* oldText, const WCHAR* newText);
  int Remove(WCHAR ch);
  /// Insert and Delete return the new length; positions are clamped to the text.
  int Insert(int index, WCHAR ch);
  int Insert(int index, const WCHAR* text);
  int Delete(int index, int count = 1);

  /// Without an argument, trimming removes white space.
  CString& Trim();
  CString& Trim(WCHAR ch);
  CString& Trim(const WCHAR* characters);
  CString& TrimLeft();
  CString& TrimLeft(WCHAR ch);
  CString& TrimLeft(const WCHAR* characters);
  CString& TrimRight();
  CString& TrimRight(WCHAR ch);
  CString& TrimRight(const WCHAR* characters);

  CString& MakeLower();
  CString& MakeUpper();
  CString& MakeReverse();

  /// printf-style formatting (see winsim/wideformat.h). CString arguments may
  /// be passed as they are.
  template <class... Args>
  void Format(const WCHAR* format, const Args&... args) {
    const std::array<winsim::FormatArg, sizeof...(Args)> list{winsim::FormatArg(args)...};
    formatList(format, list, FormatMode::Replace);
  }
  template <class... Args>
  void AppendFormat(const WCHAR* format, const Args&... args) {
    const std::array<winsim::FormatArg, sizeof...(Args)> list{winsim::FormatArg(args)...};
    formatList(format, list, FormatMode::Append);
  }

  /// Direct access to the text for APIs that fill a buffer. GetBuffer(n) makes
  /// room for n characters and a NUL; the length stays until ReleaseBuffer,
  /// which takes the text up to its first NUL (-1) or the given length, both
  /// limited to the room that GetBuffer made.
  WCHAR* GetBuffer();
  WCHAR* GetBuffer(int minBufferLength);
  WCHAR* GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

 private:
  struct Header;
  enum class FormatMode { Replace, Append };

  /// The shared text of every empty string that owns no block; never written.
  static WCHAR* emptyText() noexcept;
  /// A zeroed block with room for `capacity` characters and a NUL.
  static WCHAR* allocate(int capacity);
  static void release(WCHAR* text) noexcept;
  static std::u16string_view viewOf(const WCHAR* text);
  std::u16string_view view() const noexcept;
  Header* header() const noexcept;
  bool ownsBlock() const noexcept;
  int capacity() const noexcept;
  /// Makes room for `length` characters, keeping the text.
  void reserve(int length);
  void assign(std::u16string_view text);
  void append(std::u16string_view text);
  void setLength(int length);
  void formatList(const WCHAR* format, std::span<const winsim::FormatArg> args, FormatMode mode);
  CString& trimLeftWhere(bool (*match)(WCHAR, const WCHAR*), const WCHAR* set);
  CString& trimRightWhere(bool (*match)(WCHAR, const WCHAR*), const WCHAR* set);

  WCHAR* m_pszData;
};

static_assert(sizeof(CString) == sizeof(WCHAR*), "CString is the pointer to its text, as on the platform");

class CStringArray {
 public:
  CStringArray() = default;
  CStringArray(const CStringArray&) = delete;
  CStringArray& operator=(const CStringArray&) = delete;

  INT_PTR GetSize() const noexcept { return static_cast<INT_PTR>(m_items.size()); }
  INT_PTR GetCount() const noexcept { return GetSize(); }
  INT_PTR GetUpperBound() const noexcept { return GetSize() - 1; }
  bool IsEmpty() const noexcept { return m_items.empty(); }
  /// Grows with empty strings or cuts; `growBy` is accepted for the
  /// platform's signature and changes nothing.
  void SetSize(INT_PTR newSize, INT_PTR growBy = -1);

  const CString& GetAt(INT_PTR index) const;
  void SetAt(INT_PTR index, const CString& text);
  CString& ElementAt(INT_PTR index);
  const CString& ElementAt(INT_PTR index) const;
  CString& operator[](INT_PTR index) { return ElementAt(index); }
  const CString& operator[](INT_PTR index) const { return ElementAt(index); }

  /// Returns the index of the new element.
  INT_PTR Add(const CString& text);
  /// Returns the index of the first appended element.
  INT_PTR Append(const CStringArray& other);
  void Copy(const CStringArray& other);
  /// An index past the end grows the array to it first, as on the platform.
  void InsertAt(INT_PTR index, const CString& text, INT_PTR count = 1);
  void InsertAt(INT_PTR startIndex, const CStringArray* other);
  void RemoveAt(INT_PTR index, INT_PTR count = 1);
  void RemoveAll() noexcept { m_items.clear(); }

 private:
  void checkIndex(const char* operation, INT_PTR index) const;

  std::vector<CString> m_items;
};
