// NSArray, NSMutableArray, NSDictionary and NSMutableDictionary.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "foundation/exceptions.h"
#include "foundation/foundation_internal.h"
#include "runtime/class_builder.h"

namespace qv::host {
namespace {

Class gArray, gMutableArray, gDictionary, gMutableDictionary;

// Foundation raises on these; inside the home screen that ends the process.
[[noreturn]] void raise(const char* cls, SEL sel, const char* what) {
  raiseUncaught(kInvalidArgumentException,
                std::string("*** -[") + cls + " " + sel_getName(sel) + "]: " + what);
}
[[noreturn]] void raiseRange(id self, SEL sel, NSUInteger index, size_t count) {
  std::string bounds = count ? "[0 .. " + std::to_string(count - 1) + "]" : "for empty array";
  raiseUncaught(
      kRangeException,
      methodReason(self, sel, "index " + std::to_string(index) + " beyond bounds " + bounds));
}

NSArrayObj* arr(id a) { return fields<NSArrayObj>(a); }
NSDictionaryObj* dict(id d) { return fields<NSDictionaryObj>(d); }

id newArray(Class cls) { return runtime::createInstance(cls); }

// ---- NSArray ----

id arrEmpty(id cls, SEL) { return objc_autorelease(newArray(reinterpret_cast<Class>(cls))); }
id arrWithObject(id cls, SEL sel, id obj) {
  if (!obj) raise(class_getName(reinterpret_cast<Class>(cls)), sel, "attempt to insert nil object");
  id a = newArray(reinterpret_cast<Class>(cls));
  arr(a)->items.emplace_back(obj);
  return objc_autorelease(a);
}
id arrWithArray(id cls, SEL, id other) {
  id a = newArray(reinterpret_cast<Class>(cls));
  if (other && isArray(other)) arr(a)->items = arr(other)->items;
  return objc_autorelease(a);
}
NSUInteger arrCount(id self, SEL) { return arr(self)->items.size(); }
id arrObjectAtIndex(id self, SEL sel, NSUInteger index) {
  if (index >= arr(self)->items.size()) {
    raiseRange(self, sel, index, arr(self)->items.size());
  }
  return arr(self)->items[index];
}
id arrFirst(id self, SEL) {
  return arr(self)->items.empty() ? nil : arr(self)->items.front().get();
}
id arrLast(id self, SEL) { return arr(self)->items.empty() ? nil : arr(self)->items.back().get(); }
BOOL arrContains(id self, SEL, id obj) {
  if (!obj) return NO;
  KeyEqual eq;
  for (const Strong& item : arr(self)->items) {
    if (eq(item.get(), obj)) return YES;
  }
  return NO;
}
NSUInteger arrIndexOf(id self, SEL, id obj) {
  KeyEqual eq;
  auto& items = arr(self)->items;
  for (size_t i = 0; i < items.size(); i++) {
    if (obj && eq(items[i].get(), obj)) return i;
  }
  return static_cast<NSUInteger>(-1);  // NSNotFound
}
BOOL arrIsEqual(id self, SEL, id other) {
  if (other == self) return YES;
  if (!other || !isArray(other)) return NO;
  auto& a = arr(self)->items;
  auto& b = arr(other)->items;
  if (a.size() != b.size()) return NO;
  KeyEqual eq;
  for (size_t i = 0; i < a.size(); i++) {
    if (!eq(a[i], b[i])) return NO;
  }
  return YES;
}
NSUInteger arrHash(id self, SEL) { return arr(self)->items.size(); }
id arrCopy(id self, SEL, void*) {
  if (object_getClass(self) == gArray) return objc_retain(self);
  id a = newArray(gArray);
  arr(a)->items = arr(self)->items;
  return a;
}
id arrMutableCopy(id self, SEL, void*) {
  id a = newArray(gMutableArray);
  arr(a)->items = arr(self)->items;
  return a;
}

// ---- NSMutableArray ----

void marrAdd(id self, SEL sel, id obj) {
  if (!obj) raise(class_getName(object_getClass(self)), sel, "object cannot be nil");
  arr(self)->items.emplace_back(obj);
}
void marrInsert(id self, SEL sel, id obj, NSUInteger index) {
  if (!obj) raise(class_getName(object_getClass(self)), sel, "object cannot be nil");
  auto& items = arr(self)->items;
  if (index > items.size()) raiseRange(self, sel, index, items.size());
  items.insert(items.begin() + static_cast<ptrdiff_t>(index), Strong(obj));
}
// Removes every entry equal to the object.
void marrRemove(id self, SEL, id obj) {
  if (!obj) return;
  Strong key(obj);  // keep the object alive while equal entries are released
  KeyEqual eq;
  auto& items = arr(self)->items;
  items.erase(
      std::remove_if(items.begin(), items.end(), [&](const Strong& item) { return eq(item, key); }),
      items.end());
}
void marrRemoveAtIndex(id self, SEL sel, NSUInteger index) {
  auto& items = arr(self)->items;
  if (index >= items.size()) raiseRange(self, sel, index, items.size());
  items.erase(items.begin() + static_cast<ptrdiff_t>(index));
}
void marrRemoveAll(id self, SEL) { arr(self)->items.clear(); }

// ---- NSDictionary ----

id dictEmpty(id cls, SEL) {
  return objc_autorelease(runtime::createInstance(reinterpret_cast<Class>(cls)));
}
id dictWithObjectForKey(id cls, SEL sel, id obj, id key) {
  if (!obj || !key)
    raise(class_getName(reinterpret_cast<Class>(cls)), sel, "attempt to insert nil");
  Strong copied = Strong::adopt(msgSend<id>(key, SELECTOR("copy")));
  id d = runtime::createInstance(reinterpret_cast<Class>(cls));
  dict(d)->map[copied] = Strong(obj);
  return objc_autorelease(d);
}
id dictObjectForKey(id self, SEL, id key) {
  if (!key) return nil;
  auto it = dict(self)->map.find(Strong(key));
  return it == dict(self)->map.end() ? nil : it->second.get();
}
NSUInteger dictCount(id self, SEL) { return dict(self)->map.size(); }
id dictAllKeys(id self, SEL) {
  id a = newArray(gArray);
  for (auto& [k, v] : dict(self)->map) arr(a)->items.push_back(k);
  return objc_autorelease(a);
}
id dictAllValues(id self, SEL) {
  id a = newArray(gArray);
  for (auto& [k, v] : dict(self)->map) arr(a)->items.push_back(v);
  return objc_autorelease(a);
}
BOOL dictIsEqual(id self, SEL, id other) {
  if (other == self) return YES;
  if (!other || !isDictionary(other)) return NO;
  auto& a = dict(self)->map;
  auto& b = dict(other)->map;
  if (a.size() != b.size()) return NO;
  KeyEqual eq;
  for (auto& [k, v] : a) {
    auto it = b.find(k);
    if (it == b.end() || !eq(v, it->second)) return NO;
  }
  return YES;
}
NSUInteger dictHash(id self, SEL) { return dict(self)->map.size(); }
id dictCopy(id self, SEL, void*) {
  if (object_getClass(self) == gDictionary) return objc_retain(self);
  id d = runtime::createInstance(gDictionary);
  dict(d)->map = dict(self)->map;
  return d;
}
id dictMutableCopy(id self, SEL, void*) {
  id d = runtime::createInstance(gMutableDictionary);
  dict(d)->map = dict(self)->map;
  return d;
}

// ---- NSMutableDictionary ----

void mdictSet(id self, SEL sel, id obj, id key) {
  if (!obj) raise(class_getName(object_getClass(self)), sel, "object cannot be nil");
  if (!key) raise(class_getName(object_getClass(self)), sel, "key cannot be nil");
  // Keys are copied, so a mutable key changed later cannot corrupt the table; a key that
  // cannot be copied ends the process, as on the device.
  Strong copied = Strong::adopt(msgSend<id>(key, SELECTOR("copy")));
  dict(self)->map[copied] = Strong(obj);
}
void mdictRemove(id self, SEL sel, id key) {
  if (!key) raise(class_getName(object_getClass(self)), sel, "key cannot be nil");
  dict(self)->map.erase(Strong(key));
}
void mdictRemoveAll(id self, SEL) { dict(self)->map.clear(); }

}  // namespace

size_t KeyHash::operator()(const Strong& key) const {
  id k = key.get();
  if (isString(k)) return std::hash<std::string>()(fields<NSStringObj>(k)->utf8);
  return msgSend<NSUInteger>(k, SELECTOR("hash"));
}

bool KeyEqual::operator()(id x, id y) const {
  if (x == y) return true;
  if (!x || !y) return false;
  if (isString(x) && isString(y))
    return fields<NSStringObj>(x)->utf8 == fields<NSStringObj>(y)->utf8;
  return msgSend<BOOL>(x, SELECTOR("isEqual:"), y);
}

Class arrayClass() { return gArray; }
Class mutableArrayClass() { return gMutableArray; }
Class dictionaryClass() { return gDictionary; }
Class mutableDictionaryClass() { return gMutableDictionary; }

// Strings are tested on every dictionary and list lookup; most are exactly NSString.
bool isString(id obj) {
  return obj && (obj->isa == detail::stringClassObject || isKind(obj, detail::stringClassObject));
}

bool isKind(id obj, Class cls) {
  if (!obj || !cls) return false;
  for (Class c = object_getClass(obj); c; c = class_getSuperclass(c)) {
    if (c == cls) return true;
  }
  return false;
}

id makeArray(const std::vector<id>& items, bool mutableArray) {
  id a = newArray(mutableArray ? gMutableArray : gArray);
  for (id item : items) {
    if (item) arr(a)->items.emplace_back(item);
  }
  return objc_autorelease(a);
}

id makeDictionary(const std::vector<std::pair<id, id>>& entries, bool mutableDictionary) {
  id d = runtime::createInstance(mutableDictionary ? gMutableDictionary : gDictionary);
  for (auto& [k, v] : entries) {
    if (k && v) dict(d)->map[Strong(k)] = Strong(v);
  }
  return objc_autorelease(d);
}

std::vector<id> arrayItems(id array) {
  std::vector<id> out;
  if (!array || !isArray(array)) return out;
  for (const Strong& s : arr(array)->items) out.push_back(s.get());
  return out;
}

id dictionaryGet(id d, const std::string& key) {
  if (!d || !isDictionary(d)) return nil;
  AutoreleasePool pool;
  return dictObjectForKey(d, nullptr, makeString(key));
}

void dictionarySet(id d, id key, id value) {
  if (d && isDictionary(d) && key && value) dict(d)->map[Strong(key)] = Strong(value);
}

void registerCollections() {
  gArray = ClassBuilder<NSArrayObj>("NSArray", "NSObject")
               .classMethod("array", arrEmpty)
               .classMethod("arrayWithObject:", arrWithObject)
               .classMethod("arrayWithArray:", arrWithArray)
               .method("count", arrCount)
               .method("objectAtIndex:", arrObjectAtIndex)
               .method("firstObject", arrFirst)
               .method("lastObject", arrLast)
               .method("containsObject:", arrContains)
               .method("indexOfObject:", arrIndexOf)
               .method("isEqual:", arrIsEqual)
               .method("hash", arrHash)
               .method("copyWithZone:", arrCopy)
               .method("mutableCopyWithZone:", arrMutableCopy)
               .cls();
  gMutableArray = ClassBuilder<NSArrayObj>("NSMutableArray", "NSArray")
                      .method("addObject:", marrAdd)
                      .method("insertObject:atIndex:", marrInsert)
                      .method("removeObject:", marrRemove)
                      .method("removeObjectAtIndex:", marrRemoveAtIndex)
                      .method("removeAllObjects", marrRemoveAll)
                      .cls();
  gDictionary = ClassBuilder<NSDictionaryObj>("NSDictionary", "NSObject")
                    .classMethod("dictionary", dictEmpty)
                    .classMethod("dictionaryWithObject:forKey:", dictWithObjectForKey)
                    .method("objectForKey:", dictObjectForKey)
                    .method("count", dictCount)
                    .method("allKeys", dictAllKeys)
                    .method("allValues", dictAllValues)
                    .method("isEqual:", dictIsEqual)
                    .method("hash", dictHash)
                    .method("copyWithZone:", dictCopy)
                    .method("mutableCopyWithZone:", dictMutableCopy)
                    .cls();
  gMutableDictionary = ClassBuilder<NSDictionaryObj>("NSMutableDictionary", "NSDictionary")
                           .method("setObject:forKey:", mdictSet)
                           .method("removeObjectForKey:", mdictRemove)
                           .method("removeAllObjects", mdictRemoveAll)
                           .cls();
}

}  // namespace qv::host
