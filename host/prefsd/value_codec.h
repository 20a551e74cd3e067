// The property-list values a message carries, in a compact binary form that is quick to write
// and to read back (a settings read must cost little more than the socket's round trip).
//
// Each value is a tag byte and its contents, numbers little-endian: 'S' string and 'B' data
// (4-byte length, bytes), 'I' integer (8 bytes), 'R' real and 'F' real made from a float
// (8-byte double), 'D' date (8-byte double, seconds since 2001), 'T' true, 'N' false,
// 'A' array (4-byte count, values), 'M' dictionary (4-byte count, then per entry the key as
// a 4-byte length and UTF-8 bytes, and its value).
#pragma once

#include <string>
#include <string_view>

#include "platform/objc.h"

namespace qv::host::prefsd {

// Appends the encoding of a property-list object (strings, numbers, data, dates, arrays, and
// dictionaries with string keys, nested at most as deep as a property list may be); false, with
// `out` unspecified, for anything else. A string ends at its first NUL, as in a property list.
bool encodeValue(id object, std::string& out);

// The object (autoreleased) encoded by all of `bytes`, or nil when they are not exactly one
// well-formed value within the property-list limits, with UTF-8 strings and keys and finite
// dates.
id decodeValue(std::string_view bytes);

// Whether `bytes` encode a dictionary holding true under `key`. Makes no objects, for code
// that runs while the runtime may be ending.
bool dictionaryFlag(std::string_view bytes, std::string_view key);

}  // namespace qv::host::prefsd
