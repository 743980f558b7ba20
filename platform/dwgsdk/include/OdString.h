// OdString: the SDK's wide string (UTF-16).
#pragma once

#include <string>
#include <string_view>

#include "OdTypes.h"

class OdString {
 public:
  OdString() = default;
  OdString(const OdChar* text) : m_text(text ? text : u"") {}
  OdString(const OdChar* text, int length) : m_text(text ? std::u16string(text, length < 0 ? 0 : length) : u"") {}
  OdString(std::u16string text) : m_text(std::move(text)) {}
  OdString(std::u16string_view text) : m_text(text) {}
  OdString(const OdString&) = default;
  OdString(OdString&&) noexcept = default;
  OdString& operator=(const OdString&) = default;
  OdString& operator=(OdString&&) noexcept = default;
  OdString& operator=(const OdChar* text) {
    m_text = text ? text : u"";
    return *this;
  }

  static const OdString kEmpty;

  const OdChar* c_str() const { return m_text.c_str(); }
  operator const OdChar*() const { return m_text.c_str(); }
  const std::u16string& str() const { return m_text; }
  std::u16string_view view() const { return m_text; }

  int getLength() const { return static_cast<int>(m_text.size()); }
  bool isEmpty() const { return m_text.empty(); }
  OdChar getAt(int index) const { return m_text.at(static_cast<std::size_t>(index)); }
  OdChar operator[](int index) const { return getAt(index); }

  OdString& operator+=(const OdString& other) {
    m_text += other.m_text;
    return *this;
  }
  OdString& operator+=(const OdChar* text) {
    if (text) m_text += text;
    return *this;
  }
  OdString& operator+=(OdChar c) {
    m_text += c;
    return *this;
  }
  friend OdString operator+(OdString a, const OdString& b) { return a += b; }
  friend OdString operator+(OdString a, const OdChar* b) { return a += b; }

  friend bool operator==(const OdString& a, const OdString& b) { return a.m_text == b.m_text; }
  friend bool operator==(const OdString& a, const OdChar* b) { return a.m_text == (b ? b : u""); }
  friend bool operator<(const OdString& a, const OdString& b) { return a.m_text < b.m_text; }

  /// Ordinal comparison (<0, 0, >0).
  int compare(const OdChar* other) const { return m_text.compare(other ? other : u""); }
  /// Comparison without case, as the drawing compares symbol names.
  int iCompare(const OdChar* other) const;

  OdString& makeUpper();
  OdString& makeLower();
  OdString left(int count) const;
  OdString right(int count) const;
  OdString mid(int start, int count = -1) const;
  /// Index of the first occurrence of `text` at or after `start`, or -1.
  int find(const OdChar* text, int start = 0) const;
  int find(OdChar c, int start = 0) const;
  int reverseFind(OdChar c) const;
  OdString& trimLeft();
  OdString& trimRight();
  void empty() { m_text.clear(); }

 private:
  std::u16string m_text;
};
