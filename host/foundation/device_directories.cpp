#include "foundation/device_directories.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "foundation/device_changes.h"
#include "foundation/device_root.h"
#include "foundation/path_resolution.h"

namespace qv::host {
namespace {

constexpr mode_t kFolderMode = 0755;
constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Closes a descriptor (keeping errno) unless handed on.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  void reset(int fd = -1) {
    if (fd_ >= 0) {
      int saved = errno;
      ::close(fd_);
      errno = saved;
    }
    fd_ = fd;
  }

 private:
  int fd_;
};

bool isFolderEntry(int dirFd, const dirent* e) {
  if (e->d_type != DT_UNKNOWN) return e->d_type == DT_DIR;
  struct stat st;
  return ::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

// Removes the files, links and empty folders in a folder; `nonEmpty` receives a folder that
// still has contents, if any. False on a failure.
bool clearLevel(int dirFd, std::string& nonEmpty) {
  nonEmpty.clear();
  int listFd = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return false;
  DIR* dir = ::fdopendir(listFd);
  if (!dir) {
    ::close(listFd);
    return false;
  }
  bool ok = true;
  while (dirent* e = ::readdir(dir)) {
    std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    if (!isFolderEntry(dirFd, e)) {
      if (::unlinkat(dirFd, e->d_name, 0) != 0 && errno != ENOENT) {
        ok = false;
        break;
      }
    } else if (::unlinkat(dirFd, e->d_name, AT_REMOVEDIR) != 0) {
      if (errno != ENOTEMPTY && errno != EEXIST) {
        ok = false;
        break;
      }
      if (nonEmpty.empty()) nonEmpty = e->d_name;
    }
  }
  int saved = errno;
  ::closedir(dir);
  errno = saved;
  return ok;
}

// Removes the folder `name` inside `parentFd` with everything below it. Instead of one open
// folder per level it keeps only the current one, and climbs back through "..", checking
// that it arrives where it came from.
bool removeTree(int parentFd, const std::string& name) {
  struct Level {
    std::string name;  // of the folder entered, inside its parent
    dev_t parentDev;
    ino_t parentIno;
  };
  struct stat st;
  if (::fstat(parentFd, &st) != 0) return false;
  std::vector<Level> levels{{name, st.st_dev, st.st_ino}};
  Fd current(::openat(parentFd, name.c_str(), kOpenFolder));
  if (current.get() < 0) return false;
  std::string sub;
  for (;;) {
    if (!clearLevel(current.get(), sub)) return false;
    if (!sub.empty()) {
      if (::fstat(current.get(), &st) != 0) return false;
      int next = ::openat(current.get(), sub.c_str(), kOpenFolder);
      if (next < 0) return false;
      levels.push_back({sub, st.st_dev, st.st_ino});
      current.reset(next);
      continue;
    }
    Level done = std::move(levels.back());
    levels.pop_back();
    if (levels.empty()) {
      current.reset();
      return ::unlinkat(parentFd, done.name.c_str(), AT_REMOVEDIR) == 0;
    }
    Fd up(::openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    current.reset();
    if (up.get() < 0 || ::fstat(up.get(), &st) != 0) return false;
    if (st.st_dev != done.parentDev || st.st_ino != done.parentIno) {
      errno = ESTALE;  // the tree was moved under us
      return false;
    }
    if (::unlinkat(up.get(), done.name.c_str(), AT_REMOVEDIR) != 0) return false;
    current.reset(up.release());
  }
}

}  // namespace

std::optional<std::vector<DirectoryEntry>> listRealDirectory(const std::string& realFolder) {
  int fd = ::open(realFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return std::nullopt;
  }
  std::vector<DirectoryEntry> entries;
  while (dirent* e = ::readdir(dir)) {
    std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back({std::string(name), isFolderEntry(fd, e)});
  }
  ::closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
  return entries;
}

bool createDeviceDirectory(const std::string& devicePath, bool intermediates) {
  std::optional<std::string> resolved = resolveDevicePath(devicePath, true);
  if (!resolved) {
    errno = ELOOP;
    return false;
  }
  if (!intermediates) {
    if (::mkdir(realPath(*resolved).c_str(), kFolderMode) != 0) return false;
    noteDeviceChange(*resolved);
    return true;
  }
  std::vector<std::string> parts = pathComponents(*resolved);
  std::vector<std::string> prefix;
  for (const std::string& part : parts) {
    prefix.push_back(part);
    std::string real = realPath(joinDevicePath(prefix));
    if (::mkdir(real.c_str(), kFolderMode) == 0) {
      noteDeviceChange(joinDevicePath(prefix));
      continue;
    }
    if (errno != EEXIST) return false;
    struct stat st;
    if (::lstat(real.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
      errno = EEXIST;
      return false;
    }
  }
  return true;
}

bool removeDeviceItem(const std::string& devicePath) {
  std::optional<std::string> resolved = resolveDevicePath(devicePath, false);
  if (!resolved) {
    errno = ELOOP;
    return false;
  }
  if (*resolved == "/") {
    errno = EBUSY;
    return false;
  }
  size_t slash = resolved->rfind('/');
  std::string name = resolved->substr(slash + 1);
  Fd parent(::open(realPath(resolved->substr(0, slash)).c_str(), kOpenFolder));
  if (parent.get() < 0) return false;
  struct stat st;
  if (::fstatat(parent.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  bool ok = S_ISDIR(st.st_mode) ? removeTree(parent.get(), name)
                                : ::unlinkat(parent.get(), name.c_str(), 0) == 0;
  int saved = errno;
  noteDeviceChange(*resolved);  // a tree may be partly gone even when the removal failed
  errno = saved;
  return ok;
}

}  // namespace qv::host
