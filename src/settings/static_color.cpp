#include "settings/static_color.h"

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
    color = msgSend<id>(CLASS("SparkColourPickerUtils"), SELECTOR("colourWithString:withFallback:"),
                        text.get(), NSSTR("#ffffff").get());
  } else {
    color = UI::Color::blackColor();
  }
  qv::storeStrong(&staticColor, color);
}

}  // namespace quorvel
