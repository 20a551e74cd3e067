// Reading a host object's instance variable by name.
#pragma once

#include "platform/objc.h"

namespace quorvel {

// The object stored in `obj`'s instance variable `name`. `*found` tells whether the class
// has that variable at all; nothing is read when it has not.
inline id readObjectIvar(id obj, const char* name, bool* found) {
  Ivar ivar = obj ? class_getInstanceVariable(object_getClass(obj), name) : nullptr;
  if (found) *found = ivar != nullptr;
  if (!ivar) return nil;
  return *reinterpret_cast<id*>(reinterpret_cast<char*>(obj) + ivar_getOffset(ivar));
}

}  // namespace quorvel
