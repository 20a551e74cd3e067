// The hooks of each family, in installation order.
#pragma once

#include <cstddef>

#include "platform/objc.h"

namespace quorvel {

enum class HookKind {
  Replaced,             // an instance method, through the substrate
  ReplacedClassMethod,  // a class method, through the substrate on the metaclass
  Added,                // a method attached with class_addMethod
};

struct HookEntry {
  const char* className;
  const char* selector;
  HookKind kind;
  IMP function;
  IMP* previous;      // replaced methods: where the host's implementation is kept
  const char* types;  // added methods: the type encoding
  // A method whose argument type changed with version 13: the hook for the version-12 family,
  // which takes the argument as that family declares it (null: `function` everywhere).
  IMP functionBefore13 = nullptr;
};

struct HookFamily {
  const HookEntry* entries;
  size_t count;
};

HookFamily familyAll();
HookFamily family14();
HookFamily family13();
HookFamily family12();

// Installs every hook of a family in order. Nothing is tested: a class the host lacks is
// handed on as it is, and a method that is already there stays.
void installFamily(const HookFamily& family);

}  // namespace quorvel
