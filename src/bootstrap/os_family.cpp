#include "bootstrap/os_family.h"

#include "platform/uikit.h"

namespace quorvel {

float versionValue() { return UI::Device::currentDevice().systemVersion().floatValue(); }

bool selectsFamily14() { return versionValue() >= 14.0f; }

bool selectsFamily15() { return versionValue() >= 15.0f; }

bool selectsFamily16() { return versionValue() >= 16.0f; }

bool selectsFamily13() { return versionValue() >= 13.0f && versionValue() < 14.0f; }

bool selectsFamily12() { return versionValue() < 13.0f; }

}  // namespace quorvel
