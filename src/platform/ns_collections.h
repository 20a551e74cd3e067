// Arrays and dictionaries.
#pragma once

#include "platform/ns_values.h"

namespace NS {

class MutableArray;

class Array : public Object {
 public:
  using Object::Object;

  static Array array() { return Array(msgSend<id>(CLASS("NSArray"), SELECTOR("array"))); }
  static Array arrayWithObject(id obj) {
    return Array(msgSend<id>(CLASS("NSArray"), SELECTOR("arrayWithObject:"), obj));
  }

  NSUInteger count() const { return send<NSUInteger>(SELECTOR("count")); }
  Object objectAtIndex(NSUInteger index) const {
    return Object(send<id>(SELECTOR("objectAtIndex:"), index));
  }
  bool containsObject(id obj) const { return send<BOOL>(SELECTOR("containsObject:"), obj); }
  // Owned (+1).
  MutableArray mutableCopy() const;
};

class MutableArray : public Array {
 public:
  using Array::Array;

  // An autoreleased empty array.
  static MutableArray array() {
    return MutableArray(msgSend<id>(CLASS("NSMutableArray"), SELECTOR("array")));
  }
  void addObject(id obj) const { send<void>(SELECTOR("addObject:"), obj); }
  // Removes every entry equal to the object.
  void removeObject(id obj) const { send<void>(SELECTOR("removeObject:"), obj); }
};

inline MutableArray Array::mutableCopy() const {
  return MutableArray(send<id>(SELECTOR("mutableCopy")));
}

class MutableDictionary;

class Dictionary : public Object {
 public:
  using Object::Object;

  // nil when the file is missing or holds no dictionary.
  static Dictionary dictionaryWithContentsOfFile(const String& path) {
    return Dictionary(
        msgSend<id>(CLASS("NSDictionary"), SELECTOR("dictionaryWithContentsOfFile:"), path.get()));
  }

  Object objectForKey(id key) const { return Object(send<id>(SELECTOR("objectForKey:"), key)); }
  NSUInteger count() const { return send<NSUInteger>(SELECTOR("count")); }
  Array allKeys() const { return Array(send<id>(SELECTOR("allKeys"))); }
  bool writeToFile(const String& path, bool atomically) const {
    return send<BOOL>(SELECTOR("writeToFile:atomically:"), path.get(), atomically);
  }
  // Owned (+1).
  MutableDictionary mutableCopy() const;
};

class MutableDictionary : public Dictionary {
 public:
  using Dictionary::Dictionary;

  static MutableDictionary dictionary() {
    return MutableDictionary(msgSend<id>(CLASS("NSMutableDictionary"), SELECTOR("dictionary")));
  }
  // A mutable dictionary read from a property-list file; nil when it cannot be read.
  static MutableDictionary dictionaryWithContentsOfFile(const String& path) {
    return MutableDictionary(msgSend<id>(CLASS("NSMutableDictionary"),
                                         SELECTOR("dictionaryWithContentsOfFile:"), path.get()));
  }
  void setObject(id obj, id key) const { send<void>(SELECTOR("setObject:forKey:"), obj, key); }
  void removeObjectForKey(id key) const { send<void>(SELECTOR("removeObjectForKey:"), key); }
};

inline MutableDictionary Dictionary::mutableCopy() const {
  return MutableDictionary(send<id>(SELECTOR("mutableCopy")));
}

}  // namespace NS
