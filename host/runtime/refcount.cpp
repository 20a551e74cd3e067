// Reference counting, autorelease pools and zeroing weak references.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "runtime/objc_internal.h"

namespace {

using namespace qv::runtime;

// Weak locations per object. A location is zeroed under this lock before its object is
// freed, and a weak load only touches the object while holding it.
struct WeakTable {
  std::mutex lock;
  std::unordered_map<id, std::vector<id*>> locations;
};

WeakTable& weakTable() {
  static WeakTable* t = new WeakTable();
  return *t;
}

void unregisterLocked(WeakTable& t, id obj, id* location) {
  auto it = t.locations.find(obj);
  if (it == t.locations.end()) return;
  auto& v = it->second;
  for (size_t i = 0; i < v.size(); i++) {
    if (v[i] == location) {
      v[i] = v.back();
      v.pop_back();
      break;
    }
  }
  if (v.empty()) t.locations.erase(it);
}

// A count of zero marks an object whose -dealloc chain has started: it stays there until the
// object is freed, whatever is retained or released meanwhile.
bool tryRetain(id obj) {
  intptr_t count = obj->retainCount.load(std::memory_order_relaxed);
  while (count > 0) {
    if (count >= kImmortal) return true;
    if (obj->retainCount.compare_exchange_weak(count, count + 1, std::memory_order_relaxed)) {
      return true;
    }
  }
  return false;
}

[[noreturn]] void cannotFormWeakReference(id obj) {
  std::fprintf(stderr,
               "objc[%d]: Cannot form weak reference to instance (%p) of class %s. It is possible "
               "that this object was over-released, or is in the process of deallocation.\n",
               static_cast<int>(getpid()), static_cast<void*>(obj), class_getName(isaOf(obj)));
  std::fflush(stderr);
  std::abort();
}

struct PoolStack {
  std::vector<id> objects;
  ~PoolStack() { drainTo(0); }
  void drainTo(size_t mark) {
    while (objects.size() > mark) {
      id obj = objects.back();
      objects.pop_back();
      objc_release(obj);
    }
  }
};

PoolStack& pools() {
  thread_local PoolStack stack;
  return stack;
}

}  // namespace

namespace qv::runtime {

void clearWeakReferences(id obj) {
  if (!(obj->flags.load(std::memory_order_acquire) & kWeaklyReferenced)) return;
  WeakTable& t = weakTable();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.locations.find(obj);
  if (it == t.locations.end()) return;
  for (id* location : it->second) *location = nil;
  t.locations.erase(it);
}

}  // namespace qv::runtime

extern "C" {

// An object being deallocated ignores retain and release, as on the device: neither brings its
// count back from zero nor runs -dealloc a second time.
id objc_retain(id obj) {
  if (!obj) return obj;
  if (isBlock(obj)) return retainBlock(obj);
  intptr_t count = obj->retainCount.load(std::memory_order_relaxed);
  do {
    if (count <= 0 || count >= kImmortal) return obj;
  } while (!obj->retainCount.compare_exchange_weak(count, count + 1, std::memory_order_relaxed));
  return obj;
}

void objc_release(id obj) {
  if (!obj) return;
  if (isBlock(obj)) return releaseBlock(obj);
  intptr_t count = obj->retainCount.load(std::memory_order_relaxed);
  do {
    if (count <= 0 || count >= kImmortal) return;
  } while (!obj->retainCount.compare_exchange_weak(count, count - 1, std::memory_order_acq_rel,
                                                   std::memory_order_relaxed));
  if (count != 1) return;
  // Weak references read nil from here on (the count stays zero) and are cleared once the
  // chain has run, when the object is disposed of.
  static const SEL deallocSel = sel_registerName("dealloc");
  if (class_respondsToSelector(isaOf(obj), deallocSel)) {
    msgSend<void>(obj, deallocSel);
  } else {
    disposeInstance(obj);
  }
}

void objc_storeStrong(id* location, id obj) {
  id old = *location;
  if (obj == old) return;
  objc_retain(obj);
  *location = obj;
  objc_release(old);
}

id objc_autorelease(id obj) {
  if (obj) pools().objects.push_back(obj);
  return obj;
}

void* objc_autoreleasePoolPush(void) { return reinterpret_cast<void*>(pools().objects.size() + 1); }

void objc_autoreleasePoolPop(void* token) {
  size_t mark = reinterpret_cast<size_t>(token) - 1;
  pools().drainTo(mark);
}

id objc_storeWeak(id* location, id obj) {
  WeakTable& t = weakTable();
  std::lock_guard<std::mutex> guard(t.lock);
  id old = *location;
  if (obj && isBlock(obj)) {
    std::fprintf(stderr, "objc_storeWeak: weak references to blocks are not supported\n");
    std::fflush(stderr);
    std::abort();
  }
  // An object that is being deallocated can no longer be referenced weakly: the device aborts.
  if (obj && obj->retainCount.load(std::memory_order_acquire) <= 0) cannotFormWeakReference(obj);
  if (old == obj) return obj;
  if (old) unregisterLocked(t, old, location);
  if (obj && obj->retainCount.load(std::memory_order_relaxed) < kImmortal) {
    t.locations[obj].push_back(location);
    obj->flags.fetch_or(kWeaklyReferenced, std::memory_order_release);
  }
  *location = obj;
  return obj;
}

id objc_initWeak(id* location, id obj) {
  *location = nil;
  return objc_storeWeak(location, obj);
}

void objc_destroyWeak(id* location) { objc_storeWeak(location, nil); }

id objc_loadWeakRetained(id* location) {
  WeakTable& t = weakTable();
  std::lock_guard<std::mutex> guard(t.lock);
  id obj = *location;
  if (obj && !tryRetain(obj)) return nil;
  return obj;
}

id objc_loadWeak(id* location) { return objc_autorelease(objc_loadWeakRetained(location)); }

void objc_copyWeak(id* to, id* from) {
  id obj = objc_loadWeakRetained(from);
  objc_initWeak(to, obj);
  objc_release(obj);
}

void objc_moveWeak(id* to, id* from) {
  objc_copyWeak(to, from);
  objc_destroyWeak(from);
}

}  // extern "C"
