// Strings, numbers and collections behave as Foundation's do where the library relies on them.
#include <gtest/gtest.h>

#include <limits>

#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/string_scan.h"
#include "platform/foundation.h"
#include "platform/ownership.h"

namespace {

using qv::host::makeString;

class Values : public testing::Test {
 protected:
  void SetUp() override { qv::host::registerFoundation(); }
  qv::AutoreleasePool pool;
};

struct BoolCase {
  const char* text;
  bool expected;
};

TEST_F(Values, StringBoolValueFollowsFoundationsScan) {
  const BoolCase cases[] = {
      {"YES", true},     {"yes", true},    {"Y", true},    {"true", true},  {"T", true},
      {"  \tyes", true}, {"1", true},      {"9", true},    {"+1", true},    {"-1", true},
      {"0001", true},    {"-0002x", true}, {"10", true},   {"1abc", true},  {"NO", false},
      {"no", false},     {"false", false}, {"0", false},   {"000", false},  {"", false},
      {"   ", false},    {"+", false},     {"+-1", false}, {"--1", false},  {"0.5", false},
      {".5", false},     {"abc", false},   {"x1", false},  {" 0 1", false}, {"00x", false},
  };
  for (const BoolCase& c : cases) {
    EXPECT_EQ(NS::String(makeString(c.text)).boolValue(), c.expected) << '"' << c.text << '"';
  }
}

TEST_F(Values, StringFloatValueReadsALeadingDecimalNumber) {
  EXPECT_FLOAT_EQ(NS::String(makeString("0.6")).floatValue(), 0.6f);
  EXPECT_FLOAT_EQ(NS::String(makeString("  -2.5e1xyz")).floatValue(), -25.0f);
  EXPECT_FLOAT_EQ(NS::String(makeString("3.")).floatValue(), 3.0f);
  EXPECT_FLOAT_EQ(NS::String(makeString(".25")).floatValue(), 0.25f);
  EXPECT_FLOAT_EQ(NS::String(makeString("1e")).floatValue(), 1.0f);
  EXPECT_EQ(NS::String(makeString("abc")).floatValue(), 0.0f);
  EXPECT_EQ(NS::String(makeString("")).floatValue(), 0.0f);
  EXPECT_EQ(NS::String(makeString("inf")).floatValue(), 0.0f);
  EXPECT_EQ(NS::String(makeString("0x10")).floatValue(), 0.0f);
  EXPECT_EQ(qv::host::scanInteger("99999999999999999999999"), INT64_MAX);
  EXPECT_EQ(qv::host::scanInteger("-42abc"), -42);
}

TEST_F(Values, NumberConversionsAndEquality) {
  NS::Number yes = NS::Number::withBool(true);
  NS::Number zero = NS::Number::withInt(0);
  NS::Number half = NS::Number::withFloat(0.5f);
  EXPECT_TRUE(yes.boolValue());
  EXPECT_FALSE(zero.boolValue());
  EXPECT_TRUE(half.boolValue());  // any non-zero value
  EXPECT_TRUE(NS::Number::withDouble(-0.001).boolValue());
  EXPECT_FLOAT_EQ(half.floatValue(), 0.5f);
  EXPECT_TRUE(NS::Number::withInt(1).isEqual(NS::Number::withDouble(1.0)));
  EXPECT_EQ(NS::Number::withInt(1).hash(), NS::Number::withDouble(1.0).hash());
  EXPECT_FALSE(NS::Number::withInt(1).isEqual(makeString("1")));
}

// -objCType names the C type a number was made from, as Foundation's does: the settings
// program tells a switch from a number by it.
TEST_F(Values, NumberTypeFollowsItsCreationMethod) {
  const struct {
    NS::Number number;
    const char* type;
  } cases[] = {
      {NS::Number::withBool(false), "c"},         {NS::Number::withInt(-3), "i"},
      {NS::Number::withInteger(1LL << 40), "q"},  {NS::Number(qv::host::makeInteger(7)), "q"},
      {NS::Number::withFloat(0.5f), "f"},         {NS::Number::withDouble(0.5), "d"},
      {NS::Number(qv::host::makeBool(true)), "c"}};
  for (const auto& c : cases) {
    EXPECT_STREQ(c.number.send<const char*>(SELECTOR("objCType")), c.type) << c.type;
  }
}

// As CFNumberCompare has it, NaN equals NaN (whatever its bits), so a list holding one reads
// back equal to itself and a NaN key finds its value.
TEST_F(Values, NotANumberEqualsNotANumber) {
  double quiet = std::numeric_limits<double>::quiet_NaN();
  double negative = -std::numeric_limits<double>::signaling_NaN();
  NS::Number a = NS::Number::withDouble(quiet);
  NS::Number b = NS::Number::withDouble(negative);
  EXPECT_TRUE(a.isEqual(b));
  EXPECT_TRUE(a.isEqual(NS::Number::withFloat(std::numeric_limits<float>::quiet_NaN())));
  EXPECT_EQ(a.hash(), b.hash());
  EXPECT_FALSE(a.isEqual(NS::Number::withInt(0)));
  EXPECT_FALSE(NS::Number::withDouble(0).isEqual(a));
  EXPECT_FALSE(a.isEqual(NS::Number::withDouble(std::numeric_limits<double>::infinity())));
  NS::MutableDictionary d = NS::MutableDictionary::dictionary();
  d.setObject(makeString("nan"), a);
  EXPECT_TRUE(NS::String(d.objectForKey(b).get()).isEqualToString(NSSTR("nan")));
}

TEST_F(Values, StringEqualityAndPathComponents) {
  NS::String a(makeString("com.example.mail"));
  EXPECT_TRUE(a.isEqualToString(NS::String(makeString("com.example.mail"))));
  EXPECT_FALSE(a.isEqualToString(NS::String(makeString("com.example.Mail"))));
  EXPECT_FALSE(a.isEqualToString(NS::String(NS::Number::withInt(3).get())));
  EXPECT_FALSE(a.isEqualToString(NS::String()));
  EXPECT_TRUE(a.containsString(NS::String(makeString("example"))));
  EXPECT_FALSE(NS::String(makeString("Rearrange")).containsString(NSSTR("range ")));

  auto join = [](const char* base, const char* comp) {
    return std::string(NS::String(makeString(base))
                           .stringByAppendingPathComponent(NS::String(makeString(comp)))
                           .UTF8String());
  };
  EXPECT_EQ(join("/var/jb/vmo/Library/Preferences", "com.vantrelo88.quorvel.plist"),
            "/var/jb/vmo/Library/Preferences/com.vantrelo88.quorvel.plist");
  EXPECT_EQ(join("/var/", "/tmp/"), "/var/tmp");
  EXPECT_EQ(join("/", "tmp"), "/tmp");
  EXPECT_EQ(join("", "tmp"), "tmp");
  EXPECT_EQ(join("a", ""), "a");
}

TEST_F(Values, MutableArrayRemoveObjectRemovesEveryEqualEntry) {
  NS::MutableArray list = NS::MutableArray::array();
  list.addObject(makeString("a"));
  list.addObject(makeString("b"));
  list.addObject(makeString("a"));
  list.addObject(NS::Number::withInt(1));
  list.removeObject(makeString("a"));
  ASSERT_EQ(list.count(), 2u);
  EXPECT_TRUE(NS::String(list.objectAtIndex(0).get()).isEqualToString(NSSTR("b")));
  EXPECT_TRUE(list.containsObject(NS::Number::withDouble(1.0)));
  EXPECT_FALSE(list.containsObject(makeString("a")));
}

TEST_F(Values, MutableCopiesAreIndependentAndOwned) {
  NS::Array original(qv::host::makeArray({makeString("x")}));
  auto copy = qv::StrongRef<NS::MutableArray>::adopt(original.mutableCopy());
  copy->addObject(makeString("y"));
  EXPECT_EQ(original.count(), 1u);
  EXPECT_EQ(copy->count(), 2u);
  EXPECT_FALSE(original.respondsToSelector(SELECTOR("addObject:")));
  EXPECT_TRUE(copy->respondsToSelector(SELECTOR("addObject:")));
}

TEST_F(Values, DictionaryKeysCompareByValue) {
  NS::MutableDictionary d = NS::MutableDictionary::dictionary();
  d.setObject(NS::Number::withInt(5), makeString("key"));
  d.setObject(makeString("one"), NS::Number::withInt(1));
  EXPECT_EQ(NS::Number(d.objectForKey(makeString("key")).get()).integerValue(), 5);
  EXPECT_TRUE(
      NS::String(d.objectForKey(NS::Number::withInteger(1)).get()).isEqualToString(NSSTR("one")));
  EXPECT_FALSE(d.objectForKey(makeString("missing")));
  d.setObject(NS::Number::withInt(6), makeString("key"));
  EXPECT_EQ(d.count(), 2u);
  auto copy = qv::StrongRef<NS::MutableDictionary>::adopt(d.mutableCopy());
  copy->removeObjectForKey(makeString("key"));
  EXPECT_EQ(d.count(), 2u);
  EXPECT_EQ(copy->count(), 1u);
}

TEST_F(Values, InsertingNilAbortsAsFoundationRaises) {
  NS::MutableArray list = NS::MutableArray::array();
  EXPECT_DEATH(list.addObject(nil), "object cannot be nil");
  NS::MutableDictionary d = NS::MutableDictionary::dictionary();
  EXPECT_DEATH(d.setObject(nil, makeString("k")), "object cannot be nil");
  EXPECT_DEATH(NS::Array(qv::host::makeArray({})).objectAtIndex(0),
               "NSRangeException.*index 0 beyond bounds for empty array");
}

TEST_F(Values, ValueForKeyReadsGettersAndInstanceVariables) {
  NS::String s(makeString("hello"));
  NS::Object length = s.valueForKey(NSSTR("length"));
  EXPECT_EQ(NS::Number(length.get()).integerValue(), 5);
  EXPECT_DEATH(s.valueForKey(NSSTR("noSuchKey")), "not key value coding-compliant");
}

}  // namespace
