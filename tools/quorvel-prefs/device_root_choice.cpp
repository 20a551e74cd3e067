#include "device_root_choice.h"

#include <filesystem>

#include "failure.h"
#include "foundation/device_root.h"

namespace qv::prefs {

namespace fs = std::filesystem;

void useDeviceRoot(const std::string& folder) {
  std::error_code ec;
  fs::path path = fs::absolute(folder, ec);
  if (ec) throw Failure{"cannot use " + folder + " as the device root: " + ec.message()};
  if (fs::exists(path, ec) && !fs::is_directory(path, ec)) {
    throw Failure{"cannot use " + folder + " as the device root: it is not a folder"};
  }
  try {
    host::setDeviceRoot(path.string());
  } catch (const fs::filesystem_error& e) {
    throw Failure{"cannot use " + folder + " as the device root: " + e.code().message()};
  }
}

}  // namespace qv::prefs
