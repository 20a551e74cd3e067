// Classes, selectors, method lookup and the per-class method caches.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <unordered_set>

#include "runtime/class_pairs.h"
#include "runtime/objc_internal.h"

namespace qv::runtime {

std::recursive_mutex& runtimeLock() {
  static std::recursive_mutex m;
  return m;
}

namespace {

// Selectors and class names are looked up far more often than they change: each table has a
// reader-writer lock of its own, so lookups neither wait for each other nor for method changes.
struct Registry {
  std::shared_mutex selectorsLock;
  std::unordered_map<std::string, std::unique_ptr<objc_selector>> selectors;
  std::shared_mutex classesLock;
  std::unordered_map<std::string, Class> classes;
  std::unordered_set<std::string> absentNames;  // classes the OS lacks: never found by name
  // Caches replaced while another thread may still read them; kept until exit.
  std::vector<const MethodCache*> retiredCaches;
  std::vector<std::unique_ptr<objc_ivar>> ivars;
  std::vector<std::string> hooks;
  std::vector<std::string> hooksNotInstalled;
};

Registry& registry() {
  static Registry* r = new Registry();  // outlives every static destructor that sends messages
  return *r;
}

static_assert(sizeof(MethodCache::Slot) == 16 && offsetof(MethodCache, slots) == 16,
              "objc_msgSend relies on this layout");

const MethodCache kEmptyCache = {0, 0, {{nullptr, nullptr}}};

inline size_t capacityOf(const MethodCache* c) {
  return c->offsetMask / sizeof(MethodCache::Slot) + 1;
}
inline size_t maskOf(const MethodCache* c) { return c->offsetMask / sizeof(MethodCache::Slot); }

// Selectors are at least 16-byte aligned allocations, so their low bits above 4 spread well.
inline size_t slotFor(SEL sel, const MethodCache* c) {
  return (reinterpret_cast<uintptr_t>(sel) & c->offsetMask) / sizeof(MethodCache::Slot);
}

MethodCache* allocCache(size_t capacity) {
  size_t bytes = sizeof(MethodCache) + (capacity - 1) * sizeof(MethodCache::Slot);
  auto* c = static_cast<MethodCache*>(std::calloc(1, bytes));
  if (!c) std::abort();
  c->offsetMask = (capacity - 1) * sizeof(MethodCache::Slot);
  c->used = 0;
  return c;
}

void insertSlot(MethodCache* c, SEL sel, IMP imp) {
  size_t mask = maskOf(c);
  size_t i = slotFor(sel, c);
  while (c->slots[i].sel != nullptr) i = (i + 1) & mask;
  c->slots[i] = {sel, imp};
  c->used++;
}

void retire(const MethodCache* c) {
  if (c != &kEmptyCache) registry().retiredCaches.push_back(c);
}

// Publishes a copy of the class's cache with one more entry. Called under the runtime lock.
void cacheFill(Class cls, SEL sel, IMP imp) {
  const MethodCache* old = cls->cache.load(std::memory_order_acquire);
  size_t capacity = capacityOf(old);
  size_t needed = old->used + 1;
  size_t newCapacity = capacity < 8 ? 8 : capacity;
  while (needed * 4 > newCapacity * 3) newCapacity *= 2;
  MethodCache* fresh = allocCache(newCapacity);
  if (old != &kEmptyCache) {
    for (size_t i = 0; i <= maskOf(old); i++) {
      if (old->slots[i].sel) insertSlot(fresh, old->slots[i].sel, old->slots[i].imp);
    }
  }
  insertSlot(fresh, sel, imp);
  cls->cache.store(fresh, std::memory_order_release);
  retire(old);
}

// A class's methods are looked up in it and its ancestors, so a change to it can alter what
// it and its descendants answer, and nothing else. (A root class's descendants include its
// metaclass, whose superclass it is, and so every class object.)
void invalidateCaches(Class cls) {
  retire(cls->cache.exchange(&kEmptyCache, std::memory_order_acq_rel));
  for (Class sub : cls->subclasses) invalidateCaches(sub);
}

const objc_method_entry* findMethodLocked(Class cls, SEL sel) {
  for (Class c = cls; c != nullptr; c = c->superclass) {
    auto it = c->methods.find(sel);
    if (it != c->methods.end()) return &it->second;
  }
  return nullptr;
}

// The cache's slot for `sel`, or null when the cache has none.
inline const MethodCache::Slot* probe(Class cls, SEL sel) {
  const MethodCache* c = cls->cache.load(std::memory_order_acquire);
  size_t mask = maskOf(c);
  size_t i = slotFor(sel, c);
  for (;;) {
    const MethodCache::Slot& s = c->slots[i];
    if (s.sel == sel) return &s;
    if (s.sel == nullptr) return nullptr;
    i = (i + 1) & mask;
  }
}

// Fills the cache with what the method tables say, also when they say nothing: a selector the
// class does not answer is cached with a null implementation, so asking again takes no lock.
IMP lookupSlow(Class cls, SEL sel) {
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  if (const MethodCache::Slot* filled = probe(cls, sel)) return filled->imp;  // by another thread
  const objc_method_entry* m = findMethodLocked(cls, sel);
  IMP imp = m ? m->imp : nullptr;
  cacheFill(cls, sel, imp);
  return imp;
}

inline IMP lookupImp(Class cls, SEL sel) {
  if (const MethodCache::Slot* s = probe(cls, sel)) return s->imp;
  return lookupSlow(cls, sel);
}

// `storage`, when given, is where the class object lives (a symbol the platform exports).
Class newClassObject(const std::string& name, Class isa, bool meta, void* storage = nullptr) {
  auto* c = storage ? new (storage) objc_class() : new objc_class();
  c->isa = isa;
  c->retainCount.store(kImmortal, std::memory_order_relaxed);
  c->flags.store(0, std::memory_order_relaxed);
  c->name = name;
  c->isMeta = meta;
  c->cache.store(&kEmptyCache, std::memory_order_relaxed);
  return c;
}

// Strips the frame offsets a compiler writes into encodings ("v16@0:8" reads as "v@:").
std::string bareTypes(const char* types) {
  std::string out;
  for (const char* p = types; *p; p++) {
    if (*p < '0' || *p > '9') out += *p;
  }
  return out;
}

}  // namespace

bool isMetaClass(Class cls) { return cls && cls->isMeta; }

Class defineClass(const char* name, Class superclass, size_t size, void (*construct)(id),
                  void (*destruct)(id)) {
  return defineClassAt(nullptr, name, superclass, size, construct, destruct);
}

Class defineClassAt(void* storage, const char* name, Class superclass, size_t size,
                    void (*construct)(id), void (*destruct)(id)) {
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  Registry& r = registry();
  if (r.classes.count(name)) {
    std::fprintf(stderr, "objc: class %s defined twice\n", name);
    std::abort();
  }
  // The metaclass of a root class has the root metaclass as its own class and the root
  // class as its superclass, so class objects answer the root class's instance methods.
  Class meta = newClassObject(name, nullptr, true);
  Class cls = newClassObject(name, meta, false, storage);
  if (superclass) {
    Class rootMeta = superclass->isa->isa;
    meta->isa = rootMeta;
    meta->superclass = superclass->isa;
    cls->superclass = superclass;
    superclass->subclasses.push_back(cls);
    superclass->isa->subclasses.push_back(meta);
    cls->instanceSize = superclass->instanceSize;
    cls->construct = superclass->construct;
    cls->destruct = superclass->destruct;
  } else {
    meta->isa = meta;
    meta->superclass = cls;
    cls->subclasses.push_back(meta);
  }
  if (size) {
    cls->instanceSize = size;
    cls->construct = construct;
    cls->destruct = destruct;
  }
  {
    std::unique_lock<std::shared_mutex> names(r.classesLock);
    if (!r.absentNames.count(name)) r.classes[name] = cls;
  }
  return cls;
}

void setMethod(Class cls, SEL sel, IMP imp, const char* types) {
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  cls->methods[sel] = {imp, bareTypes(types ? types : "")};
  invalidateCaches(cls);
}

void addIvar(Class cls, const char* name, const char* type, ptrdiff_t offset) {
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  auto ivar = std::make_unique<objc_ivar>(objc_ivar{name, type, offset});
  cls->ivars.push_back(ivar.get());
  registry().ivars.push_back(std::move(ivar));
}

id createInstance(Class cls) {
  void* mem = std::calloc(1, cls->instanceSize);
  if (!mem) std::abort();
  if (cls->construct) cls->construct(static_cast<id>(mem));
  // Set after the C++ constructor: it may not preserve what was stored before it ran.
  id obj = static_cast<id>(mem);
  obj->isa = cls;
  obj->retainCount.store(1, std::memory_order_relaxed);
  obj->flags.store(0, std::memory_order_relaxed);
  return obj;
}

void disposeInstance(id obj) {
  if (!obj) return;
  Class cls = isaOf(obj);
  if (cls->destruct) cls->destruct(obj);
  clearWeakReferences(obj);
  std::free(obj);
}

const objc_method_entry* findMethod(Class cls, SEL sel) {
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  return findMethodLocked(cls, sel);
}

std::vector<std::string> installedHooks() {
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  return registry().hooks;
}

void recordHook(Class cls, SEL sel, const char* kind) {
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  std::string entry = cls->isMeta ? "+[" : "-[";
  entry += cls->name + " " + sel->name + "] " + kind;
  registry().hooks.push_back(entry);
}

void removeClassName(const char* name) {
  Registry& r = registry();
  std::unique_lock<std::shared_mutex> lock(r.classesLock);
  r.classes.erase(name);
  r.absentNames.insert(name);
}

std::vector<std::string> hooksNotInstalled() {
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  return registry().hooksNotInstalled;
}

void recordHookNotInstalled(std::string what) {
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  registry().hooksNotInstalled.push_back(std::move(what));
}

void makeImmortal(id obj) {
  if (obj) obj->retainCount.store(kImmortal, std::memory_order_relaxed);
}

[[noreturn]] __attribute__((noinline)) void unrecognized(id obj, SEL sel) {
  Class cls = isaOf(obj);
  bool isClass = cls->isMeta;
  std::fprintf(stderr, "%c[%s %s]: unrecognized selector sent to %s %p\n", isClass ? '+' : '-',
               cls->name.c_str(), sel ? sel->name : "(null)", isClass ? "class" : "instance",
               static_cast<void*>(obj));
  std::fflush(stderr);
  std::abort();
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(objc_class, cache) == 24, "objc_msgSend reads the cache at offset 24");
#pragma GCC diagnostic pop

__attribute__((noinline)) IMP lookupMiss(id obj, SEL sel) {
  IMP imp = lookupImp(isaOf(obj), sel);
  if (!imp) unrecognized(obj, sel);
  return imp;
}

}  // namespace qv::runtime

