// Object runtime: classes, methods, caches, instance variables, reference counting.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "foundation/foundation.h"
#include "platform/coregraphics.h"
#include "runtime/class_builder.h"
#include "runtime/object_refs.h"

namespace {

using qv::ClassBuilder;
using qv::Strong;
using qv::Weak;

struct BaseFields : objc_object {
  id first = nil;
  double ratio = 0.5;
};
struct DerivedFields : BaseFields {
  id second = nil;
};

int answer(id, SEL) { return 42; }
int otherAnswer(id, SEL) { return 7; }

class Runtime : public testing::Test {
 protected:
  void SetUp() override { qv::host::registerFoundation(); }
};

TEST_F(Runtime, ClassesAreFoundByNameAndUnknownNamesGiveNil) {
  Class cls = ClassBuilder<>("Widget", "NSObject").cls();
  EXPECT_EQ(objc_getClass("Widget"), cls);
  EXPECT_EQ(objc_getClass("NoSuchHostClass"), nullptr);
  EXPECT_STREQ(class_getName(cls), "Widget");
  EXPECT_EQ(class_getSuperclass(cls), objc_getClass("NSObject"));
}

TEST_F(Runtime, ObjectGetClassOfAClassIsItsMetaclass) {
  Class cls = ClassBuilder<>("Gadget", "NSObject").classMethod("answer", answer).cls();
  Class meta = object_getClass(asId(cls));
  ASSERT_NE(meta, nullptr);
  EXPECT_NE(meta, cls);
  EXPECT_TRUE(class_respondsToSelector(meta, sel_registerName("answer")));
  EXPECT_FALSE(class_respondsToSelector(cls, sel_registerName("answer")));
  EXPECT_EQ(msgSend<int>(cls, sel_registerName("answer")), 42);
}

TEST_F(Runtime, SelectorsAreInterned) {
  std::string name = "some:selector:";
  EXPECT_EQ(sel_registerName("some:selector:"), sel_registerName(name.c_str()));
  EXPECT_NE(sel_registerName("some:selector:"), sel_registerName("some:other:"));
  EXPECT_STREQ(sel_getName(sel_registerName("some:selector:")), "some:selector:");
}

TEST_F(Runtime, AddMethodRefusesASelectorTheClassItselfHas) {
  Class cls = ClassBuilder<>("Counter", "NSObject").method("answer", answer).cls();
  SEL sel = sel_registerName("answer");
  EXPECT_FALSE(class_addMethod(cls, sel, reinterpret_cast<IMP>(otherAnswer), "i@:"));
  EXPECT_EQ(class_getMethodImplementation(cls, sel), reinterpret_cast<IMP>(answer));

  // A subclass only inherits it, so it may add its own.
  Class sub = ClassBuilder<>("SubCounter", "Counter").cls();
  EXPECT_TRUE(class_addMethod(sub, sel, reinterpret_cast<IMP>(otherAnswer), "i@:"));
  id obj = msgSend<id>(sub, sel_registerName("new"));
  EXPECT_EQ(msgSend<int>(obj, sel), 7);
  objc_release(obj);
}

TEST_F(Runtime, CacheSeesAMethodAddedToASuperclassAfterTheSubclassWasMessaged) {
  Class base = ClassBuilder<>("Base", "NSObject").cls();
  Class derived = ClassBuilder<>("Derived", "Base").cls();
  id obj = msgSend<id>(derived, sel_registerName("new"));
  SEL sel = sel_registerName("answer");
  EXPECT_FALSE(msgSend<BOOL>(obj, sel_registerName("respondsToSelector:"), sel));
  ASSERT_TRUE(class_addMethod(base, sel, reinterpret_cast<IMP>(answer), "i@:"));
  EXPECT_TRUE(msgSend<BOOL>(obj, sel_registerName("respondsToSelector:"), sel));
  EXPECT_EQ(msgSend<int>(obj, sel), 42);
  objc_release(obj);
}

TEST_F(Runtime, InstanceVariablesAreFoundByNameUpTheSuperclassChainAtRealOffsets) {
  ClassBuilder<BaseFields>("IvarBase", "NSObject")
      .ivar("_first", QV_OFFSETOF(BaseFields, first))
      .ivar("_ratio", QV_OFFSETOF(BaseFields, ratio), "d");
  Class derived = ClassBuilder<DerivedFields>("IvarDerived", "IvarBase")
                      .ivar("_second", QV_OFFSETOF(DerivedFields, second))
                      .cls();
  id obj = msgSend<id>(derived, sel_registerName("new"));
  auto* f = qv::fields<DerivedFields>(obj);
  f->first = reinterpret_cast<id>(0x1234);
  f->second = reinterpret_cast<id>(0x5678);

  Ivar first = class_getInstanceVariable(object_getClass(obj), "_first");
  Ivar second = class_getInstanceVariable(object_getClass(obj), "_second");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(class_getInstanceVariable(derived, "_missing"), nullptr);
  auto read = [&](Ivar v) {
    return *reinterpret_cast<id*>(reinterpret_cast<char*>(obj) + ivar_getOffset(v));
  };
  EXPECT_EQ(read(first), reinterpret_cast<id>(0x1234));
  EXPECT_EQ(read(second), reinterpret_cast<id>(0x5678));
  Ivar ratio = class_getInstanceVariable(derived, "_ratio");
  EXPECT_EQ(*reinterpret_cast<double*>(reinterpret_cast<char*>(obj) + ivar_getOffset(ratio)), 0.5);
  f->first = nil;
  f->second = nil;
  objc_release(obj);
}

TEST_F(Runtime, MessagesToNilRunNothingAndReturnZero) {
  id nothing = nil;
  EXPECT_EQ(msgSend<int>(nothing, sel_registerName("answer")), 0);
  EXPECT_EQ(msgSend<id>(nothing, sel_registerName("anything")), nil);
  EXPECT_EQ(msgSend<double>(nothing, sel_registerName("ratio")), 0.0);
  msgSend<void>(nothing, sel_registerName("doSomething:"), 3);
}

TEST_F(Runtime, UnrecognizedSelectorAbortsNamingClassAndSelector) {
  Class cls = ClassBuilder<>("Mute", "NSObject").cls();
  id obj = msgSend<id>(cls, sel_registerName("new"));
  EXPECT_DEATH(msgSend<void>(obj, sel_registerName("speak")),
               "-\\[Mute speak\\]: unrecognized selector sent to instance");
  EXPECT_DEATH(msgSend<void>(cls, sel_registerName("shout")),
               "\\+\\[Mute shout\\]: unrecognized selector sent to class");
  objc_release(obj);
}

struct Tracked : objc_object {
  std::atomic<int>* deallocs = nullptr;
  ~Tracked() {
    if (deallocs) deallocs->fetch_add(1);
  }
};

Class trackedClass() {
  static Class cls = ClassBuilder<Tracked>("Tracked", "NSObject").cls();
  return cls;
}

id newTracked(std::atomic<int>* counter) {
  id obj = msgSend<id>(trackedClass(), sel_registerName("new"));
  qv::fields<Tracked>(obj)->deallocs = counter;
  return obj;
}

TEST_F(Runtime, WeakReferencesAreZeroedWhenTheObjectIsDeallocated) {
  std::atomic<int> deallocs{0};
  id obj = newTracked(&deallocs);
  Weak weak(obj);
  Weak copy = weak;
  EXPECT_EQ(weak.load().get(), obj);
  objc_release(obj);
  EXPECT_EQ(deallocs.load(), 1);
  EXPECT_EQ(weak.load().get(), nil);
  EXPECT_EQ(copy.load().get(), nil);
}

TEST_F(Runtime, WeakReferencesInsideMovingContainersStayValid) {
  std::atomic<int> deallocs{0};
  std::vector<id> objs;
  std::vector<Weak> refs;
  for (int i = 0; i < 50; i++) {
    objs.push_back(newTracked(&deallocs));
    refs.emplace_back(objs.back());  // the vector reallocates as it grows
  }
  for (int i = 0; i < 50; i += 2) objc_release(objs[static_cast<size_t>(i)]);
  for (int i = 0; i < 50; i++) {
    EXPECT_EQ(refs[static_cast<size_t>(i)].load().get(),
              i % 2 ? objs[static_cast<size_t>(i)] : nil);
  }
  for (int i = 1; i < 50; i += 2) objc_release(objs[static_cast<size_t>(i)]);
  EXPECT_EQ(deallocs.load(), 50);
}

TEST_F(Runtime, ReferenceCountsAreAtomicAcrossThreads) {
  std::atomic<int> deallocs{0};
  id obj = newTracked(&deallocs);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++) {
    threads.emplace_back([obj] {
      for (int i = 0; i < 20000; i++) {
        objc_retain(obj);
        objc_release(obj);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(deallocs.load(), 0);
  EXPECT_EQ(msgSend<NSUInteger>(obj, sel_registerName("retainCount")), 1u);
  objc_release(obj);
  EXPECT_EQ(deallocs.load(), 1);
}

TEST_F(Runtime, AutoreleasePoolsReleaseWhatWasAutoreleasedInsideThem) {
  std::atomic<int> deallocs{0};
  {
    qv::AutoreleasePool outer;
    objc_autorelease(newTracked(&deallocs));
    {
      qv::AutoreleasePool inner;
      objc_autorelease(newTracked(&deallocs));
      objc_autorelease(newTracked(&deallocs));
    }
    EXPECT_EQ(deallocs.load(), 2);
  }
  EXPECT_EQ(deallocs.load(), 3);
}

TEST_F(Runtime, StrongReferencesRetainAndRelease) {
  std::atomic<int> deallocs{0};
  id obj = newTracked(&deallocs);
  {
    Strong a(obj);
    Strong b = a;
    objc_release(obj);
    EXPECT_EQ(deallocs.load(), 0);
    Strong c = std::move(b);
    EXPECT_EQ(b.get(), nil);
  }
  EXPECT_EQ(deallocs.load(), 1);
}

}  // namespace

namespace {

CGRect rectFor(id, SEL, double x, double y, double w, double h) { return {{x, y}, {w, h}}; }
CGSize sizeOf(id, SEL, double w, double h) { return {w, h}; }
long sumOfEight(id, SEL, long a, long b, long c, long d, long e, long f, long g, long h) {
  return a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * f + 7 * g + 8 * h;
}

// The first send of each selector misses the cache, the second finds it there; both must hand
// over every argument and result unchanged, also arguments on the stack and large results.
TEST_F(Runtime, SendsPassArgumentsAndResultsThroughCacheMissesAndHits) {
  Class cls = ClassBuilder<>("Shapes", "NSObject")
                  .method("rectX:y:w:h:", rectFor)
                  .method("sizeW:h:", sizeOf)
                  .method("sum:b:c:d:e:f:g:h:", sumOfEight)
                  .cls();
  id obj = msgSend<id>(cls, sel_registerName("new"));
  for (int round = 0; round < 2; round++) {
    CGRect r = msgSend<CGRect>(obj, sel_registerName("rectX:y:w:h:"), 1.0, 2.0, 3.0, 4.0);
    EXPECT_EQ(r.origin.x, 1.0);
    EXPECT_EQ(r.origin.y, 2.0);
    EXPECT_EQ(r.size.width, 3.0);
    EXPECT_EQ(r.size.height, 4.0);
    CGSize s = msgSend<CGSize>(obj, sel_registerName("sizeW:h:"), 5.0, 6.0);
    EXPECT_EQ(s.width, 5.0);
    EXPECT_EQ(s.height, 6.0);
    EXPECT_EQ((msgSend<long>(obj, sel_registerName("sum:b:c:d:e:f:g:h:"), 1L, 1L, 1L, 1L, 1L, 1L,
                             1L, 10L)),
              28 + 80);
  }
  objc_release(obj);
}

}  // namespace
