#include "foundation/path_resolution.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <unordered_map>

#include "foundation/device_changes.h"
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

// What one device path is, as lstat and readlink found it.
struct Lookup {
  enum class Kind { Missing, Link, Other, Unreadable } kind = Kind::Missing;
  std::string target;  // a link's
};

Lookup lookUp(const std::string& devicePath) {
  std::string real = realPath(devicePath);
  struct stat st;
  if (::lstat(real.c_str(), &st) != 0) {
    bool missing = errno == ENOENT || errno == ENOTDIR;
    return {missing ? Lookup::Kind::Missing : Lookup::Kind::Unreadable, {}};
  }
  if (!S_ISLNK(st.st_mode)) return {Lookup::Kind::Other, {}};
  std::optional<std::string> target = readLink(real);
  if (!target || target->empty()) return {Lookup::Kind::Unreadable, {}};
  return {Lookup::Kind::Link, std::move(*target)};
}

struct Memo {
  int scopes = 0;
  uint64_t changes = 0;  // deviceChangeCount() when `seen` was filled
  std::unordered_map<std::string, Lookup> seen;
};

thread_local Memo tMemo;

const Lookup& lookUpRemembered(const std::string& devicePath, Lookup& scratch) {
  if (tMemo.scopes == 0) return scratch = lookUp(devicePath);
  uint64_t changes = deviceChangeCount();
  if (changes != tMemo.changes) {
    tMemo.seen.clear();
    tMemo.changes = changes;
  }
  auto found = tMemo.seen.find(devicePath);
  if (found != tMemo.seen.end()) return found->second;
  return tMemo.seen.emplace(devicePath, lookUp(devicePath)).first->second;
}

}  // namespace

DevicePathMemo::DevicePathMemo() {
  if (tMemo.scopes++ == 0) tMemo.seen.clear();
}

DevicePathMemo::~DevicePathMemo() {
  if (--tMemo.scopes == 0) tMemo.seen.clear();
}

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
  std::string path;               // `done` joined, kept alongside it
  bool missing = false;           // past a component that does not exist: keep the rest as is
  int hops = 0;
  Lookup scratch;
  while (!todo.empty()) {
    std::string part = std::move(todo.front());
    todo.pop_front();
    if (part == ".") continue;
    if (part == "..") {
      if (!done.empty()) {
        path.resize(path.size() - done.back().size() - 1);
        done.pop_back();
      }
      continue;
    }
    path += "/" + part;
    done.push_back(std::move(part));
    if (missing || (todo.empty() && !followLast)) continue;
    const Lookup& found = lookUpRemembered(path, scratch);
    if (found.kind == Lookup::Kind::Unreadable) return std::nullopt;
    if (found.kind == Lookup::Kind::Missing) {
      missing = true;
      continue;
    }
    if (found.kind == Lookup::Kind::Other) continue;
    if (++hops > kMaxLinkHops) return std::nullopt;
    std::vector<std::string> targetParts = pathComponents(found.target);
    path.resize(path.size() - done.back().size() - 1);
    done.pop_back();
    if (found.target[0] == '/') {
      done.clear();
      path.clear();
    }
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
