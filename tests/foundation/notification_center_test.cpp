// ctest-labels: threads
// NSNotificationCenter: synchronous delivery in registration order to weakly held observers.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/notification_center.h"
#include "platform/ns_notifications.h"
#include "runtime/class_builder.h"

namespace {

using qv::Strong;

std::vector<std::string> gCalls;  // "<tag>:<how>:<name>", in call order
std::atomic<int> gDeallocs{0};

struct ObserverFields : objc_object {
  std::string tag;
  Strong lastNote;
  std::function<void(id self)> onNote;
  std::atomic<int> count{0};
  ~ObserverFields() { gDeallocs++; }
};

ObserverFields* fieldsOf(id obj) { return qv::fields<ObserverFields>(obj); }

void noteWith(id self, SEL, id note) {
  fieldsOf(self)->lastNote = note;
  fieldsOf(self)->count++;
  gCalls.push_back(fieldsOf(self)->tag +
                   ":with:" + qv::host::stdString(msgSend<id>(note, SELECTOR("name"))));
  if (fieldsOf(self)->onNote) fieldsOf(self)->onNote(self);
}

void noteWithout(id self, SEL) {
  fieldsOf(self)->count++;
  gCalls.push_back(fieldsOf(self)->tag + ":without");
  if (fieldsOf(self)->onNote) fieldsOf(self)->onNote(self);
}

Class observerClass() {
  static Class cls = qv::ClassBuilder<ObserverFields>("TestNoteObserver", "NSObject")
                         .method("noteWith:", noteWith)
                         .method("noteWithout", noteWithout)
                         .cls();
  return cls;
}

// An owned observer.
Strong makeObserver(const std::string& tag) {
  Strong obs = Strong::adopt(msgSend<id>(observerClass(), SELECTOR("new")));
  fieldsOf(obs)->tag = tag;
  return obs;
}

class NotificationCenter : public testing::Test {
 protected:
  void SetUp() override {
    qv::host::registerFoundation();
    gCalls.clear();
    gDeallocs = 0;
    center = NS::NotificationCenter::defaultCenter();
  }
  NS::NotificationCenter center;
  SEL with = SELECTOR("noteWith:");
  SEL without = SELECTOR("noteWithout");

  void post(const char* name, id object = nil, id userInfo = nil) {
    center.postNotificationName(NS::String::from(name), object, userInfo);
  }
};

TEST_F(NotificationCenter, PostCallsEveryMatchingObserverInOrderBeforeReturning) {
  qv::AutoreleasePool pool;
  EXPECT_EQ(NS::NotificationCenter::defaultCenter().get(), center.get());
  Strong a = makeObserver("a"), b = makeObserver("b"), c = makeObserver("c");
  center.addObserver(b, without, NSSTR("Changed"), nil);
  center.addObserver(a, with, NSSTR("Changed"), nil);
  center.addObserver(c, with, NSSTR("Other"), nil);
  id sender = qv::host::makeString("sender");
  id info = qv::host::makeDictionary({{qv::host::makeString("k"), qv::host::makeInteger(3)}});
  post("Changed", sender, info);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"b:without", "a:with:Changed"}));
  id note = fieldsOf(a)->lastNote;
  ASSERT_NE(note, nil);
  EXPECT_EQ(msgSend<id>(note, SELECTOR("object")), sender);
  EXPECT_EQ(msgSend<id>(note, SELECTOR("userInfo")), info);
  EXPECT_EQ(fieldsOf(c)->count, 0);
}

TEST_F(NotificationCenter, NameAndSenderFilters) {
  qv::AutoreleasePool pool;
  Strong named = makeObserver("named"), all = makeObserver("all"), fromOne = makeObserver("one");
  id one = qv::host::makeString("one"), two = qv::host::makeString("two");
  center.addObserver(named, without, NSSTR("A"), nil);
  center.addObserver(all, with, NS::String(), nil);
  center.addObserver(fromOne, without, NSSTR("A"), one);
  post("A", two);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"named:without", "all:with:A"}));
  gCalls.clear();
  post("B", one);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"all:with:B"}));
  gCalls.clear();
  post("A", one);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"named:without", "all:with:A", "one:without"}));
  gCalls.clear();
  post("A");  // no sender: only observers of any sender
  EXPECT_EQ(gCalls, (std::vector<std::string>{"named:without", "all:with:A"}));
}

TEST_F(NotificationCenter, RegisteringTwiceCallsTwice) {
  qv::AutoreleasePool pool;
  Strong obs = makeObserver("x");
  center.addObserver(obs, without, NSSTR("N"), nil);
  center.addObserver(obs, with, NSSTR("N"), nil);
  center.addObserver(obs, with, NSSTR("N"), nil);
  post("N");
  EXPECT_EQ(gCalls, (std::vector<std::string>{"x:without", "x:with:N", "x:with:N"}));
}

TEST_F(NotificationCenter, ObserversAreHeldWeaklyAndDroppedOnceGone) {
  qv::AutoreleasePool pool;
  size_t before = qv::host::notificationObservationCount(center);
  Strong keeper = makeObserver("keeper");
  {
    Strong gone = makeObserver("gone");
    center.addObserver(gone, with, NSSTR("N"), nil);
    center.addObserver(keeper, without, NSSTR("N"), nil);
    center.addObserver(gone, without, NS::String(), nil);
    EXPECT_EQ(qv::host::notificationObservationCount(center), before + 3);
  }
  EXPECT_EQ(gDeallocs, 1);  // the centre did not keep it alive
  post("N");
  EXPECT_EQ(gCalls, (std::vector<std::string>{"keeper:without"}));
  EXPECT_EQ(qv::host::notificationObservationCount(center), before + 1);
}

