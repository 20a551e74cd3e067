// NSFileManager: existence checks, folder creation, listing, enumeration and removal at
// device paths.
#include <cerrno>

#include "foundation/device_directories.h"
#include "foundation/device_root.h"
#include "foundation/path_resolution.h"
#include "foundation/storage_internal.h"

namespace qv::host {
namespace {

Class gFileManager;

id fmDefaultManager(id, SEL) {
  static id shared = [] {
    id m = runtime::createInstance(gFileManager);
    runtime::makeImmortal(m);
    return m;
  }();
  return shared;
}

BOOL fmFileExistsIsDirectory(id, SEL, id path, BOOL* isDirectory) {
  bool folder = false;
  bool exists = isString(path) && deviceItemExists(stdString(path), &folder);
  if (isDirectory) *isDirectory = folder;
  return exists;
}
BOOL fmFileExists(id self, SEL, id path) {
  return fmFileExistsIsDirectory(self, nullptr, path, nullptr);
}

BOOL createDirectory(const std::string& path, BOOL intermediates, id* error) {
  if (createDeviceDirectory(path, intermediates)) return YES;
  setError(error, makeFileError(errno, path));
  return NO;
}
BOOL fmCreateDirectoryAtPath(id, SEL, id path, BOOL intermediates, id, id* error) {
  if (!isString(path)) return NO;
  return createDirectory(stdString(path), intermediates, error);
}
BOOL fmCreateDirectoryAtURL(id, SEL, id url, BOOL intermediates, id, id* error) {
  if (!isURL(url)) return NO;
  return createDirectory(urlPath(url), intermediates, error);
}

BOOL removeItem(const std::string& path, id* error) {
  if (removeDeviceItem(path)) return YES;
  setError(error, makeFileError(errno, path));
  return NO;
}
BOOL fmRemoveItemAtPath(id, SEL, id path, id* error) {
  if (!isString(path)) return NO;
  return removeItem(stdString(path), error);
}
BOOL fmRemoveItemAtURL(id, SEL, id url, id* error) {
  if (!isURL(url)) return NO;
  return removeItem(urlPath(url), error);
}

id fmContentsOfDirectory(id, SEL, id path, id* error) {
  if (!isString(path)) return nil;
  std::string device = stdString(path);
  std::optional<std::string> resolved = resolveDevicePath(device, true);
  std::optional<std::vector<DirectoryEntry>> entries;
  if (resolved) entries = listRealDirectory(realPath(*resolved));
  if (!entries) {
    setError(error, makeFileError(resolved ? errno : ELOOP, device));
    return nil;
  }
  std::vector<id> names;
  for (const DirectoryEntry& e : *entries) names.push_back(makeString(e.name));
  return makeArray(names);
}

// The property keys and the error handler are accepted and ignored: entries are URLs, and a
// folder that cannot be read simply yields nothing.
id fmEnumeratorAtURL(id, SEL, id url, id, NSUInteger options, id) {
  if (!isURL(url)) return nil;
  return makeDirectoryEnumerator(urlPath(url), options);
}

}  // namespace

void registerFileManager() {
  gFileManager = ClassBuilder<>("NSFileManager", "NSObject")
                     .classMethod("defaultManager", fmDefaultManager)
                     .method("fileExistsAtPath:", fmFileExists)
                     .method("fileExistsAtPath:isDirectory:", fmFileExistsIsDirectory)
                     .method("createDirectoryAtPath:withIntermediateDirectories:attributes:error:",
                             fmCreateDirectoryAtPath)
                     .method("createDirectoryAtURL:withIntermediateDirectories:attributes:error:",
                             fmCreateDirectoryAtURL)
                     .method("removeItemAtPath:error:", fmRemoveItemAtPath)
                     .method("removeItemAtURL:error:", fmRemoveItemAtURL)
                     .method("contentsOfDirectoryAtPath:error:", fmContentsOfDirectory)
                     .method("enumeratorAtURL:includingPropertiesForKeys:options:errorHandler:",
                             fmEnumeratorAtURL)
                     .cls();
}

}  // namespace qv::host
