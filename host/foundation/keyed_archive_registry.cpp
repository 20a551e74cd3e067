// Classes that other host layers make archivable.
#include <mutex>
#include <unordered_map>

#include "foundation/keyed_archive_internal.h"
#include "foundation/storage_internal.h"

namespace qv::host {
namespace {

std::mutex gLock;
std::unordered_map<std::string, std::shared_ptr<const ArchivableClass>>& registry() {
  static auto* r = new std::unordered_map<std::string, std::shared_ptr<const ArchivableClass>>();
  return *r;
}

}  // namespace

void registerArchivableClass(const char* className, ArchiveEncodeFn encode,
                             ArchiveDecodeFn decode) {
  if (!className || !encode || !decode) return;
  auto entry = std::make_shared<const ArchivableClass>(
      ArchivableClass{className, std::move(encode), std::move(decode)});
  std::lock_guard<std::mutex> g(gLock);
  registry()[className] = std::move(entry);
}

std::shared_ptr<const ArchivableClass> archivableClassNamed(const std::string& name) {
  std::lock_guard<std::mutex> g(gLock);
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : it->second;
}

std::shared_ptr<const ArchivableClass> archivableClassOf(id object) {
  if (!object) return nullptr;
  std::lock_guard<std::mutex> g(gLock);
  for (Class c = object_getClass(object); c; c = class_getSuperclass(c)) {
    auto it = registry().find(class_getName(c));
    if (it != registry().end()) return it->second;
  }
  return nullptr;
}

void registerKeyedArchiving() {
  registerKeyedArchiverClass();
  registerKeyedUnarchiverClass();
}

}  // namespace qv::host