using namespace qv::runtime;

extern "C" {

Class objc_getClass(const char* name) {
  if (!name) return nullptr;
  Registry& r = registry();
  std::shared_lock<std::shared_mutex> lock(r.classesLock);
  auto it = r.classes.find(name);
  return it == r.classes.end() ? nullptr : it->second;
}

Class object_getClass(id obj) { return obj ? isaOf(obj) : nullptr; }

Class objc_allocateClassPair(Class superclass, const char* name, size_t extraBytes) {
  if (!name || extraBytes != 0 || objc_getClass(name)) return nullptr;
  return defineClass(name, superclass, superclass ? 0 : sizeof(objc_object), nullptr, nullptr);
}

// Classes are usable as soon as they are defined.
void objc_registerClassPair(Class) {}

const char* class_getName(Class cls) { return cls ? cls->name.c_str() : "nil"; }

Class class_getSuperclass(Class cls) { return cls ? cls->superclass : nullptr; }

SEL sel_registerName(const char* name) {
  Registry& r = registry();
  auto& sels = r.selectors;
  {
    std::shared_lock<std::shared_mutex> lock(r.selectorsLock);
    auto it = sels.find(name);
    if (it != sels.end()) return it->second.get();
  }
  std::unique_lock<std::shared_mutex> lock(r.selectorsLock);
  auto it = sels.find(name);
  if (it != sels.end()) return it->second.get();
  auto sel = std::make_unique<objc_selector>();
  auto inserted = sels.emplace(name, std::move(sel));
  inserted.first->second->name = inserted.first->first.c_str();
  return inserted.first->second.get();
}

const char* sel_getName(SEL sel) { return sel ? sel->name : "<null selector>"; }

BOOL class_addMethod(Class cls, SEL name, IMP imp, const char* types) {
  if (!cls || !name || !imp) return NO;
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  if (cls->methods.count(name)) return NO;
  setMethod(cls, name, imp, types);
  recordHook(cls, name, "added");
  return YES;
}

Ivar class_getInstanceVariable(Class cls, const char* name) {
  if (!name) return nullptr;
  std::lock_guard<std::recursive_mutex> lock(runtimeLock());
  for (Class c = cls; c != nullptr; c = c->superclass) {
    for (objc_ivar* ivar : c->ivars) {
      if (ivar->name == name) return ivar;
    }
  }
  return nullptr;
}

ptrdiff_t ivar_getOffset(Ivar ivar) { return ivar ? ivar->offset : 0; }

const char* ivar_getTypeEncoding(Ivar ivar) { return ivar ? ivar->type.c_str() : nullptr; }

IMP class_getMethodImplementation(Class cls, SEL name) {
  if (!cls || !name) return nullptr;
  return lookupImp(cls, name);
}

BOOL class_respondsToSelector(Class cls, SEL sel) {
  if (!cls || !sel) return NO;
  return lookupImp(cls, sel) != nullptr;
}

// The fast path is a leaf: a probe of the class's cache, with misses handled out of line.
IMP objc_msg_lookup(id obj, SEL sel) {
  const MethodCache* c = isaOf(obj)->cache.load(std::memory_order_acquire);
  size_t mask = maskOf(c);
  size_t i = slotFor(sel, c);
  for (;;) {
    SEL s = c->slots[i].sel;
    if (s == sel) {
      IMP imp = c->slots[i].imp;
      return imp ? imp : lookupMiss(obj, sel);  // cached as unanswered: aborts
    }
    if (s == nullptr) return lookupMiss(obj, sel);
    i = (i + 1) & mask;
  }
}

void objc_checkSend(id obj, SEL sel, const char* types) {
  const objc_method_entry* m = findMethod(isaOf(obj), sel);
  if (!m || m->types.empty()) return;
  if (m->types != bareTypes(types)) {
    std::fprintf(stderr, "objc: -[%s %s] sent as \"%s\" but implemented as \"%s\"\n",
                 isaOf(obj)->name.c_str(), sel->name, types, m->types.c_str());
    std::fflush(stderr);
    std::abort();
  }
}

void objc_checkMethodTypes(Class cls, SEL sel, const char* types) {
  if (!cls || !sel) return;
  const objc_method_entry* m = findMethod(cls, sel);
  if (!m || m->types.empty()) return;
  if (m->types != bareTypes(types)) {
    std::fprintf(stderr, "objc: a hook of %c[%s %s] is typed \"%s\" but the method is \"%s\"\n",
                 cls->isMeta ? '+' : '-', cls->name.c_str(), sel->name, types, m->types.c_str());
    std::fflush(stderr);
    std::abort();
  }
}

// objc_msgSend's miss path.
IMP qv_msgsend_miss(id obj, SEL sel) { return lookupMiss(obj, sel); }

}  // extern "C"
