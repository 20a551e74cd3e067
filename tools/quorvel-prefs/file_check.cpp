#include "file_check.h"

#include <optional>

#include "failure.h"
#include "foundation/device_files.h"
#include "foundation/device_root.h"
#include "foundation/path_resolution.h"
#include "foundation/plist_guard.h"
#include "foundation/property_list.h"
#include "foundation/values.h"
#include "runtime/object_refs.h"

namespace qv::prefs {

FileCheck checkFile(const std::string& devicePath) {
  AutoreleasePool pool;
  FileCheck file;
  file.realFile = host::realPath(devicePath);
  bool isFolder = false;
  if (!host::deviceItemExists(devicePath, &isFolder)) return file;
  file.state = FileCheck::State::Unusable;
  if (isFolder) {
    file.problem = "is a folder";
    return file;
  }
  std::optional<std::string> bytes = host::readDeviceFile(devicePath, host::kMaxPropertyListBytes);
  if (!bytes) {
    file.problem = "cannot be read (not a regular file, unreadable or too large)";
    return file;
  }
  if (bytes->empty()) {
    file.state = FileCheck::State::Missing;
    return file;
  }
  id object = host::propertyListFromBytes(*bytes);
  if (!object) {
    file.problem = "is not a valid property list";
  } else if (!host::isDictionary(object)) {
    file.problem = "does not hold a dictionary";
  } else {
    file.state = FileCheck::State::Readable;
  }
  return file;
}

void requireUsable(const FileCheck& file, bool force, const std::string& what) {
  if (file.state != FileCheck::State::Unusable || force) return;
  throw Failure{what + " " + file.realFile + " " + file.problem +
                "; it was left as it is (--force replaces it)"};
}

}  // namespace qv::prefs
