// UIDevice, UIPasteboard, the interface style arbiter and the colour picker's parser.
#include "runtime/class_builder.h"
#include "runtime/system_images.h"
#include "uikit/colour_text.h"
#include "uikit/device_state.h"
#include "uikit/uikit_internal.h"

namespace qv::host {
namespace {

struct DeviceObj : objc_object {};

struct PasteboardObj : objc_object {
  Strong string;
};

struct ArbiterObj : objc_object {};

Strong gDevice, gPasteboard, gArbiter;
std::string gSystemVersion = "14.2";
long gInterfaceStyle = 1;

id deviceCurrent(id cls, SEL) {
  if (!gDevice) gDevice = Strong::adopt(runtime::createInstance(reinterpret_cast<Class>(cls)));
  return gDevice;
}
id deviceSystemVersion(id, SEL) { return makeString(gSystemVersion); }

id pasteboardGeneral(id cls, SEL) {
  if (!gPasteboard)
    gPasteboard = Strong::adopt(runtime::createInstance(reinterpret_cast<Class>(cls)));
  return gPasteboard;
}
void pasteboardSetString(id self, SEL, id s) {
  fields<PasteboardObj>(self)->string = Strong::adopt(msgSend<id>(s, SELECTOR("copy")));
}
id pasteboardString(id self, SEL) { return fields<PasteboardObj>(self)->string; }

id arbiterShared(id cls, SEL) {
  if (!gArbiter) gArbiter = Strong::adopt(runtime::createInstance(reinterpret_cast<Class>(cls)));
  return gArbiter;
}
NSInteger arbiterCurrentStyle(id, SEL) { return gInterfaceStyle; }

// The text's colour, else the fallback text's, else black.
id colourWithString(id, SEL, id text, id fallback) {
  std::optional<Rgba> c = parseColourText(stdString(text));
  if (!c) c = parseColourText(stdString(fallback));
  if (!c) c = Rgba{0, 0, 0, 1};
  return makeColor(c->red, c->green, c->blue, c->alpha);
}

}  // namespace

void setSystemVersion(const std::string& version) { gSystemVersion = version; }
const std::string& systemVersion() { return gSystemVersion; }
void registerStyleArbiter() {
  ClassBuilder<ArbiterObj>("UIUserInterfaceStyleArbiter", "NSObject")
      .classMethod("sharedInstance", arbiterShared)
      .method("currentStyle", arbiterCurrentStyle);
}
void setInterfaceStyle(long style) { gInterfaceStyle = style; }
long interfaceStyle() { return gInterfaceStyle; }
std::string pasteboardText() {
  return gPasteboard ? stdString(fields<PasteboardObj>(gPasteboard)->string) : std::string();
}
bool pasteboardHasText() { return gPasteboard && fields<PasteboardObj>(gPasteboard)->string; }

void registerDeviceServices() {
  ClassBuilder<DeviceObj>("UIDevice", "NSObject")
      .classMethod("currentDevice", deviceCurrent)
      .method("systemVersion", deviceSystemVersion);
  ClassBuilder<PasteboardObj>("UIPasteboard", "NSObject")
      .classMethod("generalPasteboard", pasteboardGeneral)
      .method("setString:", pasteboardSetString)
      .method("string", pasteboardString);

  runtime::addSystemImage(runtime::kColourPicker, [] {
    ClassBuilder<>("SparkColourPickerUtils", "NSObject")
        .classMethod("colourWithString:withFallback:", colourWithString);
  });
}

}  // namespace qv::host
