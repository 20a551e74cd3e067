// Host-side view of the storage classes (dates, errors, file URLs, the file manager) and the
// registration of every storage area.
#pragma once

#include <string>

#include "foundation/foundation_internal.h"
#include "runtime/class_builder.h"

namespace qv::host {

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

Class dateClass();
Class urlClass();
inline bool isDate(id obj) { return isKind(obj, dateClass()); }
inline bool isURL(id obj) { return isKind(obj, urlClass()); }

id makeDate(double sinceReferenceDate);
// A file URL for a device path; the path is made absolute and its slashes tidied.
id makeFileURL(const std::string& devicePath, bool isDirectory);
// The device path of a URL ("" for nil or another kind of object).
std::string urlPath(id url);

// An enumerator over the folder at a device path (links in the path followed), yielding a
// file URL per entry in sorted order, depth-first unless `options` has
// NSDirectoryEnumerationSkipsSubdirectoryDescendants; links to folders are never entered.
// A folder that cannot be read yields nothing.
id makeDirectoryEnumerator(const std::string& devicePath, NSUInteger options);

// The Cocoa error for a failed file operation on a device path (errno `err`).
id makeFileError(int err, const std::string& devicePath);
// Stores an error through an optional out-parameter.
inline void setError(id* out, id error) {
  if (out) *out = error;
}

// Adds methods to a class defined elsewhere, with encodings from the C++ signature.
template <class R, class... A>
void addMethod(Class cls, const char* sel, R (*fn)(id, SEL, A...)) {
  runtime::setMethod(cls, sel_registerName(sel), reinterpret_cast<IMP>(fn),
                     qv::encodingOf<R(A...)>());
}
template <class R, class... A>
void addClassMethod(Class cls, const char* sel, R (*fn)(id, SEL, A...)) {
  addMethod(object_getClass(asId(cls)), sel, fn);
}

void registerDate();
void registerError();
void registerPropertyListMethods();
void registerURL();
void registerFileManager();
void registerDirectoryEnumerator();
void registerPreferences();
void registerKeyedArchiving();

}  // namespace qv::host
