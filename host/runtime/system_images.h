// The system's images that define classes: a framework (or another party's library) whose
// classes exist in the process only once something has loaded it. The home screen loads what
// it links itself; a library's links load the rest, before its initialisers run, as dyld does.
// A class of an image nobody loaded is absent: objc_getClass finds nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qv::runtime {

// Install names of the images the host models.
inline constexpr const char* kLocalAuthentication =
    "/System/Library/Frameworks/LocalAuthentication.framework/LocalAuthentication";
inline constexpr const char* kQuartzCore =
    "/System/Library/Frameworks/QuartzCore.framework/QuartzCore";
inline constexpr const char* kMobileCoreServices =
    "/System/Library/Frameworks/MobileCoreServices.framework/MobileCoreServices";
inline constexpr const char* kInstallCoordination =
    "/System/Library/PrivateFrameworks/InstallCoordination.framework/InstallCoordination";
// Another party's colour picker, installed by the user (or not at all).
inline constexpr const char* kColourPicker = "/var/jb/usr/lib/libsparkcolourpicker.dylib";

// Makes an image known: `defineClasses` runs when it is first loaded (at once if it already
// was).
void addSystemImage(const std::string& installName, std::function<void()> defineClasses);
// Whether the host models an image of that name (one of those above, once added).
bool systemImageKnown(const std::string& installName);
// The device has no image by that name: loading it fails.
void markSystemImageMissing(const std::string& installName);
bool systemImageMissing(const std::string& installName);
// Loads an image: its classes exist from now on. Loading it again does nothing. False when
// the device lacks it.
bool loadSystemImage(const std::string& installName);
bool systemImageLoaded(const std::string& installName);
// The loaded images, by install name (their order of loading depends on the loader).
std::vector<std::string> loadedSystemImages();

}  // namespace qv::runtime

// Called by an image's own initialiser when the process's loader maps it (the native stand-ins
// of the frameworks, linked by the native library).
extern "C" void qv_system_image_loaded(const char* installName);
