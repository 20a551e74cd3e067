#include "foundation/path_resolution.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>

#include "foundation/device_root.h"

namespace qv::host {
namespace {

// As many links as Linux follows in one lookup before ELOOP.
constexpr int kMaxLinkHops = 40;

std::optional<std::string> readLink(const std::string& real) {
  std::string buf(256, '\0');
  for (;;) {
    ssize_t n = ::readlink(real.c_str(), buf.data(), buf.size());
    if (n < 0) return std::nullopt;
    if (static_cast<size_t>(n) < buf.size()) {
      buf.resize(static_cast<size_t>(n));
      return buf;
    }
    if (buf.size() >= 65536) return std::nullopt;
    buf.resize(buf.size() * 2);
  }
}

}  // namespace

std::vector<std::string> pathComponents(const std::string& path) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    if (j > i) parts.push_back(path.substr(i, j - i));
    i = j + 1;
  }
  return parts;
}

std::string joinDevicePath(const std::vector<std::string>& components) {
  if (components.empty()) return "/";
  std::string out;
  for (const std::string& c : components) out += "/" + c;
  return out;
}

std::optional<std::string> resolveDevicePath(const std::string& devicePath, bool followLast) {
  std::vector<std::string> partsIn = pathComponents(devicePath);
  std::deque<std::string> todo(partsIn.begin(), partsIn.end());
  std::vector<std::string> done;  // existing folders, links already replaced by their targets
  bool missing = false;           // past a component that does not exist: keep the rest as is
  int hops = 0;
  while (!todo.empty()) {
    std::string part = std::move(todo.front());
    todo.pop_front();
    if (part == ".") continue;
    if (part == "..") {
      if (!done.empty()) done.pop_back();
      continue;
    }
    done.push_back(part);
    if (missing || (todo.empty() && !followLast)) continue;
    std::string real = realPath(joinDevicePath(done));
    struct stat st;
    if (::lstat(real.c_str(), &st) != 0) {
      if (errno != ENOENT && errno != ENOTDIR) return std::nullopt;
      missing = true;
      continue;
    }
    if (!S_ISLNK(st.st_mode)) continue;
    if (++hops > kMaxLinkHops) return std::nullopt;
    std::optional<std::string> target = readLink(real);
    if (!target || target->empty()) return std::nullopt;
    done.pop_back();
    if ((*target)[0] == '/') done.clear();
    std::vector<std::string> targetParts = pathComponents(*target);
    todo.insert(todo.begin(), targetParts.begin(), targetParts.end());
  }
  return joinDevicePath(done);
}

bool deviceItemExists(const std::string& devicePath, bool* isDirectory) {
  if (isDirectory) *isDirectory = false;
  std::optional<std::string> resolved = resolveDevicePath(devicePath, true);
  struct stat st;
  if (!resolved || ::lstat(realPath(*resolved).c_str(), &st) != 0) return false;
  if (isDirectory) *isDirectory = S_ISDIR(st.st_mode);
  return true;
}

}  // namespace qv::host
