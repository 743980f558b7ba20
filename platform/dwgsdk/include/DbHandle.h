// OdDbHandle: an object's handle in its database, written as hexadecimal text.
#pragma once

#include "OdString.h"

class OdDbHandle {
 public:
  OdDbHandle() = default;
  OdDbHandle(OdUInt64 value) : m_value(value) {}
  /// Reads hexadecimal digits ("1F", "1f"); text that is not a handle gives
  /// the null handle.
  explicit OdDbHandle(const OdChar* hexText) { *this = hexText; }
  explicit OdDbHandle(const OdString& hexText) { *this = hexText.c_str(); }
  OdDbHandle& operator=(const OdChar* hexText);
  OdDbHandle& operator=(const OdString& hexText) { return *this = hexText.c_str(); }
  OdDbHandle& operator=(OdUInt64 value) {
    m_value = value;
    return *this;
  }

  bool isNull() const { return m_value == 0; }
  operator OdUInt64() const { return m_value; }
  OdUInt64 value() const { return m_value; }
  OdDbHandle& operator++() {
    ++m_value;
    return *this;
  }

  /// Writes the handle as upper-case hexadecimal digits, NUL-terminated, into
  /// a buffer of at least 17 characters.
  void getIntoAsciiBuffer(OdChar* buffer, std::size_t bufferLength = 17) const;
  OdString ascii() const;

  friend bool operator==(const OdDbHandle& a, const OdDbHandle& b) { return a.m_value == b.m_value; }
  friend bool operator<(const OdDbHandle& a, const OdDbHandle& b) { return a.m_value < b.m_value; }

 private:
  OdUInt64 m_value = 0;
};
