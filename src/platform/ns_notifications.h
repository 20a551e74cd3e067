// The in-process notification centre.
#pragma once

#include "platform/ns_collections.h"

namespace NS {

class NotificationCenter : public Object {
 public:
  using Object::Object;

  static NotificationCenter defaultCenter() {
    return NotificationCenter(
        msgSend<id>(CLASS("NSNotificationCenter"), SELECTOR("defaultCenter")));
  }
  // Observers are held weakly; `selector` takes the notification or nothing.
  void addObserver(id observer, SEL selector, const String& name, id object) const {
    send<void>(SELECTOR("addObserver:selector:name:object:"), observer, selector, name.get(),
               object);
  }
  // Calls every matching observer on this thread before it returns.
  void postNotificationName(const String& name, id object, id userInfo) const {
    send<void>(SELECTOR("postNotificationName:object:userInfo:"), name.get(), object, userInfo);
  }
};

}  // namespace NS
