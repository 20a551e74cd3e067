// What the keyed archiver and unarchiver share.
#pragma once

#include <memory>
#include <string>

#include "foundation/keyed_archive.h"

namespace qv::host {

struct ArchivableClass {
  std::string name;
  ArchiveEncodeFn encode;
  ArchiveDecodeFn decode;
};

// The registration for a class name, or null.
std::shared_ptr<const ArchivableClass> archivableClassNamed(const std::string& name);
// The registration of the object's class or its nearest registered ancestor, or null.
std::shared_ptr<const ArchivableClass> archivableClassOf(id object);

// Keys the archive itself uses start with "$"; an object's own such keys get one more.
inline std::string escapedArchiveKey(const std::string& key) {
  return !key.empty() && key[0] == '$' ? "$" + key : key;
}

void registerKeyedArchiverClass();
void registerKeyedUnarchiverClass();

}  // namespace qv::host
