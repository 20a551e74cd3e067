// The library's one entry point: runs when the substrate loads it into the home screen.
#include "applock/search_gate.h"
#include "bootstrap/hook_table.h"
#include "bootstrap/os_family.h"
#include "platform/foundation.h"
#include "settings/settings_cache.h"
#include "settings/static_color.h"
#include "settings/store_paths.h"

namespace quorvel {
namespace {

void reloadPrefs(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) {
  loadPrefs();
}

void reloadColorPrefs(CFNotificationCenterRef, void*, CFStringRef, const void*, CFDictionaryRef) {
  loadColorPrefs();
}

__attribute__((constructor)) void initialise() {
  void* pool = objc_autoreleasePoolPush();
  installFamily(familyAll());
  if (selectsFamily14()) installFamily(family14());
  if (selectsFamily15()) {
    installFamily(family15());
    noteSearchUnguarded();
  }
  if (selectsFamily16()) installFamily(family16());
  if (selectsFamily13()) installFamily(family13());
  if (selectsFamily12()) installFamily(family12());
  loadPrefs();
  loadColorPrefs();
  CFNotificationCenterRef darwin = CFNotificationCenterGetDarwinNotifyCenter();
  CFNotificationCenterAddObserver(darwin, nullptr, reloadColorPrefs,
                                  CFSTR(kReloadColorPrefsNotification), nullptr,
                                  CFNotificationSuspensionBehaviorDeliverImmediately);
  CFNotificationCenterAddObserver(darwin, nullptr, reloadPrefs, CFSTR(kReloadPrefsNotification),
                                  nullptr, CFNotificationSuspensionBehaviorDeliverImmediately);
  objc_autoreleasePoolPop(pool);
}

}  // namespace
}  // namespace quorvel
