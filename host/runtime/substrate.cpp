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

// The stub's code: it puts the context where qv_hook_trampoline expects it and jumps there.
std::vector<unsigned char> stubCode(HookContext* ctx) {
  uint64_t context = reinterpret_cast<uint64_t>(ctx);
  uint64_t target = reinterpret_cast<uint64_t>(&qv_hook_trampoline);
  std::vector<unsigned char> code;
  auto bytes = [&](const void* p, size_t n) {
    code.insert(code.end(), static_cast<const unsigned char*>(p),
                static_cast<const unsigned char*>(p) + n);
  };
#if defined(__x86_64__)
  // movabs $ctx, %r11; movabs $trampoline, %r10; jmp *%r10
  code = {0x49, 0xBB};
  bytes(&context, 8);
  code.insert(code.end(), {0x49, 0xBA});
  bytes(&target, 8);
  code.insert(code.end(), {0x41, 0xFF, 0xE2});
#elif defined(__aarch64__)
  // ldr x16, ctx; ldr x17, trampoline; br x17; nop; ctx: .quad; trampoline: .quad
  const uint32_t words[] = {0x58000090, 0x580000B1, 0xD61F0220, 0xD503201F};
  bytes(words, sizeof words);
  bytes(&context, 8);
  bytes(&target, 8);
#else
#error "the substrate's forwarding stubs are written for x86-64 and arm64"
#endif
  return code;
}

// Writes a forwarding stub for `ctx` into a page of its own.
IMP makeForwardingStub(HookContext* ctx) {
  long page = sysconf(_SC_PAGESIZE);
  void* mem = mmap(nullptr, static_cast<size_t>(page), PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mem == MAP_FAILED) {
    std::perror("MSHookMessageEx: mmap");
    std::abort();
  }
  std::vector<unsigned char> code = stubCode(ctx);
  std::memcpy(mem, code.data(), code.size());
  char* start = static_cast<char*>(mem);
  __builtin___clear_cache(start, start + code.size());
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
  // The substrates of rootless jailbreaks declare the class non-null and use it at once: a
  // caller that passes nil has undefined behaviour, so the host stops it here.
  if (!cls) {
    std::fprintf(stderr, "MSHookMessageEx: nil class for selector %s\n",
                 sel ? sel_getName(sel) : "(null)");
    std::abort();
  }
  if (!sel) {
    notInstalled(std::string("nil selector for -[") + class_getName(cls) + "]");
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
