// File URLs, the file manager and directory enumeration.
#pragma once

#include "platform/ns_collections.h"

namespace NS {

class URL : public Object {
 public:
  using Object::Object;

  static URL fileURLWithPath(const String& path) {
    return URL(msgSend<id>(CLASS("NSURL"), SELECTOR("fileURLWithPath:"), path.get()));
  }
  URL URLByAppendingPathComponent(const String& component, bool isDirectory) const {
    return URL(send<id>(SELECTOR("URLByAppendingPathComponent:isDirectory:"), component.get(),
                        isDirectory));
  }
  // The same URL with every symbolic link in its path resolved.
  URL URLByResolvingSymlinksInPath() const {
    return URL(send<id>(SELECTOR("URLByResolvingSymlinksInPath")));
  }
  String path() const { return String(send<id>(SELECTOR("path"))); }
};

class DirectoryEnumerator : public Object {
 public:
  using Object::Object;
  // The next entry's URL; nil at the end.
  Object nextObject() const { return Object(send<id>(SELECTOR("nextObject"))); }
};

// Options of enumeratorAtURL:...: do not descend into subdirectories.
constexpr NSUInteger DirectoryEnumerationSkipsSubdirectoryDescendants = 1;

class FileManager : public Object {
 public:
  using Object::Object;

  static FileManager defaultManager() {
    return FileManager(msgSend<id>(CLASS("NSFileManager"), SELECTOR("defaultManager")));
  }
  bool fileExistsAtPath(const String& path) const {
    return send<BOOL>(SELECTOR("fileExistsAtPath:"), path.get());
  }
  DirectoryEnumerator enumeratorAtURL(const URL& url, id keys, NSUInteger options,
                                      id errorHandler) const {
    return DirectoryEnumerator(
        send<id>(SELECTOR("enumeratorAtURL:includingPropertiesForKeys:options:errorHandler:"),
                 url.get(), keys, options, errorHandler));
  }
  // Removes a file, or a directory with everything in it; a symbolic link itself, never its
  // target.
  bool removeItemAtURL(const URL& url, id* error) const {
    return send<BOOL>(SELECTOR("removeItemAtURL:error:"), url.get(), error);
  }
};

}  // namespace NS
