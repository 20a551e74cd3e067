// MSHookMessageEx: replaces a method's implementation, handing back the previous one.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/substrate.h"
#include "runtime/objc_internal.h"

#if !defined(__x86_64__)
#error "the substrate's forwarding stubs are written for x86-64"
#endif

extern "C" void qv_hook_trampoline(void);

namespace {

// What a forwarding stub needs to find the superclass implementation at call time.
struct HookContext {
  Class hookedClass;
  SEL sel;
};

std::vector<HookContext*>& contexts() {
  static auto* v = new std::vector<HookContext*>();
  return *v;
}

// Builds `movabs $ctx, %r11; movabs $trampoline, %r10; jmp *%r10` in a page of its own.
IMP makeForwardingStub(HookContext* ctx) {
  long page = sysconf(_SC_PAGESIZE);
  void* mem = mmap(nullptr, static_cast<size_t>(page), PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mem == MAP_FAILED) {
    std::perror("MSHookMessageEx: mmap");
    std::abort();
  }
  auto* code = static_cast<unsigned char*>(mem);
  uint64_t context = reinterpret_cast<uint64_t>(ctx);
  uint64_t target = reinterpret_cast<uint64_t>(&qv_hook_trampoline);
  size_t n = 0;
  code[n++] = 0x49;  // movabs imm64, %r11
  code[n++] = 0xBB;
  std::memcpy(code + n, &context, 8);
  n += 8;
  code[n++] = 0x49;  // movabs imm64, %r10
  code[n++] = 0xBA;
  std::memcpy(code + n, &target, 8);
  n += 8;
  code[n++] = 0x41;  // jmp *%r10
  code[n++] = 0xFF;
  code[n++] = 0xE2;
  if (mprotect(mem, static_cast<size_t>(page), PROT_READ | PROT_EXEC) != 0) {
    std::perror("MSHookMessageEx: mprotect");
    std::abort();
  }
  return reinterpret_cast<IMP>(mem);
}

}  // namespace

extern "C" IMP qv_hook_resolve(HookContext* ctx) {
  Class super = class_getSuperclass(ctx->hookedClass);
  IMP imp = class_getMethodImplementation(super, ctx->sel);
  if (!imp) {
    std::fprintf(stderr, "MSHookMessageEx: no implementation of %s above %s\n",
                 sel_getName(ctx->sel), class_getName(ctx->hookedClass));
    std::abort();
  }
  return imp;
}

// The substrate warns and installs nothing; the warning is kept for the state dump.
static void notInstalled(std::string what) {
  std::fprintf(stderr, "MSHookMessageEx: %s\n", what.c_str());
  qv::runtime::recordHookNotInstalled(std::move(what));
}

extern "C" void MSHookMessageEx(Class cls, SEL sel, IMP replacement, IMP* previous) {
  if (!cls || !sel) {
    notInstalled(std::string("nil ") + (cls ? "selector" : "class") + " for selector " +
                 sel_getName(sel));
    return;
  }
  std::lock_guard<std::recursive_mutex> guard(qv::runtime::runtimeLock());
  auto own = cls->methods.find(sel);
  if (own != cls->methods.end()) {
    if (previous) *previous = own->second.imp;
    qv::runtime::setMethod(cls, sel, replacement, own->second.types.c_str());
    qv::runtime::recordHook(cls, sel, "replaced");
    return;
  }
  const objc_method_entry* inherited = qv::runtime::findMethod(cls->superclass, sel);
  if (!inherited) {
    notInstalled(std::string(cls->isMeta ? "+[" : "-[") + class_getName(cls) + " " +
                 sel_getName(sel) + "] not found");
    return;
  }
  auto* ctx = new HookContext{cls, sel};
  contexts().push_back(ctx);
  IMP stub = makeForwardingStub(ctx);
  if (previous) *previous = stub;
  qv::runtime::setMethod(cls, sel, replacement, inherited->types.c_str());
  qv::runtime::recordHook(cls, sel, "replaced");
}
