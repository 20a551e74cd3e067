// Strings, numbers and data.
#pragma once

#include "platform/ns_object.h"

namespace NS {

class String : public Object {
 public:
  using Object::Object;

  static String cls() { return String(asId(CLASS("NSString"))); }
  // An autoreleased copy of UTF-8 text; nil for a null pointer.
  static String from(const char* utf8) {
    return String(msgSend<id>(CLASS("NSString"), SELECTOR("stringWithUTF8String:"), utf8));
  }
  // A string that lives as long as the process, for literals.
  static String constant(const char* utf8) { return String(objc_retain(from(utf8))); }

  const char* UTF8String() const { return send<const char*>(SELECTOR("UTF8String")); }
  NSUInteger length() const { return send<NSUInteger>(SELECTOR("length")); }
  bool isEqualToString(const String& other) const {
    return send<BOOL>(SELECTOR("isEqualToString:"), other.get());
  }
  bool containsString(const String& other) const {
    return send<BOOL>(SELECTOR("containsString:"), other.get());
  }
  String stringByAppendingPathComponent(const String& component) const {
    return String(send<id>(SELECTOR("stringByAppendingPathComponent:"), component.get()));
  }
  String stringByAppendingString(const String& other) const {
    return String(send<id>(SELECTOR("stringByAppendingString:"), other.get()));
  }
};

// A string literal made once per call site, like @"...".
#define NSSTR(literal)                                                  \
  ([]() -> ::NS::String {                                               \
    static const ::NS::String qv_str = ::NS::String::constant(literal); \
    return qv_str;                                                      \
  }())

inline String Object::description() const { return String(send<id>(SELECTOR("description"))); }
inline Object Object::valueForKey(const String& key) const {
  return Object(send<id>(SELECTOR("valueForKey:"), key.get()));
}

class Number : public Object {
 public:
  using Object::Object;

  static Number withBool(bool v) {
    return Number(msgSend<id>(CLASS("NSNumber"), SELECTOR("numberWithBool:"), v));
  }
  static Number withInt(int v) {
    return Number(msgSend<id>(CLASS("NSNumber"), SELECTOR("numberWithInt:"), v));
  }
  static Number withInteger(NSInteger v) {
    return Number(msgSend<id>(CLASS("NSNumber"), SELECTOR("numberWithInteger:"), v));
  }
  static Number withFloat(float v) {
    return Number(msgSend<id>(CLASS("NSNumber"), SELECTOR("numberWithFloat:"), v));
  }
  static Number withDouble(double v) {
    return Number(msgSend<id>(CLASS("NSNumber"), SELECTOR("numberWithDouble:"), v));
  }

  double doubleValue() const { return send<double>(SELECTOR("doubleValue")); }
  NSInteger integerValue() const { return send<NSInteger>(SELECTOR("integerValue")); }
};

class Data : public Object {
 public:
  using Object::Object;

  static Data withBytes(const void* bytes, NSUInteger length) {
    return Data(msgSend<id>(CLASS("NSData"), SELECTOR("dataWithBytes:length:"), bytes, length));
  }
  NSUInteger length() const { return send<NSUInteger>(SELECTOR("length")); }
  const void* bytes() const { return send<const void*>(SELECTOR("bytes")); }
};

}  // namespace NS
