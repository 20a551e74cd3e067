// Reading and writing NSDictionary and NSArray as property-list files.
#include "foundation/property_list.h"
#include "foundation/storage_internal.h"

namespace qv::host {
namespace {

// The root read from the file, as an instance of the receiving class when it is of the kind
// asked for; nested containers stay immutable.
id rootOfKind(id cls, id path, Class kind) {
  if (!isString(path)) return nil;
  id root = readPropertyListFile(stdString(path));
  if (!isKind(root, kind)) return nil;
  Class receiver = reinterpret_cast<Class>(cls);
  if (object_getClass(root) == receiver) return root;
  id copy = runtime::createInstance(receiver);
  if (kind == dictionaryClass()) {
    fields<NSDictionaryObj>(copy)->map = fields<NSDictionaryObj>(root)->map;
  } else {
    fields<NSArrayObj>(copy)->items = fields<NSArrayObj>(root)->items;
  }
  return objc_autorelease(copy);
}

id dictWithContentsOfFile(id cls, SEL, id path) { return rootOfKind(cls, path, dictionaryClass()); }
id arrayWithContentsOfFile(id cls, SEL, id path) { return rootOfKind(cls, path, arrayClass()); }

BOOL writeToFile(id self, SEL, id path, BOOL atomically) {
  return isString(path) && writePropertyListFile(stdString(path), self, atomically);
}

}  // namespace

void registerPropertyListMethods() {
  addClassMethod(dictionaryClass(), "dictionaryWithContentsOfFile:", dictWithContentsOfFile);
  addMethod(dictionaryClass(), "writeToFile:atomically:", writeToFile);
  addClassMethod(arrayClass(), "arrayWithContentsOfFile:", arrayWithContentsOfFile);
  addMethod(arrayClass(), "writeToFile:atomically:", writeToFile);
}

}  // namespace qv::host
