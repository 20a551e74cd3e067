#include "settings/settings_cache.h"

#include "common/notification_names.h"
#include "platform/foundation.h"
#include "platform/ownership.h"
#include "settings/store_paths.h"

namespace quorvel {

SettingsCache settings;

namespace {

constexpr SwitchKey kSwitches[] = {
    {"uninstall", &SettingsCache::uninstall, true},
    {"clearBadges", &SettingsCache::clearBadges, true},
    {"clearCaches", &SettingsCache::clearCaches, true},
    {"copyBundleId", &SettingsCache::copyBundleId, true},
    {"appLock", &SettingsCache::appLock, true},
    {"notifications", &SettingsCache::notifications, true},
    {"banners", &SettingsCache::banners, true},
    {"demoteApp", &SettingsCache::demoteApp, true},
    {"hideBadges", &SettingsCache::hideBadges, false},
    {"hideWidget", &SettingsCache::hideWidget, true},
    {"hideLines", &SettingsCache::hideLines, true},
    {"hideThickLines", &SettingsCache::hideThickLines, false},
    {"hideShare", &SettingsCache::hideShare, true},
    {"hideEdit", &SettingsCache::hideEdit, false},
    {"hideDelete", &SettingsCache::hideDelete, false},
    {"hideWidgetLabels", &SettingsCache::hideWidgetLabels, true},
    {"useStaticColor", &SettingsCache::useStaticColor, false},
    {"adaptiveColor", &SettingsCache::adaptiveColor, true},
    {"adaptiveWallColor", &SettingsCache::adaptiveWallColor, false},
    {"pureColor", &SettingsCache::pureColor, true},
};
constexpr float kDefaultMenuColorAlpha = 0.6f;

// The settings as a dictionary, or nil when there are none.
qv::StrongRef<NS::Dictionary> settingsSource() {
  CFPreferencesAppSynchronize(CFSTR(kSettingsDomain));
  if (NS::String(NSHomeDirectory()).isEqualToString(NSSTR("/var/mobile"))) {
    auto keys = qv::StrongRef<NS::Array>::adopt(NS::Array(const_cast<id>(CFPreferencesCopyKeyList(
        CFSTR(kSettingsDomain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost))));
    if (!keys) return {};
    return qv::StrongRef<NS::Dictionary>::adopt(
        NS::Dictionary(const_cast<id>(CFPreferencesCopyMultiple(
            keys, CFSTR(kSettingsDomain), kCFPreferencesCurrentUser, kCFPreferencesAnyHost))));
  }
  return qv::StrongRef<NS::Dictionary>(
      NS::Dictionary::dictionaryWithContentsOfFile(settingsPath()));
}

// A stored value that has no conversion (an array, a dictionary, data) keeps the default.
bool readSwitch(const NS::Object& value, bool fallback) {
  if (!value || !value.respondsToSelector(SELECTOR("boolValue"))) return fallback;
  return value.boolValue();
}

float readFloat(const NS::Object& value, float fallback) {
  if (!value || !value.respondsToSelector(SELECTOR("floatValue"))) return fallback;
  return value.floatValue();
}

}  // namespace

qv::Span<SwitchKey> switchKeys() { return kSwitches; }

void loadPrefs() {
  qv::StrongRef<NS::Dictionary> source = settingsSource();
  for (const SwitchKey& key : switchKeys()) {
    settings.*key.field =
        readSwitch(source->objectForKey(NS::String::from(key.name)), key.fallback);
  }
  settings.menuColorAlpha =
      readFloat(source->objectForKey(NSSTR("menuColorAlpha")), kDefaultMenuColorAlpha);
  NS::NotificationCenter::defaultCenter().postNotificationName(NSSTR(kCheckBadgeNotification), nil,
                                                               nil);
}

}  // namespace quorvel
