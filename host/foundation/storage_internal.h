// The storage classes' helpers (dates, errors, file URLs, the file manager) and the
// registration of every storage area.
#pragma once

#include <string>

#include "foundation/foundation_internal.h"
#include "runtime/class_builder.h"

namespace qv::host {

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
