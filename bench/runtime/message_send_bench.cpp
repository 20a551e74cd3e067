// A cached message send and a hooked send, against a direct call through a function pointer.
#include <benchmark/benchmark.h>

#include "foundation/foundation.h"
#include "platform/encoding.h"
#include "platform/substrate.h"
#include "runtime/class_pairs.h"

namespace {

__attribute__((noinline)) long addOne(id, SEL, long x) { return x + 1; }

// A hook as the library writes one: its typed slot holds the previous implementation.
__attribute__((noinline)) long hookedAddOne(id self, SEL sel, long x) {
  return qv::Hook<&hookedAddOne>::previous(self, sel, x);
}

// A class as a program defines one at run time, answering addOne: itself or not.
Class defineClass(const char* name, const char* super, bool answersAddOne) {
  Class cls = objc_allocateClassPair(objc_getClass(super), name, 0);
  if (answersAddOne) {
    class_addMethod(cls, sel_registerName("addOne:"), reinterpret_cast<IMP>(addOne),
                    qv::encodingOf<long(long)>());
  }
  objc_registerClassPair(cls);
  return cls;
}

struct Fixture {
  Class plain, hooked;
  id plainObj, hookedObj;
  SEL sel;
  Fixture() {
    qv::host::registerFoundation();
    sel = sel_registerName("addOne:");
    plain = defineClass("BenchPlain", "NSObject", true);
    defineClass("BenchBase", "NSObject", true);
    hooked = defineClass("BenchHooked", "BenchBase", false);
    qv::Hook<&hookedAddOne>::replace(hooked, sel);
    plainObj = msgSend<id>(plain, sel_registerName("new"));
    hookedObj = msgSend<id>(hooked, sel_registerName("new"));
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_DirectCall(benchmark::State& state) {
  Fixture& f = fixture();
  long (*volatile fn)(id, SEL, long) = addOne;
  long x = 0;
  for (auto _ : state) {
    x = fn(f.plainObj, f.sel, x);
    benchmark::DoNotOptimize(x);
  }
}
BENCHMARK(BM_DirectCall);

void BM_CachedSend(benchmark::State& state) {
  Fixture& f = fixture();
  long x = 0;
  for (auto _ : state) {
    x = msgSend<long>(f.plainObj, f.sel, x);
    benchmark::DoNotOptimize(x);
  }
}
BENCHMARK(BM_CachedSend);

// The hook calls its previous implementation through its typed slot; here that is the forwarding
// stub to the superclass (the method was inherited when it was hooked).
void BM_HookedInheritedSend(benchmark::State& state) {
  Fixture& f = fixture();
  long x = 0;
  for (auto _ : state) {
    x = msgSend<long>(f.hookedObj, f.sel, x);
    benchmark::DoNotOptimize(x);
  }
}
BENCHMARK(BM_HookedInheritedSend);

// -respondsToSelector: for a selector the class has, and for one nothing answers (the library
// asks this of host classes that may lack a method).
void respondsTo(benchmark::State& state, const char* selector) {
  Fixture& f = fixture();
  SEL responds = sel_registerName("respondsToSelector:");
  SEL asked = sel_registerName(selector);
  for (auto _ : state) {
    BOOL answer = msgSend<BOOL>(f.plainObj, responds, asked);
    benchmark::DoNotOptimize(answer);
  }
}
void BM_RespondsToSelectorPositive(benchmark::State& state) { respondsTo(state, "addOne:"); }
BENCHMARK(BM_RespondsToSelectorPositive);
void BM_RespondsToSelectorNegative(benchmark::State& state) { respondsTo(state, "noSuchMethod:"); }
BENCHMARK(BM_RespondsToSelectorNegative);

}  // namespace
