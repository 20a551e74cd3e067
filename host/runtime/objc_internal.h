// The runtime's own view of classes: their struct, the method cache objc_msgSend probes, the
// lock of the class tables. Only the runtime (and its tests) include it; the frameworks built
// on the runtime see objects through object_layout.h.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/objc.h"
#include "runtime/object_layout.h"

struct objc_selector {
  const char* name;
};

struct objc_ivar {
  std::string name;
  std::string type;
  ptrdiff_t offset;
};

// A snapshot of looked-up implementations; replaced whole, never changed in place, so that
// lookups on other threads read it without a lock. A slot with a null implementation records
// a selector the class does not answer. objc_msgSend (assembly) probes it: the
// layout below is relied on there.
struct MethodCache {
  struct Slot {
    SEL sel;
    IMP imp;
  };
  // (capacity - 1) * sizeof(Slot), capacity a power of two: `sel & offsetMask` is the byte
  // offset of the selector's first slot.
  size_t offsetMask;
  size_t used;
  Slot slots[1];
};

struct objc_class : objc_object {
  std::atomic<const MethodCache*> cache;  // first, at a fixed offset for objc_msgSend
  Class superclass = nullptr;
  std::string name;
  bool isMeta = false;
  size_t instanceSize = sizeof(objc_object);
  // Builds and destroys the C++ part of an instance (the host struct of the class or of its
  // nearest ancestor that has one).
  void (*construct)(id) = nullptr;
  void (*destruct)(id) = nullptr;
  std::unordered_map<SEL, objc_method_entry> methods;
  std::vector<objc_ivar*> ivars;
  std::vector<Class> subclasses;  // whose caches a change to this class invalidates
};

namespace qv::runtime {

// Every substrate hook as it is recorded (the lists are read through object_layout.h).
void recordHook(Class cls, SEL sel, const char* kind);
void recordHookNotInstalled(std::string what);

// Guards class and method tables; recursive so that table edits may nest.
std::recursive_mutex& runtimeLock();

}  // namespace qv::runtime

extern "C" {
void objc_checkSend(id obj, SEL sel, const char* types);
void objc_checkMethodTypes(Class cls, SEL sel, const char* types);
}
