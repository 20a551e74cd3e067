// Host-side view of the Foundation stand-in: the structs behind its objects and quick ways to
// make and read them from C++.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/objc_internal.h"
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

// Classes of the value objects, looked up once.
Class stringClass();
Class numberClass();
Class dataClass();
Class arrayClass();
Class mutableArrayClass();
Class dictionaryClass();
Class mutableDictionaryClass();

bool isKind(id obj, Class cls);

namespace detail {
extern Class stringClassObject;  // set when NSString is defined
}  // namespace detail

// Strings are tested on every dictionary and list lookup; most are exactly NSString.
inline bool isString(id obj) {
  return obj && (obj->isa == detail::stringClassObject || isKind(obj, detail::stringClassObject));
}
inline bool isNumber(id obj) { return isKind(obj, numberClass()); }
inline bool isData(id obj) { return isKind(obj, dataClass()); }
inline bool isArray(id obj) { return isKind(obj, arrayClass()); }
inline bool isDictionary(id obj) { return isKind(obj, dictionaryClass()); }

// Autoreleased value objects.
id makeString(const std::string& utf8);
id makeBool(bool value);
id makeInteger(long long value);
id makeDouble(double value);
id makeData(std::vector<uint8_t> bytes);
id makeArray(const std::vector<id>& items, bool mutableArray = false);
id makeDictionary(const std::vector<std::pair<id, id>>& entries, bool mutableDictionary = false);

// The UTF-8 text of a string ("" for nil or a non-string).
std::string stdString(id str);
// Entries of an array (empty for nil or a non-array).
std::vector<id> arrayItems(id array);
// Object stored under a string key, or nil.
id dictionaryGet(id dict, const std::string& key);
void dictionarySet(id dict, id key, id value);

// Per-area registration, run by registerFoundation() in dependency order.
void registerNSObject();
void registerValueClasses();
void registerCollections();
// Blocks, the main queue and the notification centre.
void registerEvents();
// Dates, errors, property-list files, URLs, the file manager, preferences, archiving.
void registerStorage();

}  // namespace qv::host
