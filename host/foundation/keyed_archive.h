// Keyed archives: object graphs as binary property lists in NSKeyedArchiver's layout
// ("$archiver", "$version" 100000, "$top" {"root": uid}, "$objects" ["$null", ...]).
// NSString, NSNumber, NSData, NSDate, NSArray and NSDictionary (and their mutable kinds) are
// built in; other host layers register their classes with registerArchivableClass.
#pragma once

#include <plist/plist.h>

#include <functional>
#include <string>

#include "platform/objc.h"

namespace qv::host {

struct ArchiveWriter;
struct ArchiveReader;

// Collects the values of one object being archived.
class ArchiveEncoder {
 public:
  void encodeObject(const std::string& key, id value);
  void encodeDouble(const std::string& key, double value);
  void encodeInt(const std::string& key, long long value);
  void encodeBool(const std::string& key, bool value);

 private:
  friend struct ArchiveWriter;
  ArchiveEncoder(ArchiveWriter& writer, plist_t node) : writer_(writer), node_(node) {}
  ArchiveWriter& writer_;
  plist_t node_;
};

// Reads the values of one archived object. A value of the wrong type makes the whole
// unarchiving fail; a missing key reads as nil or zero.
class ArchiveDecoder {
 public:
  bool containsKey(const std::string& key) const;
  id decodeObject(const std::string& key) const;
  double decodeDouble(const std::string& key) const;
  long long decodeInt(const std::string& key) const;
  bool decodeBool(const std::string& key) const;

 private:
  friend struct ArchiveReader;
  ArchiveDecoder(ArchiveReader& reader, plist_t node) : reader_(reader), node_(node) {}
  plist_t value(const std::string& key) const;
  ArchiveReader& reader_;
  plist_t node_;
};

// Writes an object's values.
using ArchiveEncodeFn = std::function<void(id object, ArchiveEncoder& encoder)>;
// Makes an object (autoreleased) from its values; nil fails the unarchiving.
using ArchiveDecodeFn = std::function<id(const ArchiveDecoder& decoder)>;

// Lets instances of the class (and of its subclasses, archived under this name) be archived.
// Registering a name again replaces its functions.
void registerArchivableClass(const char* className, ArchiveEncodeFn encode, ArchiveDecodeFn decode);

// The archive of an object graph as NSData (autoreleased), or nil when it holds an object
// that cannot be archived or nests deeper than the property-list limit.
id archivedDataWithRootObject(id root);
// The root object of an archive, or nil for anything malformed: not a property list, another
// layout, a uid out of range, a cycle, an unknown class, a value of the wrong type.
id unarchiveObjectWithData(id data);

}  // namespace qv::host
