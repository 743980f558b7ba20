// printf-style formatting of wide text, for CString::Format and the layers'
// other printf-like surfaces.
//
// On Windows a CString passed to a C variadic function works because the
// class is a single pointer. On this host it does not: the Itanium C++ ABI
// passes a class with a destructor through `...` by a hidden reference, so the
// callee would read the object's address as text (g++), or the call does not
// compile (clang). The printf-like surfaces are therefore variadic templates
// that turn each argument into a FormatArg, which knows its own type. That
// also makes a mismatch harmless: a conversion whose argument is missing or of
// the wrong kind is copied to the output as written (for example "%d"),
// instead of reading memory that holds something else.
//
// Conversions: d i u o x X c C s S p n % and f F e E g G a A; flags - + space
// # 0; width and precision, with * taking an int argument; length modifiers
// hh h l ll L w z j t I I32 I64, with Windows sizes (l is 32 bits, I64 and ll
// 64). %s and %ls are wide text, %S and %hs narrow text in the ANSI code page;
// a CString or wide pointer given to %S (or narrow text to %s) is printed as
// what it is. A null string prints "(null)". %n writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace winsim {

/// One argument of a formatting call, with its type.
class FormatArg {
 public:
  enum class Kind { Signed, Unsigned, Real, WideText, NarrowText, Pointer };

  // Narrower integers, characters, bool and unscoped enumerations reach the
  // int constructor by promotion, as through C's `...`.
  FormatArg(int value) : m_kind(Kind::Signed), m_signed(value) {}
  FormatArg(long value) : m_kind(Kind::Signed), m_signed(value) {}
  FormatArg(long long value) : m_kind(Kind::Signed), m_signed(value) {}
  FormatArg(unsigned value) : m_kind(Kind::Unsigned), m_unsigned(value) {}
  FormatArg(unsigned long value) : m_kind(Kind::Unsigned), m_unsigned(value) {}
  FormatArg(unsigned long long value) : m_kind(Kind::Unsigned), m_unsigned(value) {}
  FormatArg(double value) : m_kind(Kind::Real), m_real(value) {}
  FormatArg(long double value) : m_kind(Kind::Real), m_real(static_cast<double>(value)) {}
  FormatArg(const char16_t* text) : m_kind(Kind::WideText), m_wide(text) {}
  FormatArg(const char* text) : m_kind(Kind::NarrowText), m_narrow(text) {}
  FormatArg(std::nullptr_t) : m_kind(Kind::Pointer), m_pointer(nullptr) {}
  template <class T>
  requires(!std::is_same_v<std::remove_cv_t<T>, char> && !std::is_same_v<std::remove_cv_t<T>, char16_t>)
      FormatArg(T* pointer)
      : m_kind(Kind::Pointer), m_pointer(pointer) {}

  Kind kind() const { return m_kind; }
  bool isInteger() const { return m_kind == Kind::Signed || m_kind == Kind::Unsigned; }
  /// The integer's bits, as a C argument of 64 bits would carry them.
  std::uint64_t bits() const { return m_kind == Kind::Signed ? static_cast<std::uint64_t>(m_signed) : m_unsigned; }
  double real() const { return m_real; }
  const char16_t* wide() const { return m_wide; }
  const char* narrow() const { return m_narrow; }
  const volatile void* pointer() const { return m_pointer; }

 private:
  Kind m_kind;
  union {
    std::int64_t m_signed;
    std::uint64_t m_unsigned;
    double m_real;
    const char16_t* m_wide;
    const char* m_narrow;
    const volatile void* m_pointer;
  };
};

/// Appends `format` with its conversions replaced by the arguments. The output
/// grows as needed, so nothing is ever written past its end; widths and
/// precisions above kMaxFormatField are taken as kMaxFormatField.
void appendFormatted(std::u16string& out, std::u16string_view format, std::span<const FormatArg> args);

constexpr int kMaxFormatField = 1 << 20;

}  // namespace winsim
