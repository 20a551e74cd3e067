// NSNotification and NSNotificationCenter: synchronous delivery, on the posting thread, to
// weakly held observers.
#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/events_internal.h"
#include "foundation/foundation_internal.h"
#include "foundation/notification_center.h"
#include "runtime/class_builder.h"

namespace qv::host {
namespace {

struct NSNotificationObj : objc_object {
  Strong name;
  Strong object;
  Strong userInfo;
};

struct Observation {
  Weak observer;
  id observerKey = nil;  // identity for removal; never messaged
  SEL selector = nullptr;
  bool anyName = true;
  std::string name;
  id senderKey = nil;     // nil: any sender; identity only
  Weak sender;            // tells a live sender from a new object at the same address
  uint64_t sequence = 0;  // registration order
  std::atomic<bool> removed{false};
  std::atomic<int> takesArgument{-1};  // -1 until first delivery, then 0 or 1
};

using ObservationList = std::vector<std::shared_ptr<Observation>>;

// Observations are kept per name, so a post only looks at its own name's observers and at
// those registered for every name.
struct NSNotificationCenterObj : objc_object {
  std::mutex lock;
  uint64_t nextSequence = 0;
  std::unordered_map<std::string, ObservationList> named;
  ObservationList anyName;
};

Class gNotification, gCenter;

NSNotificationObj* note(id n) { return fields<NSNotificationObj>(n); }
NSNotificationCenterObj* center(id c) { return fields<NSNotificationCenterObj>(c); }

// ---- NSNotification ----

id newNotification(id name, id object, id userInfo) {
  id n = runtime::createInstance(gNotification);
  note(n)->name = name;
  note(n)->object = object;
  note(n)->userInfo = userInfo;
  return n;
}

id noteWithNameObjectUserInfo(id, SEL, id name, id object, id userInfo) {
  return objc_autorelease(newNotification(name, object, userInfo));
}
id noteWithNameObject(id, SEL, id name, id object) {
  return objc_autorelease(newNotification(name, object, nil));
}
id noteName(id self, SEL) { return note(self)->name; }
id noteObject(id self, SEL) { return note(self)->object; }
id noteUserInfo(id self, SEL) { return note(self)->userInfo; }

// ---- NSNotificationCenter ----

id defaultCenter(id, SEL) {
  static id shared = [] {
    id c = runtime::createInstance(gCenter);
    runtime::makeImmortal(c);
    return c;
  }();
  return shared;
}

void addObserver(id self, SEL, id observer, SEL selector, id name, id object) {
  if (!observer || !selector) return;
  auto obs = std::make_shared<Observation>();
  obs->observer = observer;
  obs->observerKey = observer;
  obs->selector = selector;
  obs->anyName = name == nil;
  obs->name = stdString(name);
  obs->senderKey = object;
  obs->sender = object;
  std::lock_guard<std::mutex> guard(center(self)->lock);
  obs->sequence = center(self)->nextSequence++;
  ObservationList& list = obs->anyName ? center(self)->anyName : center(self)->named[obs->name];
  list.push_back(std::move(obs));
}

void removeMatching(id self, id observer, id name, id object) {
  if (!observer) return;
  std::string nameText = stdString(name);
  std::lock_guard<std::mutex> guard(center(self)->lock);
  auto removeFrom = [&](ObservationList& list) {
    std::erase_if(list, [&](const std::shared_ptr<Observation>& o) {
      bool match = o->observerKey == observer && (!name || (!o->anyName && o->name == nameText)) &&
                   (!object || o->senderKey == object);
      // A post already under way must not call it any more.
      if (match) o->removed = true;
      return match;
    });
  };
  removeFrom(center(self)->anyName);
  for (auto& [key, list] : center(self)->named) removeFrom(list);
}

void removeObserver(id self, SEL, id observer) { removeMatching(self, observer, nil, nil); }
void removeObserverNameObject(id self, SEL, id observer, id name, id object) {
  removeMatching(self, observer, name, object);
}

// Observers registered with an argument-less method are called without the notification.
bool takesNotification(id observer, SEL selector) {
  const objc_method_entry* m = runtime::findMethod(object_getClass(observer), selector);
  if (!m) return true;
  size_t selfAndCmd = m->types.find("@:");
  return selfAndCmd == std::string::npos || selfAndCmd + 2 < m->types.size();
}

void deliver(id observer, Observation& observation, id notification) {
  SEL selector = observation.selector;
  int known = observation.takesArgument.load(std::memory_order_relaxed);
  if (known < 0) {
    known = takesNotification(observer, selector) ? 1 : 0;
    observation.takesArgument.store(known, std::memory_order_relaxed);
  }
  bool withArgument = known == 1;
  IMP imp = objc_msg_lookup(observer, selector);  // aborts for a selector it does not answer
  if (withArgument) {
    reinterpret_cast<void (*)(id, SEL, id)>(imp)(observer, selector, notification);
  } else {
    reinterpret_cast<void (*)(id, SEL)>(imp)(observer, selector);
  }
}

void postNotification(id self, SEL, id notification) {
  if (!notification || !isKind(notification, gNotification)) return;
  std::string name = stdString(note(notification)->name);
  id sender = note(notification)->object;
  struct Call {
    Strong observer;
    std::shared_ptr<Observation> observation;
  };
  std::vector<Call> calls;
  // Every reference taken under the lock is released after it: a last release runs -dealloc,
  // which may well remove itself from this centre.
  std::vector<Strong> keepAlive;
  {
    std::lock_guard<std::mutex> guard(center(self)->lock);
    auto collect = [&](ObservationList& list) {
      std::erase_if(list, [&](const std::shared_ptr<Observation>& o) {
        Strong observer = o->observer.load();
        if (!observer) return true;
        if (o->senderKey) {
          if (o->senderKey != sender) {
            keepAlive.push_back(std::move(observer));
            return false;
          }
          Strong liveSender = o->sender.load();
          bool senderGone = !liveSender;
          keepAlive.push_back(std::move(liveSender));
          if (senderGone) {
            keepAlive.push_back(std::move(observer));
            return true;
          }
        }
        calls.push_back({std::move(observer), o});
        return false;
      });
    };
    auto named = center(self)->named.find(name);
    if (named != center(self)->named.end()) collect(named->second);
    size_t namedCalls = calls.size();
    collect(center(self)->anyName);
    // Registration order across the two lists, each already in order.
    if (namedCalls > 0 && namedCalls < calls.size()) {
      std::inplace_merge(calls.begin(), calls.begin() + static_cast<ptrdiff_t>(namedCalls),
                         calls.end(), [](const Call& a, const Call& b) {
                           return a.observation->sequence < b.observation->sequence;
                         });
    }
  }
  for (const Call& call : calls) {
    if (call.observation->removed) continue;
    deliver(call.observer, *call.observation, notification);
  }
}

void postNameObjectUserInfo(id self, SEL, id name, id object, id userInfo) {
  if (!name) return;
  AutoreleasePool pool;
  id n = newNotification(name, object, userInfo);
  postNotification(self, nullptr, n);
  objc_release(n);
}
void postNameObject(id self, SEL, id name, id object) {
  postNameObjectUserInfo(self, nullptr, name, object, nil);
}

}  // namespace

size_t notificationObservationCount(id c) {
  if (!c || !isKind(c, gCenter)) return 0;
  std::lock_guard<std::mutex> guard(center(c)->lock);
  size_t count = center(c)->anyName.size();
  for (const auto& [key, list] : center(c)->named) count += list.size();
  return count;
}

void registerNotificationCenter() {
  gNotification =
      ClassBuilder<NSNotificationObj>("NSNotification", "NSObject")
          .classMethod("notificationWithName:object:", noteWithNameObject)
          .classMethod("notificationWithName:object:userInfo:", noteWithNameObjectUserInfo)
          .method("name", noteName)
          .method("object", noteObject)
          .method("userInfo", noteUserInfo)
          .cls();
  gCenter = ClassBuilder<NSNotificationCenterObj>("NSNotificationCenter", "NSObject")
                .classMethod("defaultCenter", defaultCenter)
                .method("addObserver:selector:name:object:", addObserver)
                .method("removeObserver:", removeObserver)
                .method("removeObserver:name:object:", removeObserverNameObject)
                .method("postNotification:", postNotification)
                .method("postNotificationName:object:", postNameObject)
                .method("postNotificationName:object:userInfo:", postNameObjectUserInfo)
                .cls();
}

}  // namespace qv::host
