// Object-runtime type encodings of C++ types and of method signatures ("v@:", "@@:@", ...).
#pragma once

#include <string>
#include <type_traits>

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

template <class Sig>
struct SignatureEncoding;

template <class R, class... Args>
struct SignatureEncoding<R(Args...)> {
  static std::string make() {
    std::string s = Encoding<R>::value;
    s += "@:";
    ((s += Encoding<Args>::value), ...);
    return s;
  }
};

// "R@:A..." for a method that returns R and takes Args after self and _cmd.
template <class Sig>
inline const char* encodingOf() {
  static const std::string text = SignatureEncoding<Sig>::make();
  return text.c_str();
}

}  // namespace qv
