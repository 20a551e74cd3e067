// The substrate's hooking semantics over a small class hierarchy.
#include <gtest/gtest.h>

#include "foundation/foundation.h"
#include "platform/substrate.h"
#include "runtime/class_builder.h"
#include "runtime/objc_internal.h"

namespace {

using qv::ClassBuilder;

std::string* trace() {
  static std::string t;
  return &t;
}

int topName(id, SEL) {
  *trace() += "top;";
  return 1;
}

struct Hierarchy {
  Class top, middle, bottom;
  Hierarchy() {
    qv::host::registerFoundation();
    top = ClassBuilder<>("Top", "NSObject").method("name", topName).cls();
    middle = ClassBuilder<>("Middle", "Top").cls();
    bottom = ClassBuilder<>("Bottom", "Middle").cls();
  }
};

IMP gMiddlePrevious = nullptr;
int middleHook(id self, SEL sel) {
  *trace() += "middle-hook;";
  return reinterpret_cast<int (*)(id, SEL)>(gMiddlePrevious)(self, sel) + 10;
}

IMP gTopPrevious = nullptr;
int topHook(id self, SEL sel) {
  *trace() += "top-hook;";
  return reinterpret_cast<int (*)(id, SEL)>(gTopPrevious)(self, sel) + 100;
}

TEST(Substrate, InheritedMethodHookedOnMiddleClassReachesLaterSuperclassHook) {
  Hierarchy h;
  SEL name = sel_registerName("name");
  MSHookMessageEx(h.middle, name, reinterpret_cast<IMP>(middleHook), &gMiddlePrevious);
  ASSERT_NE(gMiddlePrevious, nullptr);

  id obj = msgSend<id>(h.bottom, sel_registerName("new"));
  trace()->clear();
  EXPECT_EQ(msgSend<int>(obj, name), 11);
  EXPECT_EQ(*trace(), "middle-hook;top;");

  // A hook installed on the superclass afterwards is seen by the middle class's previous.
  MSHookMessageEx(h.top, name, reinterpret_cast<IMP>(topHook), &gTopPrevious);
  trace()->clear();
  EXPECT_EQ(msgSend<int>(obj, name), 111);
  EXPECT_EQ(*trace(), "middle-hook;top-hook;top;");

  id topObj = msgSend<id>(h.top, sel_registerName("new"));
  trace()->clear();
  EXPECT_EQ(msgSend<int>(topObj, name), 101);
  EXPECT_EQ(*trace(), "top-hook;top;");
  objc_release(obj);
  objc_release(topObj);
}

IMP gOwnPrevious = nullptr;
int ownHook(id self, SEL sel) {
  return reinterpret_cast<int (*)(id, SEL)>(gOwnPrevious)(self, sel) * 7;
}

TEST(Substrate, OwnMethodPreviousIsTheOriginalImplementation) {
  Hierarchy h;
  SEL name = sel_registerName("name");
  id obj = msgSend<id>(h.top, sel_registerName("new"));
  EXPECT_EQ(msgSend<int>(obj, name), 1);  // fills the cache before the hook
  MSHookMessageEx(h.top, name, reinterpret_cast<IMP>(ownHook), &gOwnPrevious);
  EXPECT_EQ(gOwnPrevious, reinterpret_cast<IMP>(topName));
  EXPECT_EQ(msgSend<int>(obj, name), 7);
  objc_release(obj);
}

// Arguments in every register class survive the forwarding stub.
double mixedArgs(id, SEL, int a, double b, long c, float d, id e) {
  return a + b + static_cast<double>(c) + d + (e ? 1000 : 0);
}
IMP gMixedPrevious = nullptr;
double mixedHook(id self, SEL sel, int a, double b, long c, float d, id e) {
  return reinterpret_cast<double (*)(id, SEL, int, double, long, float, id)>(gMixedPrevious)(
      self, sel, a, b, c, d, e);
}

TEST(Substrate, ForwardingStubPreservesIntegerAndFloatArguments) {
  Hierarchy h;
  SEL sel = sel_registerName("mix:b:c:d:e:");
  qv::runtime::setMethod(h.top, sel, reinterpret_cast<IMP>(mixedArgs), "d@:idqf@");
  MSHookMessageEx(h.bottom, sel, reinterpret_cast<IMP>(mixedHook), &gMixedPrevious);
  id obj = msgSend<id>(h.bottom, sel_registerName("new"));
  EXPECT_DOUBLE_EQ((msgSend<double>(obj, sel, 1, 2.5, 3L, 0.25f, obj)), 1006.75);
  objc_release(obj);
}

int classSide(id, SEL) { return 5; }
IMP gClassPrevious = nullptr;
int classHook(id self, SEL sel) {
  return reinterpret_cast<int (*)(id, SEL)>(gClassPrevious)(self, sel) + 1;
}

TEST(Substrate, ClassMethodsAreHookedThroughTheMetaclass) {
  Hierarchy h;
  SEL sel = sel_registerName("open");
  ClassBuilder<>("Search", "NSObject").classMethod("open", classSide);
  Class search = objc_getClass("Search");
  MSHookMessageEx(object_getClass(asId(search)), sel, reinterpret_cast<IMP>(classHook),
                  &gClassPrevious);
  EXPECT_EQ(msgSend<int>(search, sel), 6);
}

TEST(Substrate, MissingSelectorLeavesPreviousUntouched) {
  Hierarchy h;
  IMP previous = reinterpret_cast<IMP>(&topName);
  testing::internal::CaptureStderr();
  MSHookMessageEx(h.top, sel_registerName("nothingAnswersThis"), reinterpret_cast<IMP>(ownHook),
                  &previous);
  std::string warnings = testing::internal::GetCapturedStderr();
  EXPECT_EQ(previous, reinterpret_cast<IMP>(&topName));
  EXPECT_NE(warnings.find("nothingAnswersThis"), std::string::npos);
  EXPECT_FALSE(class_respondsToSelector(h.top, sel_registerName("nothingAnswersThis")));
}

// A nil class is undefined for the substrate: the host stops any caller that passes one.
TEST(Substrate, ANilClassAbortsTheProcess) {
  IMP previous = nullptr;
  EXPECT_DEATH(
      MSHookMessageEx(nullptr, sel_registerName("name"), reinterpret_cast<IMP>(ownHook), &previous),
      "MSHookMessageEx: nil class for selector name");
}

// What the substrate warned about stays on record, in order, apart from what it installed.
TEST(Substrate, HooksThatInstallNothingAreKeptOnRecord) {
  Hierarchy h;
  IMP previous = nullptr;
  testing::internal::CaptureStderr();
  MSHookMessageEx(h.top, nullptr, reinterpret_cast<IMP>(ownHook), &previous);
  MSHookMessageEx(object_getClass(asId(h.top)), sel_registerName("nothingAnswersThis"),
                  reinterpret_cast<IMP>(ownHook), &previous);
  MSHookMessageEx(h.top, sel_registerName("name"), reinterpret_cast<IMP>(ownHook), &gOwnPrevious);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(
      qv::runtime::hooksNotInstalled(),
      (std::vector<std::string>{"nil selector for -[Top]", "+[Top nothingAnswersThis] not found"}));
  EXPECT_EQ(qv::runtime::installedHooks(), std::vector<std::string>{"-[Top name] replaced"});
}

// A replaced method keeps the host's type encoding, so a checked build compares a hook's call
// of the previous implementation with what the host declares.
TEST(Substrate, ACheckedCallWithOtherArgumentTypesThanTheHostMethodsAborts) {
  Hierarchy h;
  SEL sel = sel_registerName("setLocation:");
  ClassBuilder<>("Placed", "NSObject")
      .method(
          "setLocation:", +[](id, SEL, id) {});
  MSHookMessageEx(objc_getClass("Placed"), sel, reinterpret_cast<IMP>(+[](id, SEL, id) {}),
                  &gOwnPrevious);
  id obj = msgSend<id>(objc_getClass("Placed"), sel_registerName("new"));
  objc_checkSend(obj, sel, "v@:@");
  EXPECT_DEATH(objc_checkSend(obj, sel, "v@:q"),
               "-\\[Placed setLocation:\\] sent as \"v@:q\" but implemented as \"v@:@\"");
  objc_release(obj);
}

// Typed hook slots: the previous implementation is called with the hook's own argument types,
// and a checked build refuses to install a hook typed otherwise than the host method.
double scaledHook(id self, SEL cmd, double value) {
  return qv::Hook<scaledHook>::previous(self, cmd, value * 2) + 1;
}

TEST(TypedHooks, PreviousTakesTheHooksArgumentTypes) {
  qv::host::registerFoundation();
  Class cls = ClassBuilder<>("Scaler", "NSObject")
                  .method(
                      "scale:", +[](id, SEL, double v) { return v * 10; })
                  .cls();
  qv::Hook<scaledHook>::replace(cls, sel_registerName("scale:"));
  ASSERT_NE(qv::Hook<scaledHook>::slot, nullptr);
  id obj = msgSend<id>(cls, sel_registerName("new"));
  EXPECT_EQ(msgSend<double>(obj, sel_registerName("scale:"), 1.5), 31.0);
  objc_release(obj);
  EXPECT_STREQ(qv::Hook<scaledHook>::types, "d@:d");
}

[[maybe_unused]] void mistypedHook(id, SEL, long long) {}

TEST(TypedHooks, AHookTypedOtherwiseThanTheHostMethodIsRefusedAtInstall) {
#ifndef QV_CHECKED_SENDS
  GTEST_SKIP() << "only checked builds compare a hook with the host method";
#else
  qv::host::registerFoundation();
  Class cls = ClassBuilder<>("Located", "NSObject")
                  .method(
                      "setLocation:", +[](id, SEL, id) {})
                  .cls();
  EXPECT_DEATH(qv::Hook<mistypedHook>::replace(cls, sel_registerName("setLocation:")),
               "a hook of -\\[Located setLocation:\\] is typed \"v@:q\" but the method is "
               "\"v@:@\"");
#endif
}

}  // namespace
