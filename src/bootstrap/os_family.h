// Which family of hooks the device's OS version selects.
#pragma once

namespace quorvel {

// The float value of the device's version string, read anew each time.
float versionValue();

// Version 14 and later (context menus). Exactly 14.0 counts as 14.
bool selectsFamily14();
// Versions 15 and 16 keep family 14 and add hooks beside it.
bool selectsFamily15();
bool selectsFamily16();
// Version 13 up to 14 (the first context menus). Exactly 13.0 counts as 13.
bool selectsFamily13();
// Before version 13 (force-touch platters); also a version that reads as no number.
bool selectsFamily12();

}  // namespace quorvel
