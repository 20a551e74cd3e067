#include "appearance/color_sources.h"

#include "menu/catalogue.h"
#include "platform/substrate.h"
#include "settings/store_paths.h"

namespace quorvel {

namespace {

id recordWallColor(id color) {
  NS::Data archive = NS::KeyedArchiver::archivedDataWithRootObject(color);
  // The colour list belongs to the settings program: it is only ever updated, not created,
  // and only its "wallColor" entry changes, against the file as it stands when written.
  if (archive && NS::Dictionary::dictionaryWithContentsOfFile(colorSettingsPath())) {
    CFPreferencesSetAppValue(CFSTR("wallColor"), archive, CFSTR(kColorsDomain));
    CFPreferencesAppSynchronize(CFSTR(kColorsDomain));
  }
  return color;
}

}  // namespace

id hookComputeAverageColor(id self, SEL cmd) {
  return recordWallColor(qv::Hook<hookComputeAverageColor>::previous(self, cmd));
}

id hook16ComputeAverageColor(id self, SEL cmd) {
  return recordWallColor(qv::Hook<hook16ComputeAverageColor>::previous(self, cmd));
}

UI::Color iconColor(id styled) {
  UI::Image icon = UI::Image::applicationIconImage(NS::String(bundleID), 0, 1.0);
  return UI::Color(msgSend<id>(styled, SELECTOR("averageColorOfImage:"), icon.get()));
}

UI::Color wallpaperColor() {
  NS::Dictionary colors = NS::Dictionary::dictionaryWithContentsOfFile(colorSettingsPath());
  NS::Object stored = colors.objectForKey(NSSTR("wallColor"));
  if (!stored || !stored.isKindOfClass(CLASS("NSData"))) return UI::Color();
  NS::Object decoded = NS::KeyedUnarchiver::unarchivedObjectOfClass(CLASS("UIColor"), stored);
  if (!decoded || !decoded.isKindOfClass(CLASS("UIColor"))) return UI::Color();
  return UI::Color(decoded.get());
}

}  // namespace quorvel
