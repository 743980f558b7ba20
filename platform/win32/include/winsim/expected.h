// Errors as values inside the platform layers.
//
// A fallible internal operation returns Expected<T>; the Win32 surface turns
// the error into its return value and last-error code once, at the edge.
#pragma once

#include <string>
#include <utility>
#include <variant>

#include "win32/types.h"

namespace winsim {

/// A Win32 error code with a sentence for people (winsim prints it).
struct Error {
  DWORD code = 0;
  std::string message;
};

template <class T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : m_state(std::move(value)) {}
  Expected(Error error) : m_state(std::move(error)) {}

  bool ok() const { return m_state.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & { return std::get<0>(m_state); }
  const T& value() const& { return std::get<0>(m_state); }
  T&& value() && { return std::get<0>(std::move(m_state)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  const Error& error() const { return std::get<1>(m_state); }

 private:
  std::variant<T, Error> m_state;
};

/// Expected<void>: success, or an error.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : m_error(std::move(error)), m_failed(true) {}

  bool ok() const { return !m_failed; }
  explicit operator bool() const { return ok(); }
  const Error& error() const { return m_error; }

 private:
  Error m_error;
  bool m_failed = false;
};

inline Error makeError(DWORD code, std::string message) { return Error{code, std::move(message)}; }

}  // namespace winsim
