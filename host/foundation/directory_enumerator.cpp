// NSDirectoryEnumerator: the entries below a folder as file URLs, sorted, depth-first.
#include <utility>
#include <vector>

#include "foundation/device_directories.h"
#include "foundation/device_root.h"
#include "foundation/path_resolution.h"
#include "foundation/storage_internal.h"

namespace qv::host {
namespace {

constexpr NSUInteger kSkipsSubdirectoryDescendants = 1;
constexpr NSUInteger kSkipsHiddenFiles = 4;

struct Folder {
  std::string devicePath;  // as the caller named it, for the URLs handed out
  std::string realPath;
  std::vector<DirectoryEntry> entries;
  size_t next = 0;
};

// Each open level holds its sorted listing, read at once, so no descriptor stays open.
struct DirectoryEnumeratorObj : objc_object {
  std::vector<Folder> folders;
  NSUInteger options = 0;
  // The folder last handed out, entered on the next call unless its descendants are skipped.
  std::optional<Folder> pending;
};

Class gEnumerator;

DirectoryEnumeratorObj* en(id e) { return fields<DirectoryEnumeratorObj>(e); }

bool enter(DirectoryEnumeratorObj* e, Folder folder) {
  std::optional<std::vector<DirectoryEntry>> entries = listRealDirectory(folder.realPath);
  if (!entries) return false;
  folder.entries = std::move(*entries);
  e->folders.push_back(std::move(folder));
  return true;
}

id enumNextObject(id self, SEL) {
  DirectoryEnumeratorObj* e = en(self);
  if (e->pending) {
    Folder folder = std::move(*e->pending);
    e->pending.reset();
    enter(e, std::move(folder));
  }
  while (!e->folders.empty()) {
    Folder& f = e->folders.back();
    if (f.next >= f.entries.size()) {
      e->folders.pop_back();
      continue;
    }
    const DirectoryEntry& entry = f.entries[f.next++];
    if ((e->options & kSkipsHiddenFiles) && entry.name[0] == '.') continue;
    std::string device = (f.devicePath == "/" ? "" : f.devicePath) + "/" + entry.name;
    if (entry.isDirectory && !(e->options & kSkipsSubdirectoryDescendants)) {
      e->pending = Folder{device, f.realPath + "/" + entry.name, {}, 0};
    }
    return makeFileURL(device, entry.isDirectory);
  }
  return nil;
}

void enumSkipDescendants(id self, SEL) { en(self)->pending.reset(); }

id enumAllObjects(id self, SEL) {
  std::vector<id> all;
  while (id next = enumNextObject(self, nullptr)) all.push_back(next);
  return makeArray(all);
}

}  // namespace

id makeDirectoryEnumerator(const std::string& devicePath, NSUInteger options) {
  id e = runtime::createInstance(gEnumerator);
  en(e)->options = options;
  std::string tidy = joinDevicePath(pathComponents(devicePath));
  if (std::optional<std::string> resolved = resolveDevicePath(tidy, true)) {
    enter(en(e), Folder{tidy, realPath(*resolved), {}, 0});
  }
  return objc_autorelease(e);
}

void registerDirectoryEnumerator() {
  gEnumerator = ClassBuilder<DirectoryEnumeratorObj>("NSDirectoryEnumerator", "NSObject")
                    .method("nextObject", enumNextObject)
                    .method("skipDescendants", enumSkipDescendants)
                    .method("skipDescendents", enumSkipDescendants)
                    .method("allObjects", enumAllObjects)
                    .cls();
}

}  // namespace qv::host