TEST_F(NotificationCenter, AnObserverReleasedDuringItsOwnCallbackLivesUntilTheCallReturns) {
  qv::AutoreleasePool pool;
  id owned = msgSend<id>(observerClass(), SELECTOR("new"));
  fieldsOf(owned)->tag = "self-releasing";
  bool stillAlive = false;
  fieldsOf(owned)->onNote = [&](id self) {
    objc_release(self);  // the test's only reference
    stillAlive = gDeallocs == 0 && fieldsOf(self)->count == 1;
  };
  center.addObserver(owned, with, NSSTR("N"), nil);
  post("N");
  EXPECT_TRUE(stillAlive);
  EXPECT_EQ(gDeallocs, 1);
  post("N");
  EXPECT_EQ(gCalls.size(), 1u);
}

TEST_F(NotificationCenter, CallbacksMayRegisterRemoveAndPostWithoutDeadlock) {
  qv::AutoreleasePool pool;
  Strong first = makeObserver("first"), late = makeObserver("late"), second = makeObserver("2nd");
  fieldsOf(first)->onNote = [&](id) {
    if (fieldsOf(first)->count > 1) return;
    center.addObserver(late, without, NSSTR("Outer"), nil);
    center.addObserver(late, with, NSSTR("Inner"), nil);
    msgSend<void>(center.get(), SELECTOR("removeObserver:"), second.get());
    NS::NotificationCenter::defaultCenter().postNotificationName(NSSTR("Inner"), nil, nil);
  };
  center.addObserver(first, without, NSSTR("Outer"), nil);
  center.addObserver(second, without, NSSTR("Outer"), nil);
  post("Outer");
  // Those added during a post wait for the next; those removed during it are not called.
  EXPECT_EQ(gCalls, (std::vector<std::string>{"first:without", "late:with:Inner"}));
  gCalls.clear();
  post("Outer");
  EXPECT_EQ(gCalls, (std::vector<std::string>{"first:without", "late:without"}));
}

TEST_F(NotificationCenter, RemoveObserverByNameAndSender) {
  qv::AutoreleasePool pool;
  Strong obs = makeObserver("o");
  id one = qv::host::makeString("one");
  center.addObserver(obs, without, NSSTR("A"), nil);
  center.addObserver(obs, with, NSSTR("B"), one);
  center.addObserver(obs, with, NSSTR("B"), nil);
  msgSend<void>(center.get(), SELECTOR("removeObserver:name:object:"), obs.get(), NSSTR("B").get(),
                one);
  post("B", one);
  post("A");
  EXPECT_EQ(gCalls, (std::vector<std::string>{"o:with:B", "o:without"}));
  gCalls.clear();
  msgSend<void>(center.get(), SELECTOR("removeObserver:name:object:"), obs.get(), NSSTR("A").get(),
                static_cast<id>(nil));
  post("A");
  post("B");
  EXPECT_EQ(gCalls, (std::vector<std::string>{"o:with:B"}));
  gCalls.clear();
  msgSend<void>(center.get(), SELECTOR("removeObserver:"), obs.get());
  post("B");
  EXPECT_TRUE(gCalls.empty());
}

TEST_F(NotificationCenter, PostNotificationDeliversTheSameNotificationObject) {
  qv::AutoreleasePool pool;
  Strong obs = makeObserver("o");
  center.addObserver(obs, with, NSSTR("N"), nil);
  id note = msgSend<id>(objc_getClass("NSNotification"), SELECTOR("notificationWithName:object:"),
                        NSSTR("N").get(), obs.get());
  msgSend<void>(center.get(), SELECTOR("postNotification:"), note);
  EXPECT_EQ(fieldsOf(obs)->lastNote.get(), note);
  msgSend<void>(center.get(), SELECTOR("postNotificationName:object:"), NSSTR("N").get(),
                static_cast<id>(nil));
  EXPECT_EQ(fieldsOf(obs)->count, 2);
  // Junk is ignored rather than delivered.
  msgSend<void>(center.get(), SELECTOR("postNotification:"), static_cast<id>(nil));
  msgSend<void>(center.get(), SELECTOR("postNotification:"), qv::host::makeString("N"));
  EXPECT_EQ(fieldsOf(obs)->count, 2);
}

TEST_F(NotificationCenter, ConcurrentPostsAndRegistrationsAreAllDelivered) {
  qv::AutoreleasePool pool;
  // gCalls is not thread-safe; this observer only counts.
  static std::atomic<int> counted{0};
  counted = 0;
  Class cls =
      qv::ClassBuilder<ObserverFields>("TestCountingObserver", class_getName(observerClass()))
          .method(
              "count:", +[](id, SEL, id) { counted++; })
          .cls();
  Strong obs = Strong::adopt(msgSend<id>(cls, SELECTOR("new")));
  center.addObserver(obs, SELECTOR("count:"), NSSTR("Tick"), nil);
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; t++) {
    threads.emplace_back([&] {
      for (int i = 0; i < 500; i++) {
        qv::AutoreleasePool p;
        NS::NotificationCenter::defaultCenter().postNotificationName(NSSTR("Tick"), nil, nil);
      }
    });
  }
  threads.emplace_back([&] {
    for (int i = 0; i < 500; i++) {
      qv::AutoreleasePool p;
      Strong transient = Strong::adopt(msgSend<id>(cls, SELECTOR("new")));
      center.addObserver(transient, SELECTOR("count:"), NSSTR("Unrelated"), nil);
    }
  });
  for (auto& t : threads) t.join();
  EXPECT_EQ(counted, 1500);
}

}  // namespace
