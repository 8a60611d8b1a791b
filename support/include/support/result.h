// A value, or why there is none: what every step that can fail returns, so that a caller
// cannot take a failure for a value nor drop it unread.
#pragma once

#include <cstdlib>
#include <system_error>
#include <type_traits>
#include <utility>
#include <variant>

namespace quobrel {

// Why a step failed, as its caller is given it: `return Failure(error);`.
template <class Error>
struct Failure {
  // Spelt out: clang before 16 makes no aggregate of parentheses, as `Failure(error)` asks.
  explicit Failure(Error why) : error(std::move(why)) {}
  Error error;
};
template <class Error>
Failure(Error) -> Failure<Error>;

template <class T, class Error = std::error_code>
class [[nodiscard]] Result {
 public:
  // Implicit, so that a step returns its value, or a Failure, as it is.
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  template <class From>
  Result(Failure<From> failure) : state_(std::in_place_index<1>, std::move(failure.error)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& operator*() & { return Checked(); }
  const T& operator*() const& { return const_cast<Result&>(*this).Checked(); }
  T&& operator*() && { return std::move(Checked()); }
  T* operator->() { return &Checked(); }
  const T* operator->() const { return &const_cast<Result&>(*this).Checked(); }

  const Error& error() const {
    if (ok()) std::abort();
    return *std::get_if<1>(&state_);
  }

 private:
  // Taking a value that is not there is the caller's fault: it stops the program in every
  // build, rather than read what is not there.
  T& Checked() {
    if (!ok()) std::abort();
    return *std::get_if<0>(&state_);
  }
  std::variant<T, Error> state_;
};

// Success with nothing to give, or why not.
template <class Error>
class [[nodiscard]] Result<void, Error> {
 public:
  Result() = default;
  template <class From>
  Result(Failure<From> failure) : error_(std::move(failure.error)), ok_(false) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const Error& error() const {
    if (ok_) std::abort();
    return error_;
  }

 private:
  Error error_{};
  bool ok_ = true;
};

}  // namespace quobrel
