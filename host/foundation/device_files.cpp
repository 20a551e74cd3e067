#include "foundation/device_files.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "foundation/device_changes.h"
#include "foundation/device_root.h"
#include "foundation/file_faults.h"
#include "foundation/path_resolution.h"

namespace qv::host {
namespace {

constexpr mode_t kFileMode = 0644;

// Closes a descriptor on every path out of a scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now, reporting the result (a delayed write error can surface here).
  bool close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool writeAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// The real folder and file name a write goes to: links resolved inside the root, and the
// folder required to exist. `resolved` is the device path written.
bool writeTarget(const std::string& devicePath, std::string& folder, std::string& name,
                 std::optional<std::string>& resolved) {
  resolved = resolveDevicePath(devicePath, true);
  if (!resolved || *resolved == "/") {
    errno = resolved ? EISDIR : ELOOP;
    return false;
  }
  size_t slash = resolved->rfind('/');
  name = resolved->substr(slash + 1);
  folder = realPath(resolved->substr(0, slash));
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

// Writes all bytes, or under an injected disk-full fault half of them before failing.
bool writeBytes(int fd, const std::string& bytes, WriteFault fault) {
  if (fault == WriteFault::NoSpaceMidway) {
    writeAll(fd, bytes.substr(0, bytes.size() / 2));
    errno = ENOSPC;
    return false;
  }
  return writeAll(fd, bytes);
}

bool writeInPlace(const std::string& target, const std::string& bytes, WriteFault fault) {
  if (fault == WriteFault::ReadOnlyFolder) {
    errno = EROFS;
    return false;
  }
  Fd fd(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, kFileMode));
  if (fd.get() < 0) return false;
  return writeBytes(fd.get(), bytes, fault) && fd.close();
}

bool writeAtomically(const std::string& folder, const std::string& name, const std::string& bytes,
                     WriteFault fault, const std::string& tag) {
  std::string target = folder + "/" + name;
  struct stat st;
  if (::lstat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  if (fault == WriteFault::ReadOnlyFolder) {
    errno = EROFS;
    return false;
  }
  // Hidden, and short enough to be a valid name whatever the target's length.
  std::string temp = folder + "/." + name.substr(0, 200) +
                     (tag.empty() ? "" : "." + tag.substr(0, 20)) + ".XXXXXX";
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return false;
  bool ok = ::fchmod(fd.get(), kFileMode) == 0 && writeBytes(fd.get(), bytes, fault) &&
            ::fsync(fd.get()) == 0 && fd.close();
  if (ok && fault == WriteFault::FailedRename) {
    errno = EIO;
    ok = false;
  }
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    return false;
  }
  // Make the rename itself durable; the write has succeeded either way.
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

}  // namespace

// Opens a device path with the kernel resolving it as if the device root were "/"
// (absolute links land under the root, ".." stops there): one system call instead of a walk.
// -1 with errno ENOSYS (or EPERM under a filter) where the kernel cannot.
static int openInRoot(const std::string& devicePath, int flags) {
#ifdef SYS_openat2
  static std::mutex lock;
  static int rootFd = -1;
  static std::string rootOf;
  std::lock_guard<std::mutex> guard(lock);
  if (rootFd < 0 || rootOf != deviceRoot()) {
    if (rootFd >= 0) ::close(rootFd);
    rootOf = deviceRoot();
    rootFd = ::open(rootOf.empty() ? "/" : rootOf.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (rootFd < 0) return -1;
  }
  std::string relative = devicePath;
  while (!relative.empty() && relative.front() == '/') relative.erase(0, 1);
  if (relative.empty()) relative = ".";
  struct open_how how = {};
  how.flags = static_cast<uint64_t>(flags);
  how.resolve = RESOLVE_IN_ROOT | RESOLVE_NO_MAGICLINKS;
  // A lookup confined to the root that climbs through ".." fails with EAGAIN when a rename
  // anywhere raced with it (the preferences daemon's atomic writes rename all the time); the
  // kernel asks for another try.
  for (int attempt = 0;; attempt++) {
    int fd = static_cast<int>(::syscall(SYS_openat2, rootFd, relative.c_str(), &how, sizeof how));
    if (fd >= 0 || errno != EAGAIN || attempt == 100) return fd;
  }
#else
  (void)devicePath;
  (void)flags;
  errno = ENOSYS;
  return -1;
#endif
}

std::optional<std::string> readDeviceFile(const std::string& devicePath, size_t maxBytes) {
  // Non-blocking, so that a FIFO planted at the path cannot hang the reader.
  Fd fd(openInRoot(devicePath, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0 && (errno == ENOSYS || errno == EPERM || errno == EXDEV)) {
    std::optional<std::string> resolved = resolveDevicePath(devicePath, true);
    if (!resolved) return std::nullopt;
    fd.reset(::open(realPath(*resolved).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  }
  if (fd.get() < 0) return std::nullopt;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) return std::nullopt;
  std::string out;
  out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    // The file may have grown since fstat.
    if (out.size() + static_cast<size_t>(n) > maxBytes) return std::nullopt;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

bool writeDeviceFile(const std::string& devicePath, const std::string& bytes, bool atomically,
                     const std::string& temporaryTag) {
  std::string folder, name;
  std::optional<std::string> resolved;
  if (!writeTarget(devicePath, folder, name, resolved)) return false;
  WriteFault fault = takeWriteFault();
  bool ok = atomically ? writeAtomically(folder, name, bytes, fault, temporaryTag)
                       : writeInPlace(folder + "/" + name, bytes, fault);
  int saved = errno;
  noteDeviceChange(*resolved);  // even a failed write in place may have cut the file short
  errno = saved;
  return ok;
}

}  // namespace qv::host
