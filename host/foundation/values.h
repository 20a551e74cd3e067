// Foundation's value objects (strings, numbers, data, arrays, dictionaries, dates, file URLs)
// made and read from C++.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/objc.h"

namespace qv::host {

// Classes of the value objects, looked up once.
Class stringClass();
Class numberClass();
Class dataClass();
Class arrayClass();
Class mutableArrayClass();
Class dictionaryClass();
Class mutableDictionaryClass();
Class dateClass();
Class urlClass();

bool isKind(id obj, Class cls);

bool isString(id obj);
inline bool isNumber(id obj) { return isKind(obj, numberClass()); }
inline bool isData(id obj) { return isKind(obj, dataClass()); }
inline bool isArray(id obj) { return isKind(obj, arrayClass()); }
inline bool isDictionary(id obj) { return isKind(obj, dictionaryClass()); }
inline bool isDate(id obj) { return isKind(obj, dateClass()); }
inline bool isURL(id obj) { return isKind(obj, urlClass()); }

// Autoreleased value objects.
id makeString(const std::string& utf8);
id makeBool(bool value);
id makeInteger(long long value);
id makeDouble(double value);
id makeData(std::vector<uint8_t> bytes);
id makeArray(const std::vector<id>& items, bool mutableArray = false);
id makeDictionary(const std::vector<std::pair<id, id>>& entries, bool mutableDictionary = false);
id makeDate(double sinceReferenceDate);
// A file URL for a device path; the path is made absolute and its slashes tidied.
id makeFileURL(const std::string& devicePath, bool isDirectory);

// The UTF-8 text of a string ("" for nil or a non-string).
std::string stdString(id str);
// Entries of an array (empty for nil or a non-array).
std::vector<id> arrayItems(id array);
// Object stored under a string key, or nil.
id dictionaryGet(id dict, const std::string& key);
void dictionarySet(id dict, id key, id value);
// The device path of a URL ("" for nil or another kind of object).
std::string urlPath(id url);

}  // namespace qv::host
