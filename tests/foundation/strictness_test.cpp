// Foundation and Core Foundation as unforgiving as the device: where the device crashes or
// gives a particular answer, so does the host, so that a fault of the library shows here first.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "platform/corefoundation.h"
#include "platform/foundation.h"
#include "runtime/class_builder.h"

namespace {

using qv::host::makeString;

class Strictness : public testing::Test {
 protected:
  void SetUp() override { qv::host::registerFoundation(); }
  // An object of a class that implements no copyWithZone:.
  static id newUncopyable() {
    static Class cls = qv::ClassBuilder<>("QVUncopyable", "NSObject").cls();
    return objc_autorelease(msgSend<id>(cls, sel_registerName("new")));
  }
  qv::AutoreleasePool pool;
};

TEST_F(Strictness, CopyWithoutCopyWithZoneIsAnUnrecognizedSelector) {
  id plain = newUncopyable();
  EXPECT_DEATH(msgSend<id>(plain, sel_registerName("copy")),
               "-\\[QVUncopyable copyWithZone:\\]: unrecognized selector sent to instance");
  // Values that can be copied still are; immutable ones are their own copies.
  id text = makeString("x");
  id copy = msgSend<id>(text, sel_registerName("copy"));
  EXPECT_EQ(copy, text);
  objc_release(copy);
}

TEST_F(Strictness, DictionaryKeysAreCopied) {
  NS::MutableArray key = NS::MutableArray::array();
  key.addObject(makeString("a"));
  NS::MutableDictionary d = NS::MutableDictionary::dictionary();
  d.setObject(makeString("value"), key);
  // The dictionary holds its own immutable copy: changing the caller's key changes nothing.
  key.addObject(makeString("b"));
  NS::Array stored(NS::Array(d.send<id>(SELECTOR("allKeys"))).objectAtIndex(0).get());
  EXPECT_NE(stored.get(), key.get());
  EXPECT_EQ(stored.count(), 1u);
  EXPECT_FALSE(stored.respondsToSelector(SELECTOR("addObject:")));
  EXPECT_TRUE(d.objectForKey(qv::host::makeArray({makeString("a")})));
}

TEST_F(Strictness, ANonCopyableDictionaryKeyAborts) {
  NS::MutableDictionary d = NS::MutableDictionary::dictionary();
  EXPECT_DEATH(d.setObject(makeString("value"), newUncopyable()),
               "-\\[QVUncopyable copyWithZone:\\]: unrecognized selector");
  EXPECT_DEATH(
      msgSend<id>(objc_getClass("NSDictionary"), sel_registerName("dictionaryWithObject:forKey:"),
                  makeString("value"), newUncopyable()),
      "-\\[QVUncopyable copyWithZone:\\]: unrecognized selector");
}

TEST_F(Strictness, CFReleaseOfNullCrashes) {
  EXPECT_DEATH(CFRelease(nullptr), "CFRelease\\(\\) called with NULL");
  // Anything else is released.
  id owned = msgSend<id>(objc_getClass("NSObject"), sel_registerName("new"));
  qv::Weak watch(owned);
  CFRelease(owned);
  EXPECT_EQ(watch.load().get(), nil);
}

TEST_F(Strictness, IntValueSaturatesAtIntMaxAndIntMin) {
  EXPECT_EQ(NS::String(makeString("2147483648")).intValue(), INT_MAX);
  EXPECT_EQ(NS::String(makeString("99999999999999999999")).intValue(), INT_MAX);
  EXPECT_EQ(NS::String(makeString("-2147483649")).intValue(), INT_MIN);
  EXPECT_EQ(NS::String(makeString("  4294967297")).intValue(), INT_MAX);  // wraps to 1 in C
  EXPECT_EQ(NS::String(makeString("-2147483648")).intValue(), INT_MIN);
  EXPECT_EQ(NS::String(makeString("2147483647")).intValue(), INT_MAX);
  EXPECT_EQ(NS::String(makeString("-42abc")).intValue(), -42);
  EXPECT_EQ(NS::Object(qv::host::makeInteger(4294967297LL)).intValue(), INT_MAX);
  EXPECT_EQ(NS::Object(qv::host::makeInteger(-4294967297LL)).intValue(), INT_MIN);
  EXPECT_EQ(NS::Object(qv::host::makeDouble(1e12)).intValue(), INT_MAX);
  EXPECT_EQ(NS::Object(qv::host::makeDouble(-7.9)).intValue(), -7);
}

TEST_F(Strictness, StringLengthCountsUtf16Units) {
  EXPECT_EQ(NS::String(makeString("")).length(), 0u);
  EXPECT_EQ(NS::String(makeString("Mail")).length(), 4u);
  EXPECT_EQ(NS::String(makeString("caf\u00e9")).length(), 4u);   // two UTF-8 bytes, one unit
  EXPECT_EQ(NS::String(makeString("\u20ac")).length(), 1u);      // three bytes, one unit
  EXPECT_EQ(NS::String(makeString("\U0001F512")).length(), 2u);  // a surrogate pair
  EXPECT_EQ(NS::String(makeString("Bank \U0001F512\U0001F3E6")).length(), 9u);
}

TEST_F(Strictness, NumberDescriptionIsTheShortestRoundTripForm) {
  auto text = [](id number) { return std::string(NS::Object(number).description().UTF8String()); };
  EXPECT_EQ(text(qv::host::makeDouble(0.1)), "0.1");
  EXPECT_EQ(text(qv::host::makeDouble(0.6)), "0.6");
  EXPECT_EQ(text(qv::host::makeDouble(0.1 + 0.2)), "0.30000000000000004");
  EXPECT_EQ(text(qv::host::makeDouble(2.5)), "2.5");
  EXPECT_EQ(text(qv::host::makeDouble(1e300)), "1e+300");
  EXPECT_EQ(text(qv::host::makeDouble(-0.0)), "-0");
  EXPECT_EQ(text(NS::Number::withFloat(0.6f).get()), "0.6");  // a float reads back as one
  EXPECT_EQ(text(NS::Number::withFloat(50.0f).get()), "50");
  EXPECT_EQ(text(NS::Number::withFloat(1e10f).get()), "1e+10");
  // The notation stays the one "%.17g" chooses.
  EXPECT_EQ(text(qv::host::makeDouble(123456789.0)), "123456789");
  EXPECT_EQ(text(qv::host::makeDouble(1e16)), "10000000000000000");
  EXPECT_EQ(text(qv::host::makeDouble(1e17)), "1e+17");
  EXPECT_EQ(text(qv::host::makeDouble(0.0001)), "0.0001");
  EXPECT_EQ(text(qv::host::makeDouble(-1.5e-7)), "-1.5e-07");
  EXPECT_EQ(text(qv::host::makeDouble(1.0 / 3)), "0.3333333333333333");
  EXPECT_EQ(text(qv::host::makeInteger(-12)), "-12");
  EXPECT_EQ(text(qv::host::makeBool(true)), "1");
}

}  // namespace
