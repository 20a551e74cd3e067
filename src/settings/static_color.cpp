#include "settings/static_color.h"

#include "common/unavailable.h"
#include "platform/ownership.h"
#include "platform/uikit.h"
#include "settings/store_paths.h"

extern "C" {
QV_EXPORT id staticColor = nil;
}

namespace quorvel {

void loadColorPrefs() {
  NS::Dictionary colors = NS::Dictionary::dictionaryWithContentsOfFile(colorSettingsPath());
  NS::Object stored = colors.objectForKey(NSSTR("staticColor"));
  id color;
  if (stored) {
    // Anything but a string cannot be read as a colour and takes the fallback.
    NS::String text =
        stored.isKindOfClass(CLASS("NSString")) ? NS::String(stored.get()) : NSSTR("");
    // The colour picker is another party's library, which the user may not have installed:
    // without it no text can be read, and the colour is the picker's own fallback, white.
    Class picker = classNamed("SparkColourPickerUtils", "the static colour");
    color = picker ? msgSend<id>(picker, SELECTOR("colourWithString:withFallback:"), text.get(),
                                 NSSTR("#ffffff").get())
                   : UI::Color::colorWithRGBA(1, 1, 1, 1).get();
  } else {
    color = UI::Color::blackColor();
  }
  qv::storeStrong(&staticColor, color);
}

}  // namespace quorvel
