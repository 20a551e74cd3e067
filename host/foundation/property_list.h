// Property lists: libplist nodes and files to objects and back.
//
// Reading maps dict to NSDictionary (immutable, string keys), array to NSArray, string to
// NSString (ending at a NUL; text that is not UTF-8 makes the whole list malformed), integer
// to NSNumber (signed 64-bit), real to NSNumber (double), boolean to NSNumber (bool), data to
// NSData, date to NSDate (to the microsecond; one beyond signed 32-bit seconds, which could not
// be written again, makes the list malformed), and a keyed-archive uid to the dictionary
// {"CF$UID": number}. Writing takes exactly those classes (a dictionary only with string keys);
// anything else makes the whole conversion fail. Dictionary keys are written sorted.
#pragma once

#include <plist/plist.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/objc.h"

namespace qv::host {

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
// Owns a libplist node tree.
using PlistPtr = std::unique_ptr<void, PlistFree>;

// The parsed tree of XML or binary bytes; null when they are malformed, too large or too
// deeply nested.
PlistPtr parsePropertyListBytes(std::string_view bytes);

// An autoreleased object for a node, or nil (nesting deeper than the limit, unknown node, a
// string or key that is not UTF-8).
id objectFromPlistNode(plist_t node);
// A node tree for an object, or null when it is not a property list. With `wholeSecondDates`
// (as XML holds them) a date keeps only the second it falls in.
PlistPtr plistNodeFromObject(id object, bool wholeSecondDates = false);

// The object held by XML or binary property-list bytes, or nil.
id propertyListFromBytes(std::string_view bytes);
// The object as an XML / binary property list; empty when it is not a property list.
std::string propertyListXML(id object);
std::string propertyListBinary(id object);

// The object (any root) held by a property-list file, or nil when the file is missing,
// unreadable or malformed.
id readPropertyListFile(const std::string& devicePath);
// Writes the object as an XML property list; false when it is not a property list (nothing is
// written) or on any I/O failure (an atomic write then leaves the old file as it was).
bool writePropertyListFile(const std::string& devicePath, id object, bool atomically);

}  // namespace qv::host
