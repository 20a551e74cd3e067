// The hooks of each family, in installation order.
#pragma once

#include "platform/freestanding.h"
#include "platform/objc.h"
#include "platform/substrate.h"

namespace quorvel {

// One method the library replaces or adds on a host class (or, for class methods, on its
// metaclass). `install` is a typed hook's replace or add; a method whose argument type changed
// with version 13 has the version-12 family's own hook in `installBefore13`.
struct HookEntry {
  const char* className;
  const char* selector;
  bool classMethod;
  void (*install)(Class cls, SEL sel);
  void (*installBefore13)(Class cls, SEL sel);
};

template <auto Function>
constexpr HookEntry replace(const char* className, const char* selector) {
  return {className, selector, false, &qv::Hook<Function>::replace, nullptr};
}

template <auto Function>
constexpr HookEntry replaceClassMethod(const char* className, const char* selector) {
  return {className, selector, true, &qv::Hook<Function>::replace, nullptr};
}

template <auto Function>
constexpr HookEntry add(const char* className, const char* selector) {
  return {className, selector, false, &qv::Hook<Function>::add, nullptr};
}

template <auto Function, auto FunctionBefore13>
constexpr HookEntry replaceByVersion(const char* className, const char* selector) {
  return {className, selector, false, &qv::Hook<Function>::replace,
          &qv::Hook<FunctionBefore13>::replace};
}

qv::Span<HookEntry> familyAll();
qv::Span<HookEntry> family14();
// Installed beside family14() from version 15, and from version 16.
qv::Span<HookEntry> family15();
qv::Span<HookEntry> family16();
qv::Span<HookEntry> family13();
qv::Span<HookEntry> family12();

// Installs every hook of a family in order. Nothing is tested: a class the host lacks is
// handed on as it is, and a method that is already there stays.
void installFamily(qv::Span<HookEntry> family);

}  // namespace quorvel

extern "C" {
// The Nth entry of a family's table ("all", "12", "13", "14", "15", "16"), for diagnostics
// tools; false past the last or for another name.
QV_HOST_DIAGNOSTIC bool quorvelHookTableEntry(const char* family, unsigned index,
                                              const char** className, const char** selector,
                                              bool* classMethod);
}
