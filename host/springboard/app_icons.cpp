// App icons as the home screen keeps them, and the library's resources on the device.
#include <filesystem>

#include "foundation/device_root.h"
#include "runtime/class_builder.h"
#include "springboard/home_setup.h"
#include "springboard/springboard_internal.h"
#include "uikit/image_info.h"

#ifndef QV_RESOURCES_DIR
#define QV_RESOURCES_DIR ""
#endif

namespace qv::host {

namespace fs = std::filesystem;

namespace {

constexpr int kIconPixels = 60;

// +[UIImage _applicationIconImageForBundleIdentifier:format:scale:]: the icon the home screen
// has decoded for the app, whatever format is asked for; an empty image for an unknown app.
id applicationIconImage(id, SEL, id bundleID, int, double) {
  id image = appIconImage(stdString(bundleID));
  return image ? image : makeSolidImage("#000000", 0);
}

}  // namespace

id appIconImage(const std::string& bundleID) {
  AppState* app = HomeScreen::shared().app(bundleID);
  if (!app) return nil;
  if (!app->iconImage) {
    id image = app->setup.iconFile.empty() ? nil : imageFromPngFile(app->setup.iconFile);
    if (!image) image = makeSolidImage(app->setup.iconColor, kIconPixels);
    app->iconImage = image;
  }
  return app->iconImage;
}

void registerAppIconImages() {
  defineMethod(object_getClass(asId(objc_getClass("UIImage"))),
               "_applicationIconImageForBundleIdentifier:format:scale:", applicationIconImage);
}

// The item icons go where the library loads them from.
void installResources() {
  fs::path source = QV_RESOURCES_DIR;
  if (source.empty() || !fs::is_directory(source)) return;
  fs::path target = realPath("/var/LIY/Application Support/Quorvel.bundle");
  std::error_code ec;
  fs::create_directories(target, ec);
  for (const auto& entry : fs::directory_iterator(source, ec)) {
    if (entry.path().extension() != ".png") continue;
    fs::copy_file(entry.path(), target / entry.path().filename(),
                  fs::copy_options::overwrite_existing, ec);
  }
}

}  // namespace qv::host
