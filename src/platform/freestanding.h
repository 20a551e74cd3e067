// The little the library needs of the C++ library beyond the headers that stand without a C
// library (<cstddef>, <cstdint>, <type_traits>, <initializer_list>, <limits>, <concepts>).
// The device has no copy of the rest, so it is written here.
#pragma once

#include <cstddef>
#include <type_traits>

namespace qv {

template <class T>
constexpr std::remove_reference_t<T>&& move(T&& value) noexcept {
  return static_cast<std::remove_reference_t<T>&&>(value);
}

// Maths without <cmath>: the compiler's builtins.
constexpr bool isFinite(double value) { return __builtin_isfinite(value); }

// Builds a T in raw storage: placement new without <new>, through an overload of our own.
struct InPlace {};

// A view of a constant array: what a table's accessor hands out.
template <class T>
class Span {
 public:
  constexpr Span(const T* data, size_t size) : data_(data), size_(size) {}
  template <size_t N>
  constexpr Span(const T (&array)[N]) : data_(array), size_(N) {}  // NOLINT: like std::span

  constexpr const T* begin() const { return data_; }
  constexpr const T* end() const { return data_ + size_; }
  constexpr size_t size() const { return size_; }
  constexpr const T& operator[](size_t i) const { return data_[i]; }

 private:
  const T* data_;
  size_t size_;
};

// Text built at compile time (type encodings), with a terminating NUL.
template <size_t N>
struct FixedText {
  char text[N + 1] = {};
  static constexpr size_t size() { return N; }
  constexpr const char* c_str() const { return text; }
};

constexpr size_t textLength(const char* s) {
  size_t n = 0;
  while (s[n]) n++;
  return n;
}

constexpr size_t decimalDigits(size_t value) {
  size_t digits = 1;
  while (value >= 10) {
    value /= 10;
    digits++;
  }
  return digits;
}

}  // namespace qv

inline void* operator new(size_t, void* where, qv::InPlace) noexcept { return where; }
inline void operator delete(void*, void*, qv::InPlace) noexcept {}
