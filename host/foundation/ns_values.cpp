// NSString, NSNumber and NSData.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "foundation/exceptions.h"
#include "foundation/foundation_internal.h"
#include "foundation/string_scan.h"
#include "runtime/class_builder.h"

namespace qv::host {
namespace {

Class gString, gNumber, gData;

// ---- NSString ----

NSStringObj* str(id s) { return fields<NSStringObj>(s); }

id newString(std::string text) {
  id s = runtime::createInstance(gString);
  str(s)->utf8 = std::move(text);
  return s;
}

id strWithUTF8(id cls, SEL sel, const char* utf8) {
  if (!utf8) raiseUncaught(kInvalidArgumentException, methodReason(cls, sel, "NULL cString"));
  return objc_autorelease(newString(utf8));
}
id strEmpty(id, SEL) { return objc_autorelease(newString("")); }
id strInitWithUTF8(id self, SEL, const char* utf8) {
  if (!utf8) {
    objc_release(self);
    return nil;
  }
  str(self)->utf8 = utf8;
  return self;
}
const char* strUTF8(id self, SEL) { return str(self)->utf8.c_str(); }
// In UTF-16 code units, as Foundation counts: a character beyond the Basic Multilingual Plane
// (a four-byte UTF-8 sequence) is a surrogate pair and counts twice.
NSUInteger strLength(id self, SEL) {
  NSUInteger n = 0;
  for (unsigned char c : str(self)->utf8) {
    if ((c & 0xC0) != 0x80) n += c >= 0xF0 ? 2 : 1;
  }
  return n;
}
BOOL strIsEqualToString(id self, SEL, id other) {
  return other != nil && isString(other) && str(self)->utf8 == str(other)->utf8;
}
BOOL strIsEqual(id self, SEL, id other) {
  return other == self || strIsEqualToString(self, nullptr, other);
}
NSUInteger strHash(id self, SEL) { return std::hash<std::string>()(str(self)->utf8); }
BOOL strContains(id self, SEL sel, id other) {
  if (!other) raiseUncaught(kInvalidArgumentException, methodReason(self, sel, "nil argument"));
  if (!isString(other)) return NO;
  return str(self)->utf8.find(str(other)->utf8) != std::string::npos;
}
BOOL strHasPrefix(id self, SEL, id other) {
  if (!other || !isString(other)) return NO;
  return str(self)->utf8.rfind(str(other)->utf8, 0) == 0;
}
id strAppend(id self, SEL sel, id other) {
  if (!other) raiseUncaught(kInvalidArgumentException, methodReason(self, sel, "nil argument"));
  return objc_autorelease(newString(str(self)->utf8 + stdString(other)));
}

// Joins with exactly one "/" between the parts and none at the end, as Foundation does.
id strAppendPathComponent(id self, SEL, id component) {
  std::string base = str(self)->utf8;
  std::string comp = stdString(component);
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  size_t start = comp.find_first_not_of('/');
  comp = start == std::string::npos ? "" : comp.substr(start);
  while (!comp.empty() && comp.back() == '/') comp.pop_back();
  std::string out;
  if (base.empty()) {
    out = comp;
  } else if (comp.empty()) {
    out = base;
  } else {
    out = base == "/" ? "/" + comp : base + "/" + comp;
  }
  return objc_autorelease(newString(out));
}
id strLastPathComponent(id self, SEL) {
  std::string s = str(self)->utf8;
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  size_t slash = s.rfind('/');
  return objc_autorelease(
      newString(slash == std::string::npos || s == "/" ? s : s.substr(slash + 1)));
}
id strDeletingLastPathComponent(id self, SEL) {
  std::string s = str(self)->utf8;
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  size_t slash = s.rfind('/');
  std::string out = slash == std::string::npos ? "" : (slash == 0 ? "/" : s.substr(0, slash));
  return objc_autorelease(newString(out));
}
BOOL strBoolValue(id self, SEL) { return scanBool(str(self)->utf8); }
float strFloatValue(id self, SEL) { return static_cast<float>(scanDouble(str(self)->utf8)); }
double strDoubleValue(id self, SEL) { return scanDouble(str(self)->utf8); }
// Saturates at INT_MAX and INT_MIN, as Foundation documents.
int saturatedInt(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}
int strIntValue(id self, SEL) { return saturatedInt(scanInteger(str(self)->utf8)); }
NSInteger strIntegerValue(id self, SEL) { return scanInteger(str(self)->utf8); }
id strDescription(id self, SEL) { return self; }
id strCopy(id self, SEL, void*) { return objc_retain(self); }

// ---- NSNumber ----

NSNumberObj* num(id n) { return fields<NSNumberObj>(n); }

id newNumber(NSNumberObj::Kind kind, long long i, double d) {
  id n = runtime::createInstance(gNumber);
  num(n)->kind = kind;
  num(n)->integer = i;
  num(n)->real = d;
  return n;
}

double realOf(id n) {
  return num(n)->kind == NSNumberObj::Kind::Real ? num(n)->real
                                                 : static_cast<double>(num(n)->integer);
}
long long integerOf(id n) {
  if (num(n)->kind != NSNumberObj::Kind::Real) return num(n)->integer;
  double d = num(n)->real;
  if (!(d == d)) return 0;
  if (d >= 9.2e18) return INT64_MAX;
  if (d <= -9.2e18) return INT64_MIN;
  return static_cast<long long>(d);
}

id numWithBool(id, SEL, BOOL v) {
  return objc_autorelease(newNumber(NSNumberObj::Kind::Bool, v ? 1 : 0, 0));
}
id numWithInt(id, SEL, int v) {
  id n = newNumber(NSNumberObj::Kind::Integer, v, 0);
  num(n)->isInt = true;
  return objc_autorelease(n);
}
id numWithInteger(id, SEL, NSInteger v) {
  return objc_autorelease(newNumber(NSNumberObj::Kind::Integer, v, 0));
}
id numWithLongLong(id, SEL, long long v) {
  return objc_autorelease(newNumber(NSNumberObj::Kind::Integer, v, 0));
}
id numWithFloat(id, SEL, float v) {
  id n = newNumber(NSNumberObj::Kind::Real, 0, v);
  num(n)->isFloat = true;
  return objc_autorelease(n);
}
id numWithDouble(id, SEL, double v) {
  return objc_autorelease(newNumber(NSNumberObj::Kind::Real, 0, v));
}
BOOL numBoolValue(id self, SEL) {
  return num(self)->kind == NSNumberObj::Kind::Real ? num(self)->real != 0
                                                    : num(self)->integer != 0;
}
int numIntValue(id self, SEL) { return saturatedInt(integerOf(self)); }
NSInteger numIntegerValue(id self, SEL) { return integerOf(self); }
long long numLongLongValue(id self, SEL) { return integerOf(self); }
float numFloatValue(id self, SEL) { return static_cast<float>(realOf(self)); }
double numDoubleValue(id self, SEL) { return realOf(self); }
const char* numObjCType(id self, SEL) {
  switch (num(self)->kind) {
    case NSNumberObj::Kind::Bool:
      return "c";
    case NSNumberObj::Kind::Integer:
      return num(self)->isInt ? "i" : "q";
    case NSNumberObj::Kind::Real:
      return num(self)->isFloat ? "f" : "d";
  }
  return "q";
}
BOOL numIsEqual(id self, SEL, id other) {
  if (other == self) return YES;
  if (!other || !isNumber(other)) return NO;
  if (num(self)->kind != NSNumberObj::Kind::Real && num(other)->kind != NSNumberObj::Kind::Real) {
    return num(self)->integer == num(other)->integer;
  }
  double a = realOf(self), b = realOf(other);
  // As CFNumberCompare: NaN equals NaN, whatever its bits, and nothing else.
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b;
}
NSUInteger numHash(id self, SEL) {
  double d = realOf(self);
  if (std::isnan(d)) return 0x7ff8;  // one hash for every NaN, as they are all equal
  return d == 0 ? 0 : std::hash<double>()(d);
}
// "%.17g" (for a float "%.9g") with the fewest significant digits that read back as the same
// value: 0.1 prints "0.1", not "0.10000000000000001". Which notation is used, and how the
// exponent is written, stays as "%.17g" has it.
std::string shortestReal(double value, bool isFloat) {
  if (!std::isfinite(value)) return value != value ? "nan" : value < 0 ? "-inf" : "inf";
  const int maxDigits = isFloat ? 9 : 17;
  char buf[64];
  int digits = 1;
  for (; digits < maxDigits; digits++) {
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
    bool same = isFloat ? std::strtof(buf, nullptr) == static_cast<float>(value)
                        : std::strtod(buf, nullptr) == value;
    if (same) break;
  }
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
  // buf: [-]d[.ddd]e±XX; take the significant digits without trailing zeros and the exponent.
  std::string text = buf;
  std::string sign = text[0] == '-' ? "-" : "";
  size_t e = text.find('e');
  std::string mantissa = text.substr(sign.size(), e - sign.size());
  int exponent = std::atoi(text.c_str() + e + 1);
  std::string significant;
  for (char c : mantissa) {
    if (c != '.') significant += c;
  }
  while (significant.size() > 1 && significant.back() == '0') significant.pop_back();
  if (exponent < -4 || exponent >= maxDigits) {
    std::string out = sign + significant.substr(0, 1);
    if (significant.size() > 1) out += "." + significant.substr(1);
    char exp[16];
    std::snprintf(exp, sizeof exp, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + exp;
  }
  if (exponent < 0)
    return sign + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + significant;
  auto integerDigits = static_cast<size_t>(exponent) + 1;
  if (significant.size() <= integerDigits) {
    return sign + significant + std::string(integerDigits - significant.size(), '0');
  }
  return sign + significant.substr(0, integerDigits) + "." + significant.substr(integerDigits);
}
id numDescription(id self, SEL) {
  char buf[64];
  if (num(self)->kind == NSNumberObj::Kind::Real) {
    return makeString(shortestReal(num(self)->real, num(self)->isFloat));
  }
  std::snprintf(buf, sizeof buf, "%lld", num(self)->integer);
  return makeString(buf);
}

// ---- NSData ----

NSDataObj* data(id d) { return fields<NSDataObj>(d); }

id dataWithBytes(id, SEL, const void* bytes, NSUInteger length) {
  id d = runtime::createInstance(gData);
  if (bytes && length) {
    auto* p = static_cast<const uint8_t*>(bytes);
    data(d)->bytes.assign(p, p + length);
  }
  return objc_autorelease(d);
}
NSUInteger dataLength(id self, SEL) { return data(self)->bytes.size(); }
const void* dataBytes(id self, SEL) {
  return data(self)->bytes.empty() ? nullptr : data(self)->bytes.data();
}
BOOL dataIsEqual(id self, SEL, id other) {
  return other == self || (other && isData(other) && data(self)->bytes == data(other)->bytes);
}
NSUInteger dataHash(id self, SEL) {
  return std::hash<std::string_view>()(std::string_view(
      reinterpret_cast<const char*>(data(self)->bytes.data()), data(self)->bytes.size()));
}

}  // namespace

namespace detail {
Class stringClassObject = nullptr;
}  // namespace detail

Class stringClass() { return gString; }
Class numberClass() { return gNumber; }
Class dataClass() { return gData; }

id makeString(const std::string& utf8) { return objc_autorelease(newString(utf8)); }
id makeBool(bool value) { return numWithBool(nil, nullptr, value); }
id makeInteger(long long value) { return numWithLongLong(nil, nullptr, value); }
id makeDouble(double value) { return numWithDouble(nil, nullptr, value); }
id makeData(std::vector<uint8_t> bytes) {
  id d = runtime::createInstance(gData);
  data(d)->bytes = std::move(bytes);
  return objc_autorelease(d);
}

std::string stdString(id s) { return s && isString(s) ? str(s)->utf8 : std::string(); }

void registerValueClasses() {
  gString = ClassBuilder<NSStringObj>("NSString", "NSObject")
                .classMethod("stringWithUTF8String:", strWithUTF8)
                .classMethod("string", strEmpty)
                .method("initWithUTF8String:", strInitWithUTF8)
                .method("UTF8String", strUTF8)
                .method("length", strLength)
                .method("isEqualToString:", strIsEqualToString)
                .method("isEqual:", strIsEqual)
                .method("hash", strHash)
                .method("containsString:", strContains)
                .method("hasPrefix:", strHasPrefix)
                .method("stringByAppendingString:", strAppend)
                .method("stringByAppendingPathComponent:", strAppendPathComponent)
                .method("lastPathComponent", strLastPathComponent)
                .method("stringByDeletingLastPathComponent", strDeletingLastPathComponent)
                .method("boolValue", strBoolValue)
                .method("floatValue", strFloatValue)
                .method("doubleValue", strDoubleValue)
                .method("intValue", strIntValue)
                .method("integerValue", strIntegerValue)
                .method("description", strDescription)
                .method("copyWithZone:", strCopy)
                .cls();
  detail::stringClassObject = gString;
  gNumber = ClassBuilder<NSNumberObj>("NSNumber", "NSObject")
                .classMethod("numberWithBool:", numWithBool)
                .classMethod("numberWithInt:", numWithInt)
                .classMethod("numberWithInteger:", numWithInteger)
                .classMethod("numberWithLongLong:", numWithLongLong)
                .classMethod("numberWithFloat:", numWithFloat)
                .classMethod("numberWithDouble:", numWithDouble)
                .method("boolValue", numBoolValue)
                .method("intValue", numIntValue)
                .method("integerValue", numIntegerValue)
                .method("longLongValue", numLongLongValue)
                .method("floatValue", numFloatValue)
                .method("doubleValue", numDoubleValue)
                .method("objCType", numObjCType)
                .method("isEqual:", numIsEqual)
                .method("isEqualToNumber:", numIsEqual)
                .method("hash", numHash)
                .method("description", numDescription)
                .method("copyWithZone:", strCopy)
                .cls();
  gData = ClassBuilder<NSDataObj>("NSData", "NSObject")
              .classMethod("dataWithBytes:length:", dataWithBytes)
              .method("length", dataLength)
              .method("bytes", dataBytes)
              .method("isEqual:", dataIsEqual)
              .method("hash", dataHash)
              .method("copyWithZone:", strCopy)
              .cls();
}

}  // namespace qv::host
