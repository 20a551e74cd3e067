// Objects as the frameworks built on the runtime see them: the header every object starts
// with, defining classes whose instances carry a C++ struct, and the runtime's records of
// hooks. The class struct itself stays the runtime's own (objc_internal.h).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/objc.h"

// Every object starts with its class, its reference count and its flags. Host classes
// describe their instance variables as C++ structs derived from this one.
struct objc_object {
  Class isa;
  std::atomic<intptr_t> retainCount;
  std::atomic<uint32_t> flags;
};

namespace qv::runtime {

// An object's class. An isa that arm64e code signed (a block literal's) carries its signature
// in the bits above the address; the runtime strips them, as Apple's runtime may, and the block
// runtime authenticates a block's isa before relying on it.
#if defined(__aarch64__)
constexpr uintptr_t kIsaAddressMask = 0x0000ffffffffffff;
#else
constexpr uintptr_t kIsaAddressMask = ~uintptr_t{0};
#endif
inline Class isaOf(const objc_object* obj) {
  return reinterpret_cast<Class>(reinterpret_cast<uintptr_t>(obj->isa) & kIsaAddressMask);
}

constexpr uint32_t kWeaklyReferenced = 1;
constexpr intptr_t kImmortal = INTPTR_MAX / 2;
}  // namespace qv::runtime

struct objc_method_entry {
  IMP imp;
  std::string types;
};

namespace qv::runtime {

// Defines a class and its metaclass. `size`, `construct` and `destruct` describe the host
// struct of the class (zero / null to inherit the superclass's).
Class defineClass(const char* name, Class superclass, size_t size, void (*construct)(id),
                  void (*destruct)(id));

// The same, with the class object built in `storage` (at least sizeof(objc_class) bytes,
// pointer-aligned), for classes whose object is a symbol of its own (the block classes).
Class defineClassAt(void* storage, const char* name, Class superclass, size_t size,
                    void (*construct)(id), void (*destruct)(id));

// Adds (or replaces) a method, invalidating the caches of the class and its descendants.
void setMethod(Class cls, SEL sel, IMP imp, const char* types);

// Registers an instance variable at a fixed offset inside instances of `cls`.
void addIvar(Class cls, const char* name, const char* type, ptrdiff_t offset);

// Creates an instance with a reference count of one.
id createInstance(Class cls);
// Runs the C++ destructor, clears the weak references to the object and frees the memory (the
// end of -dealloc).
void disposeInstance(id obj);
// Sets every weak reference to the object to nil.
void clearWeakReferences(id obj);

// The method entry that `cls` (or an ancestor) has for `sel`, or null.
const objc_method_entry* findMethod(Class cls, SEL sel);

// The OS has no class by this name: objc_getClass finds nothing from now on, also for a class
// of that name defined later (a class object already handed out stays valid).
void removeClassName(const char* name);

// Every method replaced through the substrate or added with class_addMethod, in order, as
// "-[Class selector] replaced" / "+[Class selector] added".
std::vector<std::string> installedHooks();
// Every substrate hook that installed nothing because the class or the method is not there, in
// order, as the substrate's warning says it ("-[Class selector] not found").
std::vector<std::string> hooksNotInstalled();

// Whether a class object is a metaclass.
bool isMetaClass(Class cls);

// Objects that live as long as the process (classes, constant strings) ignore retain/release.
void makeImmortal(id obj);

}  // namespace qv::runtime

extern "C" {
// Finds the implementation a message to `obj` runs; aborts naming the class and selector when
// nothing answers it. Also what checked sends call.
IMP objc_msg_lookup(id obj, SEL sel);
// An instance variable's type encoding as it was registered ("" when none was given).
const char* ivar_getTypeEncoding(Ivar ivar);
}

namespace qv::runtime {

// Blocks keep their reference count in their flags: the runtime's reference counting hands
// them to the block runtime (blocks.cpp).
bool isBlock(id obj);
id retainBlock(id block);
void releaseBlock(id block);

}  // namespace qv::runtime
