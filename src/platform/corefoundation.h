// Core Foundation preferences and the Darwin notification centre.
#pragma once

#include "platform/ns_values.h"

typedef const objc_object* CFTypeRef;
typedef const objc_object* CFStringRef;
typedef const objc_object* CFArrayRef;
typedef const objc_object* CFDictionaryRef;
typedef CFStringRef CFNotificationName;
typedef unsigned char Boolean;
typedef long CFIndex;
typedef struct __CFNotificationCenter* CFNotificationCenterRef;
typedef void (*CFNotificationCallback)(CFNotificationCenterRef center, void* observer,
                                       CFNotificationName name, const void* object,
                                       CFDictionaryRef userInfo);

enum CFNotificationSuspensionBehavior : CFIndex {
  CFNotificationSuspensionBehaviorDrop = 1,
  CFNotificationSuspensionBehaviorCoalesce = 2,
  CFNotificationSuspensionBehaviorHold = 3,
  CFNotificationSuspensionBehaviorDeliverImmediately = 4,
};

#pragma GCC visibility push(default)
extern "C" {
extern const CFStringRef kCFPreferencesCurrentUser;
extern const CFStringRef kCFPreferencesAnyUser;
extern const CFStringRef kCFPreferencesCurrentHost;
extern const CFStringRef kCFPreferencesAnyHost;

void CFRelease(CFTypeRef obj);

Boolean CFPreferencesAppSynchronize(CFStringRef applicationID);
// The keys stored for the domain (owned), or null when it has none.
CFArrayRef CFPreferencesCopyKeyList(CFStringRef applicationID, CFStringRef user, CFStringRef host);
// Sets (or, with null, removes) one key of the domain, keeping every other key as stored.
void CFPreferencesSetAppValue(CFStringRef key, CFTypeRef value, CFStringRef applicationID);
// The values of `keys` that the domain holds (owned).
CFDictionaryRef CFPreferencesCopyMultiple(CFArrayRef keys, CFStringRef applicationID,
                                          CFStringRef user, CFStringRef host);

CFNotificationCenterRef CFNotificationCenterGetDarwinNotifyCenter(void);
void CFNotificationCenterAddObserver(CFNotificationCenterRef center, const void* observer,
                                     CFNotificationCallback callback, CFStringRef name,
                                     const void* object,
                                     CFNotificationSuspensionBehavior suspensionBehavior);
void CFNotificationCenterPostNotification(CFNotificationCenterRef center, CFNotificationName name,
                                          const void* object, CFDictionaryRef userInfo,
                                          Boolean deliverImmediately);
}
#pragma GCC visibility pop

#define CFSTR(literal) (static_cast<CFStringRef>(NSSTR(literal).get()))
