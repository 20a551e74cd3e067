#include "foundation/device_root.h"

#include <filesystem>
#include <mutex>
#include <vector>

namespace qv::host {
namespace {

std::mutex gLock;
std::string gRoot;
std::string gHome = "/var/mobile";

// Splits into components, dropping "." and resolving ".." without climbing above "/".
std::vector<std::string> normalise(const std::string& path) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string part = path.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  return parts;
}

}  // namespace

void setDeviceRoot(const std::string& realFolder) {
  std::filesystem::create_directories(realFolder);
  std::string root = std::filesystem::canonical(realFolder).string();
  std::lock_guard<std::mutex> g(gLock);
  gRoot = root == "/" ? "" : root;
}

const std::string& deviceRoot() {
  std::lock_guard<std::mutex> g(gLock);
  return gRoot;
}

std::string realPath(const std::string& device) {
  std::string out = deviceRoot();
  for (const std::string& part : normalise(device)) out += "/" + part;
  return out.empty() ? "/" : out;
}

std::string devicePath(const std::string& real) {
  const std::string& root = deviceRoot();
  if (real.size() < root.size() || real.compare(0, root.size(), root) != 0) return "";
  if (real.size() > root.size() && real[root.size()] != '/') return "";
  std::string rest = real.substr(root.size());
  return rest.empty() ? "/" : rest;
}

void setHomeDirectory(const std::string& device) {
  std::lock_guard<std::mutex> g(gLock);
  gHome = device;
}

const std::string& homeDirectory() {
  std::lock_guard<std::mutex> g(gLock);
  return gHome;
}

}  // namespace qv::host
