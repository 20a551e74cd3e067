// Object-runtime type encodings of C++ types, of method signatures ("v@:", "@@:@", ...) and of
// block signatures ("v20@?0B8@12"), all made at compile time.
#pragma once

#include <cstddef>
#include <type_traits>

#include "platform/freestanding.h"

struct objc_object;
struct objc_class;
struct objc_selector;

namespace qv {

// The encoding of one type. Each struct passed by value declares its own encoding next to its
// definition.
template <class T, class Enable = void>
struct Encoding;

#define QV_ENCODING(type, text)                \
  template <>                                  \
  struct Encoding<type> {                      \
    static constexpr const char* value = text; \
  }

QV_ENCODING(void, "v");
QV_ENCODING(objc_object*, "@");
QV_ENCODING(objc_class*, "#");
QV_ENCODING(const objc_selector*, ":");
QV_ENCODING(bool, "B");
QV_ENCODING(char, "c");
QV_ENCODING(signed char, "c");
QV_ENCODING(unsigned char, "C");
QV_ENCODING(short, "s");
QV_ENCODING(unsigned short, "S");
QV_ENCODING(int, "i");
QV_ENCODING(unsigned int, "I");
QV_ENCODING(long, "q");
QV_ENCODING(unsigned long, "Q");
QV_ENCODING(long long, "q");
QV_ENCODING(unsigned long long, "Q");
QV_ENCODING(float, "f");
QV_ENCODING(double, "d");
QV_ENCODING(const char*, "*");
QV_ENCODING(char*, "*");
QV_ENCODING(objc_object**, "^@");

// Any other pointer is an untyped pointer.
template <class T>
struct Encoding<
    T*, std::enable_if_t<!std::is_same_v<T, objc_object> && !std::is_same_v<T, objc_class> &&
                         !std::is_same_v<T, char> && !std::is_same_v<T, const char> &&
                         !std::is_same_v<T, objc_object*>>> {
  static constexpr const char* value = "^v";
};

// Appends to a FixedText while it is built.
template <size_t N>
struct TextWriter {
  FixedText<N>& out;
  size_t at = 0;
  constexpr void text(const char* s) {
    for (size_t i = 0; s[i]; i++) out.text[at++] = s[i];
  }
  constexpr void number(size_t value) {
    size_t digits = decimalDigits(value);
    for (size_t i = digits; i > 0; i--) {
      out.text[at + i - 1] = static_cast<char>('0' + value % 10);
      value /= 10;
    }
    at += digits;
  }
};

template <class Sig>
struct MethodEncoding;

// "R@:A..." for a method that returns R and takes A... after self and _cmd.
template <class R, class... A>
struct MethodEncoding<R(A...)> {
  static constexpr size_t length =
      textLength(Encoding<R>::value) + 2 + (textLength(Encoding<A>::value) + ... + 0);
  static constexpr FixedText<length> make() {
    FixedText<length> out;
    TextWriter<length> w{out};
    w.text(Encoding<R>::value);
    w.text("@:");
    (w.text(Encoding<A>::value), ...);
    return out;
  }
  static constexpr FixedText<length> value = make();
};

template <class Sig>
constexpr const char* encodingOf() {
  return MethodEncoding<Sig>::value.c_str();
}

// The room an argument takes in a block signature's frame: integers narrower than an int
// count as an int, as the compilers write it.
template <class T>
constexpr size_t blockArgumentSize() {
  if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
    return sizeof(T) < sizeof(int) ? sizeof(int) : sizeof(T);
  } else {
    return sizeof(T);
  }
}

template <class Sig>
struct BlockEncoding;

// "R<frame>@?0" then each argument's encoding and offset: "v20@?0B8@12" for void(BOOL, id).
template <class R, class... A>
struct BlockEncoding<R(A...)> {
  static constexpr size_t frame = sizeof(void*) + (blockArgumentSize<A>() + ... + 0);
  static constexpr size_t length() {
    size_t n = textLength(Encoding<R>::value) + decimalDigits(frame) + 3;
    size_t offset = sizeof(void*);
    ((n += textLength(Encoding<A>::value) + decimalDigits(offset),
      offset += blockArgumentSize<A>()),
     ...);
    (void)offset;  // unused without arguments
    return n;
  }
  static constexpr FixedText<length()> make() {
    FixedText<length()> out;
    TextWriter<length()> w{out};
    w.text(Encoding<R>::value);
    w.number(frame);
    w.text("@?0");
    size_t offset = sizeof(void*);
    ((w.text(Encoding<A>::value), w.number(offset), offset += blockArgumentSize<A>()), ...);
    (void)offset;
    return out;
  }
  static constexpr FixedText<length()> value = make();
};

template <class Sig>
constexpr const char* blockEncodingOf() {
  return BlockEncoding<Sig>::value.c_str();
}

}  // namespace qv
