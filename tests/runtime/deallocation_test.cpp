// Deallocation as the device's runtime does it: an object whose -dealloc chain has started
// ignores retain and release, cannot be referenced weakly any more, and its weak references
// read nil from the start of the chain and are cleared once it has run.
#include <gtest/gtest.h>

#include <functional>

#include "foundation/foundation.h"
#include "runtime/class_builder.h"
#include "runtime/object_refs.h"

namespace {

using qv::ClassBuilder;
using qv::Strong;
using qv::Weak;

// What a test's -dealloc does, before it calls the superclass's.
std::function<void(id)> gDuringDealloc;
// What the superclass's -dealloc sees, before it disposes of the object.
std::function<void(id)> gDuringSuperDealloc;
int gDeallocs = 0;

void baseDealloc(id self, SEL cmd) {
  if (gDuringSuperDealloc) gDuringSuperDealloc(self);
  qv::sendSuper<void>(objc_getClass("DeallocBase"), self, cmd);
}

void doomedDealloc(id self, SEL cmd) {
  gDeallocs++;
  if (gDuringDealloc) gDuringDealloc(self);
  qv::sendSuper<void>(objc_getClass("Doomed"), self, cmd);
}

class Deallocation : public testing::Test {
 protected:
  void SetUp() override {
    qv::host::registerFoundation();
    ClassBuilder<>("DeallocBase", "NSObject").method("dealloc", baseDealloc);
    ClassBuilder<>("Doomed", "DeallocBase").method("dealloc", doomedDealloc);
  }
  static id newDoomed() { return msgSend<id>(objc_getClass("Doomed"), sel_registerName("new")); }
};

TEST_F(Deallocation, RetainAndReleaseInsideDeallocAreIgnoredAndDeallocRunsOnce) {
  NSUInteger countInside = 99;
  gDuringDealloc = [&](id self) {
    objc_retain(self);
    objc_retain(self);
    objc_release(self);
    { Strong hold(self); }  // a strong reference taken and dropped inside -dealloc
    objc_release(self);
    objc_release(self);
    countInside = msgSend<NSUInteger>(self, sel_registerName("retainCount"));
  };
  id obj = newDoomed();
  objc_retain(obj);
  objc_release(obj);
  EXPECT_EQ(gDeallocs, 0);
  objc_release(obj);
  EXPECT_EQ(gDeallocs, 1);
  EXPECT_EQ(countInside, 0u);
}

TEST_F(Deallocation, FormingAWeakReferenceToADeallocatingObjectAborts) {
  const char* message =
      "objc\\[[0-9]+\\]: Cannot form weak reference to instance \\(0x[0-9a-f]+\\) of class "
      "Doomed\\. It is possible that this object was over-released, or is in the process of "
      "deallocation\\.";
  EXPECT_DEATH(
      {
        gDuringDealloc = [](id self) {
          id slot = nil;
          objc_storeWeak(&slot, self);
        };
        objc_release(newDoomed());
      },
      message);
  EXPECT_DEATH(
      {
        gDuringSuperDealloc = [](id self) { Weak w(self); };
        objc_release(newDoomed());
      },
      message);
  // Storing the object again into a location that already holds it is no exception.
  EXPECT_DEATH(
      {
        static id slot = nil;
        id obj = newDoomed();
        objc_storeWeak(&slot, obj);
        gDuringDealloc = [](id self) { objc_storeWeak(&slot, self); };
        objc_release(obj);
      },
      message);
}

TEST_F(Deallocation, ClearingAWeakReferenceInsideDeallocIsAllowed) {
  static id slot = nil;
  id obj = newDoomed();
  objc_storeWeak(&slot, obj);
  gDuringDealloc = [](id) { objc_storeWeak(&slot, nil); };
  objc_release(obj);
  EXPECT_EQ(gDeallocs, 1);
  EXPECT_EQ(slot, nil);
}

TEST_F(Deallocation, WeakReferencesReadNilFromTheStartOfTheChainAndAreClearedAfterIt) {
  static id slot = nil;
  static Weak* held = nullptr;
  id obj = newDoomed();
  objc_initWeak(&slot, obj);
  Weak weak(obj);
  held = &weak;
  struct Seen {
    bool loadedNil = false, heldNil = false, slotStillSet = false;
  };
  Seen inDealloc, inSuperDealloc;
  auto look = [](id self, Seen& seen) {
    id loaded = objc_loadWeakRetained(&slot);
    seen.loadedNil = loaded == nil;
    objc_release(loaded);
    seen.heldNil = held->load().get() == nil;
    seen.slotStillSet = slot == self;
  };
  gDuringDealloc = [&](id self) { look(self, inDealloc); };
  gDuringSuperDealloc = [&](id self) { look(self, inSuperDealloc); };
  objc_release(obj);
  ASSERT_EQ(gDeallocs, 1);
  EXPECT_TRUE(inDealloc.loadedNil);
  EXPECT_TRUE(inDealloc.heldNil);
  EXPECT_TRUE(inSuperDealloc.loadedNil);
  EXPECT_TRUE(inSuperDealloc.heldNil);
  // Not cleared while the chain runs; cleared once it is over.
  EXPECT_TRUE(inDealloc.slotStillSet);
  EXPECT_TRUE(inSuperDealloc.slotStillSet);
  EXPECT_EQ(slot, nil);
  EXPECT_EQ(objc_loadWeak(&slot), nil);
  EXPECT_EQ(weak.load().get(), nil);
}

TEST_F(Deallocation, ALiveObjectIsStillRetainedAndReleasedNormally) {
  id obj = newDoomed();
  objc_retain(obj);
  EXPECT_EQ(msgSend<NSUInteger>(obj, sel_registerName("retainCount")), 2u);
  objc_release(obj);
  EXPECT_EQ(msgSend<NSUInteger>(obj, sel_registerName("retainCount")), 1u);
  id slot = nil;
  objc_storeWeak(&slot, obj);
  {
    qv::AutoreleasePool pool;
    EXPECT_EQ(objc_loadWeak(&slot), obj);
  }
  objc_release(obj);
  EXPECT_EQ(gDeallocs, 1);
  EXPECT_EQ(slot, nil);
}

}  // namespace
