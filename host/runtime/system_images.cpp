#include "runtime/system_images.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace qv::runtime {
namespace {

struct ImageState {
  bool known = false;
  std::function<void()> defineClasses;
  bool missing = false;
  bool loaded = false;
};

struct Images {
  std::recursive_mutex lock;
  std::map<std::string, ImageState> byName;
  std::vector<std::string> loadOrder;
};

Images& images() {
  static auto* i = new Images();
  return *i;
}

// One of an image's flags; false for an image nobody has named.
bool flag(const std::string& installName, bool ImageState::*member) {
  Images& i = images();
  std::lock_guard<std::recursive_mutex> guard(i.lock);
  auto it = i.byName.find(installName);
  return it != i.byName.end() && it->second.*member;
}

}  // namespace

void addSystemImage(const std::string& installName, std::function<void()> defineClasses) {
  Images& i = images();
  std::lock_guard<std::recursive_mutex> guard(i.lock);
  ImageState& image = i.byName[installName];
  image.known = true;
  image.defineClasses = std::move(defineClasses);
  if (image.loaded && image.defineClasses) image.defineClasses();
}

bool systemImageKnown(const std::string& installName) {
  return flag(installName, &ImageState::known);
}

void markSystemImageMissing(const std::string& installName) {
  Images& i = images();
  std::lock_guard<std::recursive_mutex> guard(i.lock);
  i.byName[installName].missing = true;
}

bool systemImageMissing(const std::string& installName) {
  return flag(installName, &ImageState::missing);
}

bool loadSystemImage(const std::string& installName) {
  Images& i = images();
  std::lock_guard<std::recursive_mutex> guard(i.lock);
  ImageState& image = i.byName[installName];
  if (image.missing) return false;
  if (image.loaded) return true;
  image.loaded = true;
  i.loadOrder.push_back(installName);
  if (image.defineClasses) image.defineClasses();
  return true;
}

bool systemImageLoaded(const std::string& installName) {
  return flag(installName, &ImageState::loaded);
}

std::vector<std::string> loadedSystemImages() {
  Images& i = images();
  std::lock_guard<std::recursive_mutex> guard(i.lock);
  std::vector<std::string> names = i.loadOrder;
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace qv::runtime

extern "C" void qv_system_image_loaded(const char* installName) {
  if (installName) qv::runtime::loadSystemImage(installName);
}
