// The method-hooking substrate, and typed hooks over it.
#pragma once

#include "platform/encoding.h"
#include "platform/objc.h"
#include "platform/ptrauth.h"

#pragma GCC visibility push(default)
extern "C" {
// Routes `sel` on `cls` to `replacement`, storing the implementation that was in place into
// `*previous` before the replacement can be called. When `cls` only inherits `sel`, the
// previous implementation is looked up on the superclass at each call.
void MSHookMessageEx(Class cls, SEL sel, IMP replacement, IMP* previous);
}
#pragma GCC visibility pop

namespace qv {

// Checked builds compare a hook's type encoding with the one of the host method it is about to
// replace (when the class has that method) and abort on a difference; other builds check
// nothing.
inline void checkHookTypes(Class cls, SEL sel, const char* types) {
#ifdef QV_CHECKED_SENDS
  objc_checkMethodTypes(cls, sel, types);
#else
  (void)cls;
  (void)sel;
  (void)types;
#endif
}

// A typed hook slot: Hook<&function> for a function with the signature of the host method it
// replaces or adds, R(id self, SEL _cmd, A...). `previous` calls the host's implementation
// that the hook replaced, with exactly the method's argument types.
template <auto Function>
struct Hook;

template <class R, class... A, R (*Function)(id, SEL, A...)>
struct Hook<Function> {
  using Implementation = R (*)(id, SEL, A...);

  // The encoding of the method the function implements: "v@:@" for void(id, SEL, id).
  static constexpr const char* types = encodingOf<R(A...)>();

  static R previous(id self, SEL cmd, A... args) {
    return reinterpret_cast<Implementation>(slot)(self, cmd, args...);
  }

  static IMP implementation() { return reinterpret_cast<IMP>(Function); }

  // Replaces `sel` on `cls` (a metaclass for a class method) through the substrate.
  static void replace(Class cls, SEL sel) {
    checkHookTypes(cls, sel, types);
    MSHookMessageEx(cls, sel, implementation(), reinterpret_cast<IMP*>(&slot));
  }

  // Adds the function as `sel` to `cls`, unless the class itself already has that selector.
  static void add(Class cls, SEL sel) { class_addMethod(cls, sel, implementation(), types); }

  // The host's implementation, once replaced; one per hook function, as only one family of
  // hooks is ever installed.
  static inline IMP QV_PTRAUTH_HOOK_SLOT slot = nullptr;
};

}  // namespace qv
