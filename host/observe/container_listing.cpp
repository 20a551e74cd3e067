#include "observe/container_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "foundation/device_root.h"

namespace qv::host {
namespace {

// Depth first under `root` (a real folder): the relative paths of regular files and links into
// `files`, of folders that cannot be read into `unreadable` ("" for the root itself).
void walkRealTree(const std::string& root, std::vector<std::string>& files,
                  std::vector<std::string>& unreadable) {
  struct Level {
    std::vector<std::string> folders;  // still to visit, last first
    size_t pathLength;                 // of the relative path at this level
  };
  int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) unreadable.push_back("");
    return;
  }
  std::string path;  // relative to the root, "" or ending in '/'
  std::vector<Level> levels;
  auto list = [&](int folder) {
    Level level{{}, path.size()};
    int copy = ::dup(folder);
    DIR* dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
      if (copy >= 0) ::close(copy);
      unreadable.push_back(path.empty() ? "" : path.substr(0, path.size() - 1));
    } else {
      while (dirent* e = ::readdir(dir)) {
        std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (::fstatat(folder, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
          level.folders.emplace_back(name);
        } else if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) {
          files.push_back(path + std::string(name));
        }
      }
      ::closedir(dir);
    }
    std::sort(level.folders.rbegin(), level.folders.rend());
    levels.push_back(std::move(level));
  };
  list(fd);
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.folders.empty()) {
      levels.pop_back();
      if (levels.empty()) break;
      int up = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      ::close(fd);
      fd = up;
      path.resize(levels.back().pathLength);
      if (fd < 0) break;  // the tree moved away meanwhile
      continue;
    }
    std::string name = std::move(level.folders.back());
    level.folders.pop_back();
    int down = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (down < 0) {
      unreadable.push_back(path + name);
      continue;
    }
    ::close(fd);
    fd = down;
    path += name + "/";
    list(fd);
  }
  if (fd >= 0) ::close(fd);
}

}  // namespace

ContainerListing listContainer(const std::string& realFolder) {
  ContainerListing listing;
  walkRealTree(realFolder, listing.files, listing.unreadable);
  std::sort(listing.files.begin(), listing.files.end());
  for (std::string& folder : listing.unreadable) {
    if (folder.empty()) folder = ".";
  }
  return listing;
}

ContainerListing ContainerListings::current(const std::string& devicePath, unsigned long changes) {
  std::lock_guard<std::mutex> hold(lock_);
  auto [known, added] = known_.try_emplace(devicePath);
  if (added || known->second.changes != changes)
    known->second = {changes, listContainer(realPath(devicePath))};
  return known->second.listing;
}

ContainerListing ContainerListings::fresh(const std::string& devicePath, unsigned long changes) {
  std::lock_guard<std::mutex> hold(lock_);
  return (known_[devicePath] = {changes, listContainer(realPath(devicePath))}).listing;
}

}  // namespace qv::host
