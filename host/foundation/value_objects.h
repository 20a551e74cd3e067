// The structs behind Foundation's value objects, for the host frameworks built on Foundation
// that read them directly; tools and the library go through values.h and messages.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/values.h"
#include "runtime/class_builder.h"
#include "runtime/object_layout.h"
#include "runtime/object_refs.h"

namespace qv::host {

struct NSStringObj : objc_object {
  std::string utf8;
};

struct NSNumberObj : objc_object {
  enum class Kind { Bool, Integer, Real } kind = Kind::Integer;
  long long integer = 0;
  double real = 0;
  bool isFloat = false;  // made from a 32-bit float
  bool isInt = false;    // made from a 32-bit int
};

struct NSDataObj : objc_object {
  std::vector<uint8_t> bytes;
};

struct NSArrayObj : objc_object {
  std::vector<Strong> items;
};

// Dictionary keys are compared with -isEqual: and hashed with -hash (strings and numbers
// directly, without a message).
struct KeyHash {
  size_t operator()(const Strong& key) const;
};
struct KeyEqual {
  bool operator()(const Strong& a, const Strong& b) const { return (*this)(a.get(), b.get()); }
  bool operator()(id a, id b) const;
};

struct NSDictionaryObj : objc_object {
  std::unordered_map<Strong, Strong, KeyHash, KeyEqual> map;
};

struct NSDateObj : objc_object {
  double sinceReferenceDate = 0;  // seconds since 2001-01-01 00:00:00 UTC
};

struct NSErrorObj : objc_object {
  Strong domain;
  NSInteger code = 0;
  Strong userInfo;
};

// A file URL holds a device path; only the file manager maps it to a real one.
struct NSURLObj : objc_object {
  std::string path;  // absolute, no trailing "/" except for "/" itself
  bool isDirectory = false;
};

}  // namespace qv::host
