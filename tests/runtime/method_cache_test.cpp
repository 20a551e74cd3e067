// Method caches: answers and non-answers are cached per class, a change to a class reaches it
// and its descendants only, and a debugger can unwind through the send's slow path.
#include <execinfo.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "foundation/foundation.h"
#include "runtime/class_builder.h"
#include "runtime/objc_internal.h"
#include "runtime/object_refs.h"

namespace {

using qv::ClassBuilder;

int answer(id, SEL) { return 42; }

class MethodCache : public testing::Test {
 protected:
  void SetUp() override { qv::host::registerFoundation(); }
};
using MethodCacheDeathTest = MethodCache;

// The cache's slot for `sel`, or null.
const ::MethodCache::Slot* cachedSlot(Class cls, SEL sel) {
  const ::MethodCache* c = cls->cache.load();
  size_t capacity = c->offsetMask / sizeof(::MethodCache::Slot) + 1;
  for (size_t i = 0; i < capacity; i++) {
    if (c->slots[i].sel == sel) return &c->slots[i];
  }
  return nullptr;
}

TEST_F(MethodCache, ASelectorNothingAnswersIsCachedAsUnansweredUntilOneIsAdded) {
  Class base = ClassBuilder<>("QuietBase", "NSObject").cls();
  Class derived = ClassBuilder<>("QuietDerived", "QuietBase").cls();
  SEL sel = sel_registerName("answer");
  EXPECT_FALSE(class_respondsToSelector(derived, sel));
  const ::MethodCache::Slot* slot = cachedSlot(derived, sel);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->imp, nullptr);
  EXPECT_FALSE(class_respondsToSelector(derived, sel));  // answered from the cache

  ASSERT_TRUE(class_addMethod(base, sel, reinterpret_cast<IMP>(answer), "i@:"));
  EXPECT_TRUE(class_respondsToSelector(derived, sel));
  id obj = msgSend<id>(derived, sel_registerName("new"));
  EXPECT_EQ(msgSend<int>(obj, sel), 42);
  objc_release(obj);
}

TEST_F(MethodCache, AChangeToAClassInvalidatesItAndItsDescendantsOnly) {
  Class base = ClassBuilder<>("TreeBase", "NSObject").cls();
  Class left = ClassBuilder<>("TreeLeft", "TreeBase").cls();
  Class leftChild = ClassBuilder<>("TreeLeftChild", "TreeLeft").cls();
  Class right = ClassBuilder<>("TreeRight", "TreeBase").cls();
  SEL probe = sel_registerName("description");
  for (Class c : {base, left, leftChild, right}) ASSERT_TRUE(class_respondsToSelector(c, probe));
  const ::MethodCache* baseCache = base->cache.load();
  const ::MethodCache* rightCache = right->cache.load();

  ASSERT_TRUE(
      class_addMethod(left, sel_registerName("answer"), reinterpret_cast<IMP>(answer), "i@:"));
  EXPECT_EQ(cachedSlot(left, probe), nullptr);
  EXPECT_EQ(cachedSlot(leftChild, probe), nullptr);
  EXPECT_EQ(base->cache.load(), baseCache);
  EXPECT_EQ(right->cache.load(), rightCache);
  EXPECT_TRUE(class_respondsToSelector(leftChild, sel_registerName("answer")));
  EXPECT_FALSE(class_respondsToSelector(right, sel_registerName("answer")));
}

TEST_F(MethodCache, AClassMethodAddedToTheRootReachesEveryClassObject) {
  Class cls = ClassBuilder<>("LateComer", "NSObject").cls();
  SEL sel = sel_registerName("lateAnswer");
  EXPECT_FALSE(class_respondsToSelector(object_getClass(asId(cls)), sel));
  // Class objects answer the root class's instance methods.
  ASSERT_TRUE(
      class_addMethod(objc_getClass("NSObject"), sel, reinterpret_cast<IMP>(answer), "i@:"));
  EXPECT_EQ(msgSend<int>(cls, sel), 42);
}

TEST_F(MethodCacheDeathTest, ASendOfASelectorCachedAsUnansweredStillAborts) {
  Class cls = ClassBuilder<>("Silent", "NSObject").cls();
  qv::Strong obj = qv::Strong::adopt(msgSend<id>(cls, sel_registerName("new")));
  SEL sel = sel_registerName("speak");
  ASSERT_FALSE(msgSend<BOOL>(obj.get(), sel_registerName("respondsToSelector:"), sel));
  EXPECT_DEATH(msgSend<void>(obj.get(), sel), "-\\[Silent speak\\]: unrecognized selector");
}

// The abort of an unrecognized selector happens inside objc_msgSend's slow path: unwinding
// from there must reach the function that sent the message.
void* gSender[2];

__attribute__((noinline)) void sendSpeak(id obj) {
  msgSend<void>(obj, sel_registerName("speak"));
  asm volatile("");  // keeps the send from being a tail call
}

void onAbort(int) {
  void* frames[64];
  int n = backtrace(frames, 64);
  for (int i = 0; i < n; i++) {
    if (frames[i] > gSender[0] && frames[i] < gSender[1]) {
      std::fputs("unwound to the sender\n", stderr);
      _exit(3);
    }
  }
  std::fputs("the unwinder stopped before the sender\n", stderr);
  _exit(4);
}

TEST_F(MethodCacheDeathTest, TheUnwinderGoesThroughTheSendsSlowPath) {
  Class cls = ClassBuilder<>("Unwound", "NSObject").cls();
  qv::Strong obj = qv::Strong::adopt(msgSend<id>(cls, sel_registerName("new")));
  gSender[0] = reinterpret_cast<void*>(&sendSpeak);
  gSender[1] = reinterpret_cast<char*>(&sendSpeak) + 256;
  EXPECT_EXIT(
      {
        signal(SIGABRT, onAbort);
        sendSpeak(obj.get());
      },
      testing::ExitedWithCode(3), "unwound to the sender");
}

}  // namespace
