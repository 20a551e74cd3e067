// NSURL, for file URLs only. A URL holds a device path; only the file manager maps it to a
// real one.
#include <functional>

#include "foundation/exceptions.h"
#include "foundation/path_resolution.h"
#include "foundation/storage_internal.h"

namespace qv::host {
namespace {

Class gURL;

NSURLObj* url(id u) { return fields<NSURLObj>(u); }

// Absolute, single slashes, no trailing slash except for "/" itself. "." and ".." stay, as
// NSURL keeps them until it is standardised.
std::string tidyPath(const std::string& path) { return joinDevicePath(pathComponents(path)); }

bool endsWithSlash(const std::string& s) { return !s.empty() && s.back() == '/'; }

id newURL(const std::string& devicePath, bool isDirectory) {
  id u = runtime::createInstance(gURL);
  url(u)->path = tidyPath(devicePath);
  url(u)->isDirectory = isDirectory;
  return u;
}

// Without a stated kind, a path names a folder when it ends in "/" or a folder is there.
bool looksLikeDirectory(const std::string& devicePath) {
  bool isDirectory = false;
  return endsWithSlash(devicePath) || (deviceItemExists(devicePath, &isDirectory) && isDirectory);
}

std::string appended(id self, const std::string& component) {
  const std::string& base = url(self)->path;
  return base == "/" ? "/" + component : base + "/" + component;
}

// Percent-escapes what may not stand in the path of a URL.
std::string escapePath(const std::string& path) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    bool plain =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
        std::string_view("-._~/!$&'()*+,;=:@").find(static_cast<char>(c)) != std::string_view::npos;
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

id urlFileURLWithPath(id, SEL, id path) {
  if (!path) {
    raiseUncaught(kInvalidArgumentException,
                  "*** -[NSURL initFileURLWithPath:]: nil string parameter");
  }
  if (!isString(path)) return nil;
  std::string p = stdString(path);
  return objc_autorelease(newURL(p, looksLikeDirectory(p)));
}
id urlFileURLWithPathIsDirectory(id, SEL, id path, BOOL isDirectory) {
  if (!path) {
    raiseUncaught(kInvalidArgumentException,
                  "*** -[NSURL initFileURLWithPath:isDirectory:]: nil string parameter");
  }
  if (!isString(path)) return nil;
  return objc_autorelease(newURL(stdString(path), isDirectory));
}
id urlPathMethod(id self, SEL) { return makeString(url(self)->path); }
id urlAbsoluteString(id self, SEL) {
  const NSURLObj* u = url(self);
  std::string slash = u->isDirectory && u->path != "/" ? "/" : "";
  return makeString("file://" + escapePath(u->path) + slash);
}
id urlLastPathComponent(id self, SEL) {
  std::vector<std::string> parts = pathComponents(url(self)->path);
  return makeString(parts.empty() ? "/" : parts.back());
}
id urlAppending(id self, SEL, id component) {
  if (!isString(component)) return nil;
  std::string path = appended(self, stdString(component));
  return objc_autorelease(newURL(path, looksLikeDirectory(path)));
}
id urlAppendingIsDirectory(id self, SEL, id component, BOOL isDirectory) {
  if (!isString(component)) return nil;
  return objc_autorelease(newURL(appended(self, stdString(component)), isDirectory));
}
id urlDeletingLastPathComponent(id self, SEL) {
  std::vector<std::string> parts = pathComponents(url(self)->path);
  if (!parts.empty()) parts.pop_back();
  return objc_autorelease(newURL(joinDevicePath(parts), true));
}
id urlResolvingSymlinks(id self, SEL) {
  std::optional<std::string> resolved = resolveDevicePath(url(self)->path, true);
  if (!resolved) return self;
  bool isDirectory = false;
  bool exists = deviceItemExists(*resolved, &isDirectory);
  return objc_autorelease(newURL(*resolved, exists ? isDirectory : url(self)->isDirectory));
}
BOOL urlIsFileURL(id, SEL) { return YES; }
BOOL urlHasDirectoryPath(id self, SEL) { return url(self)->isDirectory; }
BOOL urlIsEqual(id self, SEL, id other) {
  return other == self || (isURL(other) && url(other)->path == url(self)->path);
}
NSUInteger urlHash(id self, SEL) { return std::hash<std::string>()(url(self)->path); }
id urlCopy(id self, SEL, void*) { return objc_retain(self); }

}  // namespace

Class urlClass() { return gURL; }

id makeFileURL(const std::string& devicePath, bool isDirectory) {
  return objc_autorelease(newURL(devicePath, isDirectory));
}

std::string urlPath(id u) { return isURL(u) ? url(u)->path : std::string(); }

void registerURL() {
  gURL = ClassBuilder<NSURLObj>("NSURL", "NSObject")
             .classMethod("fileURLWithPath:", urlFileURLWithPath)
             .classMethod("fileURLWithPath:isDirectory:", urlFileURLWithPathIsDirectory)
             .method("path", urlPathMethod)
             .method("absoluteString", urlAbsoluteString)
             .method("lastPathComponent", urlLastPathComponent)
             .method("URLByAppendingPathComponent:", urlAppending)
             .method("URLByAppendingPathComponent:isDirectory:", urlAppendingIsDirectory)
             .method("URLByDeletingLastPathComponent", urlDeletingLastPathComponent)
             .method("URLByResolvingSymlinksInPath", urlResolvingSymlinks)
             .method("isFileURL", urlIsFileURL)
             .method("hasDirectoryPath", urlHasDirectoryPath)
             .method("isEqual:", urlIsEqual)
             .method("hash", urlHash)
             .method("description", urlAbsoluteString)
             .method("copyWithZone:", urlCopy)
             .cls();
}

}  // namespace qv::host
