// Property lists as bytes: conversion both ways, and refusal of malformed or hostile input.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "foundation/plist_guard.h"
#include "foundation/property_list.h"
#include "foundation/storage_internal.h"
#include "storage_test_support.h"

namespace {

using namespace qv::host;
using qv::test::BinaryPlist;

class PropertyList : public qv::test::StorageTest {
 protected:
  // A dictionary holding every property-list type, nested.
  id sample() {
    id inner = makeDictionary({{makeString("flag"), makeBool(false)},
                               {makeString("when"), makeDate(12345)},
                               {makeString("empty"), makeArray({})}});
    return makeDictionary({
        {makeString("name"), makeString("Quorvel \xC3\xA9t\xC3\xA9 & <tags>")},
        {makeString("negative"), makeInteger(-42)},
        {makeString("large"), makeInteger(INT64_MAX)},
        {makeString("ratio"), makeDouble(0.1)},
        {makeString("on"), makeBool(true)},
        {makeString("blob"), makeData({0, 1, 2, 255})},
        {makeString("list"), makeArray({makeString("a"), makeInteger(2), inner})},
    });
  }
};

std::string nestedArraysXML(int depth) {
  std::string s = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
  for (int i = 0; i < depth; i++) s += "<array>";
  s += "<true/>";
  for (int i = 0; i < depth; i++) s += "</array>";
  return s + "</plist>";
}

// Arrays nested `depth` deep, each holding the next; the innermost holds a string.
std::string nestedArraysBinary(uint32_t depth) {
  BinaryPlist b;
  for (uint32_t i = 0; i < depth; i++) b.add(BinaryPlist::array({i + 1}));
  b.add(BinaryPlist::string("leaf"));
  return b.build(0);
}

const char* typeOf(id number) { return msgSend<const char*>(number, SELECTOR("objCType")); }

TEST_F(PropertyList, EveryTypeRoundTripsThroughXMLAndBinary) {
  id original = sample();
  for (const std::string& bytes : {propertyListXML(original), propertyListBinary(original)}) {
    ASSERT_FALSE(bytes.empty());
    id back = propertyListFromBytes(bytes);
    ASSERT_TRUE(isDictionary(back));
    EXPECT_TRUE(msgSend<BOOL>(back, SELECTOR("isEqual:"), original));
    // Booleans stay booleans, integers integers, reals reals.
    EXPECT_STREQ(typeOf(dictionaryGet(back, "on")), "c");
    EXPECT_STREQ(typeOf(dictionaryGet(back, "negative")), "q");
    EXPECT_STREQ(typeOf(dictionaryGet(back, "ratio")), "d");
    EXPECT_EQ(msgSend<long long>(dictionaryGet(back, "large"), SELECTOR("longLongValue")),
              INT64_MAX);
    id when = dictionaryGet(arrayItems(dictionaryGet(back, "list"))[2], "when");
    ASSERT_TRUE(isDate(when));
    EXPECT_DOUBLE_EQ(msgSend<double>(when, SELECTOR("timeIntervalSinceReferenceDate")), 12345);
  }
}

// XML dates carry whole seconds, as Foundation writes them; binary ones keep the fraction.
TEST_F(PropertyList, DatesKeepSubsecondsOnlyInBinary) {
  auto seconds = [](id d) {
    return msgSend<double>(d, SELECTOR("timeIntervalSinceReferenceDate"));
  };
  for (double t : {-86400.25, 86400.75}) {
    EXPECT_DOUBLE_EQ(seconds(propertyListFromBytes(propertyListBinary(makeDate(t)))), t);
  }
  EXPECT_DOUBLE_EQ(seconds(propertyListFromBytes(propertyListXML(makeDate(100.75)))), 100);
  // XML keeps the second a date falls in, also before 2001.
  for (auto [t, second] : {std::pair{-0.5, -1.0}, std::pair{-86400.25, -86401.0},
                           std::pair{-2.0, -2.0}, std::pair{0.999, 0.0}}) {
    EXPECT_DOUBLE_EQ(seconds(propertyListFromBytes(propertyListXML(makeDate(t)))), second) << t;
  }
}

// A date reads as the value stored, with its sign, to the microsecond as the writer stores
// it; one the writer could not store again (beyond 32-bit seconds, not a number) makes the
// list malformed.
TEST_F(PropertyList, DatesReadToTheMicrosecondWithinTheStorableRange) {
  auto readDate = [](double t) {
    BinaryPlist b;
    b.add(BinaryPlist::array({1}));
    b.add(BinaryPlist::date(t));
    return propertyListFromBytes(b.build(0));
  };
  for (double t : {-0.5, -0.25, 0.5, -1.5, -2147483648.0, 2147483647.0, 2147483647.5}) {
    id list = readDate(t);
    ASSERT_TRUE(isArray(list)) << t;
    id date = arrayItems(list).at(0);
    EXPECT_EQ(msgSend<double>(date, SELECTOR("timeIntervalSinceReferenceDate")), t);
    // ...and is written back as read.
    EXPECT_TRUE(
        msgSend<BOOL>(propertyListFromBytes(propertyListBinary(list)), SELECTOR("isEqual:"), list))
        << t;
  }
  for (auto [stored, read] :
       {std::pair{5.000000001, 5.0}, std::pair{4e-62, 0.0}, std::pair{-0.1234567, -0.123457}}) {
    id list = readDate(stored);
    ASSERT_TRUE(isArray(list)) << stored;
    EXPECT_NEAR(msgSend<double>(arrayItems(list).at(0), SELECTOR("timeIntervalSinceReferenceDate")),
                read, 1e-9);
    EXPECT_TRUE(
        msgSend<BOOL>(propertyListFromBytes(propertyListBinary(list)), SELECTOR("isEqual:"), list))
        << stored;
  }
  for (double t :
       {1e28, -1e28, 3e9, -3e9, -2147483648.5, 2147483648.0,
        std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(readDate(t), nil) << t;
  }
  EXPECT_EQ(
      propertyListFromBytes("<plist><array><date>2100-01-01T00:00:00Z</date></array></plist>"),
      nil);
  EXPECT_EQ(
      propertyListFromBytes("<plist><array><date>1900-01-01T00:00:00Z</date></array></plist>"),
      nil);
  id inRange =
      propertyListFromBytes("<plist><array><date>2001-01-02T00:00:01Z</date></array></plist>");
  ASSERT_TRUE(isArray(inRange));
  EXPECT_EQ(msgSend<double>(arrayItems(inRange).at(0), SELECTOR("timeIntervalSinceReferenceDate")),
            86401.0);
}

TEST_F(PropertyList, ReadContainersAreImmutable) {
  id back = propertyListFromBytes(propertyListXML(sample()));
  EXPECT_EQ(object_getClass(back), dictionaryClass());
  EXPECT_EQ(object_getClass(dictionaryGet(back, "list")), arrayClass());
}

TEST_F(PropertyList, IntegersReadAsSigned64Bit) {
  id minusThree = propertyListFromBytes("<plist><integer>-3</integer></plist>");
  EXPECT_EQ(msgSend<long long>(minusThree, SELECTOR("longLongValue")), -3);
  id allOnes = propertyListFromBytes("<plist><integer>18446744073709551615</integer></plist>");
  EXPECT_EQ(msgSend<long long>(allOnes, SELECTOR("longLongValue")), -1);
}

TEST_F(PropertyList, UidsReadAsCFUIDDictionaries) {
  BinaryPlist b;
  b.add(BinaryPlist::array({1}));
  b.add(BinaryPlist::uid(7));
  id array = propertyListFromBytes(b.build(0));
  ASSERT_EQ(arrayItems(array).size(), 1u);
  id uid = arrayItems(array)[0];
  ASSERT_TRUE(isDictionary(uid));
  EXPECT_EQ(msgSend<NSUInteger>(uid, SELECTOR("count")), 1u);
  EXPECT_EQ(msgSend<long long>(dictionaryGet(uid, "CF$UID"), SELECTOR("longLongValue")), 7);
}

TEST_F(PropertyList, KeysAreWrittenSorted) {
  id dict = makeDictionary({{makeString("zeta"), makeInteger(1)},
                            {makeString("alpha"), makeInteger(2)},
                            {makeString("Mid"), makeInteger(3)},
                            {makeString("beta"), makeInteger(4)}});
  std::string xml = propertyListXML(dict);
  size_t mid = xml.find("<key>Mid</key>"), alpha = xml.find("<key>alpha</key>");
  size_t beta = xml.find("<key>beta</key>"), zeta = xml.find("<key>zeta</key>");
  ASSERT_NE(zeta, std::string::npos);
  EXPECT_LT(mid, alpha);
  EXPECT_LT(alpha, beta);
  EXPECT_LT(beta, zeta);
  qv::Strong copy = qv::Strong::adopt(msgSend<id>(dict, SELECTOR("mutableCopy")));
  EXPECT_EQ(xml, propertyListXML(copy));
}

TEST_F(PropertyList, AnythingButPropertyListTypesFailsTheWholeConversion) {
  id object =
      msgSend<id>(msgSend<id>(objc_getClass("NSObject"), SELECTOR("new")), SELECTOR("autorelease"));
  EXPECT_EQ(propertyListXML(makeArray({makeString("ok"), object})), "");
  EXPECT_EQ(propertyListXML(makeDictionary({{makeInteger(1), makeString("number key")}})), "");
  EXPECT_EQ(propertyListXML(makeDictionary(
                {{makeString("deep"), makeArray({makeDictionary({{makeString("x"), object}})})}})),
            "");
  EXPECT_EQ(propertyListXML(nil), "");
  // A date beyond what a property-list date can hold.
  EXPECT_EQ(propertyListXML(makeDate(1e12)), "");
}

TEST_F(PropertyList, MalformedBytesGiveNil) {
  EXPECT_EQ(propertyListFromBytes(""), nil);
  EXPECT_EQ(propertyListFromBytes("this is not a property list"), nil);
  EXPECT_EQ(propertyListFromBytes(std::string("bplist00\0\xff\x13junk", 14)), nil);
  EXPECT_EQ(propertyListFromBytes("<plist><dict><key>a</key></array></plist>"), nil);
  std::string xml = propertyListXML(sample());
  EXPECT_EQ(propertyListFromBytes(xml.substr(0, xml.size() / 2)), nil);
  std::string bin = propertyListBinary(sample());
  for (size_t n = 0; n < bin.size(); n++) {
    EXPECT_EQ(propertyListFromBytes(bin.substr(0, n)), nil) << "truncated to " << n;
  }
}

// Strings are text: bytes that are not UTF-8 make the list malformed, as they would make the
// binary form lose everything from the first bad byte on.
TEST_F(PropertyList, StringsThatAreNotUtf8AreRefused) {
  for (const char* bad : {"UI\xbflpha", "\xff", "caf\xc3", "\xc3\x28", "\xed\xa0\x80",
                          "\xf4\x90\x80\x80", "\xc0\xaf"}) {
    BinaryPlist asKey;
    asKey.add(BinaryPlist::dict({1}, {2}));
    asKey.add(BinaryPlist::string(bad));
    asKey.add(BinaryPlist::integer(1));
    EXPECT_EQ(propertyListFromBytes(asKey.build(0)), nil) << "key " << bad;
    BinaryPlist asValue;
    asValue.add(BinaryPlist::array({1, 2}));
    asValue.add(BinaryPlist::string("fine"));
    asValue.add(BinaryPlist::string(bad));
    EXPECT_EQ(propertyListFromBytes(asValue.build(0)), nil) << "value " << bad;
    std::string xml = std::string("<plist><array><string>") + bad + "</string></array></plist>";
    EXPECT_EQ(propertyListFromBytes(xml), nil) << "XML " << bad;
  }
  // Text in any script still reads, and survives both forms.
  id text = propertyListFromBytes(
      "<plist><dict><key>caf\xc3\xa9</key><string>\xe6\x97\xa5\xf0\x9f\x8e\xa8</string>"
      "</dict></plist>");
  ASSERT_TRUE(isDictionary(text));
  EXPECT_EQ(stdString(dictionaryGet(text, "caf\xc3\xa9")), "\xe6\x97\xa5\xf0\x9f\x8e\xa8");
  EXPECT_TRUE(
      msgSend<BOOL>(propertyListFromBytes(propertyListBinary(text)), SELECTOR("isEqual:"), text));
}

// A string ends at a NUL, in one-byte and in UTF-16 strings alike, so what is read can be
// written again unchanged.
TEST_F(PropertyList, StringsEndAtANul) {
  BinaryPlist b;
  b.add(BinaryPlist::array({1, 2, 3}));
  b.add(BinaryPlist::string(std::string("one\0byte", 8)));
  b.add(BinaryPlist::utf16(std::u16string(u"caf\u00e9\0hidden", 11)));
  b.add(BinaryPlist::utf16(u"\u6e00"));
  id list = propertyListFromBytes(b.build(0));
  ASSERT_TRUE(isArray(list));
  std::vector<id> items = arrayItems(list);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(qv::fields<NSStringObj>(items[0])->utf8, "one");
  EXPECT_EQ(qv::fields<NSStringObj>(items[1])->utf8, "caf\xc3\xa9");
  EXPECT_EQ(qv::fields<NSStringObj>(items[2])->utf8, "\xe6\xb8\x80");
  for (const std::string& bytes : {propertyListXML(list), propertyListBinary(list)}) {
    EXPECT_TRUE(msgSend<BOOL>(propertyListFromBytes(bytes), SELECTOR("isEqual:"), list));
  }
}

TEST_F(PropertyList, NestingUpToTheLimitIsReadAndDeeperIsRefused) {
  EXPECT_NE(propertyListFromBytes(nestedArraysXML(kMaxPropertyListDepth)), nil);
  EXPECT_EQ(propertyListFromBytes(nestedArraysXML(kMaxPropertyListDepth + 1)), nil);
  EXPECT_EQ(propertyListFromBytes(nestedArraysXML(200000)), nil);
  EXPECT_NE(propertyListFromBytes(nestedArraysBinary(kMaxPropertyListDepth)), nil);
  EXPECT_EQ(propertyListFromBytes(nestedArraysBinary(kMaxPropertyListDepth + 1)), nil);
  EXPECT_EQ(propertyListFromBytes(nestedArraysBinary(300000)), nil);
}

TEST_F(PropertyList, DeepOrCyclicObjectsAreNotWritten) {
  id deep = makeString("leaf");
  for (int i = 0; i < 100000; i++) deep = makeArray({deep});
  EXPECT_EQ(propertyListXML(deep), "");
  id loop = makeArray({}, true);
  msgSend<void>(loop, SELECTOR("addObject:"), loop);
  EXPECT_EQ(propertyListXML(loop), "");
  msgSend<void>(loop, SELECTOR("removeAllObjects"));  // let it be freed
}

TEST_F(PropertyList, BinaryCyclesAndSelfMultiplyingSharingAreRefused) {
  BinaryPlist cycle;
  cycle.add(BinaryPlist::array({1}));
  cycle.add(BinaryPlist::array({0}));
  EXPECT_EQ(propertyListFromBytes(cycle.build(0)), nil);

  // Each array holds the next one twice: 2^40 values once expanded.
  BinaryPlist laughs;
  for (uint32_t i = 0; i < 40; i++) laughs.add(BinaryPlist::array({i + 1, i + 1}));
  laughs.add(BinaryPlist::string("lol"));
  EXPECT_EQ(propertyListFromBytes(laughs.build(0)), nil);

  // Modest sharing is fine: the same string under two keys.
  BinaryPlist shared;
  shared.add(BinaryPlist::dict({1, 2}, {3, 3}));
  shared.add(BinaryPlist::string("a"));
  shared.add(BinaryPlist::string("b"));
  shared.add(BinaryPlist::string("same"));
  id dict = propertyListFromBytes(shared.build(0));
  EXPECT_EQ(stdString(dictionaryGet(dict, "b")), "same");
}

TEST_F(PropertyList, OversizedInputIsRefusedUnread) {
  std::string huge(kMaxPropertyListBytes + 1, ' ');
  EXPECT_EQ(propertyListFromBytes(huge), nil);
}

// Whatever damaged input yields, it never crashes, and anything read is itself writable.
TEST_F(PropertyList, DamagedInputNeverCrashes) {
  std::mt19937 rng(1234);
  std::string sources[] = {propertyListXML(sample()), propertyListBinary(sample())};
  int readable = 0;
  for (const std::string& source : sources) {
    for (int round = 0; round < 1500; round++) {
      qv::AutoreleasePool pool;
      std::string bytes = source;
      int edits = 1 + static_cast<int>(rng() % 4);
      for (int e = 0; e < edits; e++) {
        size_t at = rng() % bytes.size();
        switch (rng() % 3) {
          case 0:
            bytes[at] = static_cast<char>(rng());
            break;
          case 1:
            bytes.erase(at, 1 + rng() % 8);
            break;
          default:
            bytes.insert(at, 1, static_cast<char>(rng()));
        }
        if (bytes.empty()) bytes = "x";
      }
      id back = propertyListFromBytes(bytes);
      if (back) {
        readable++;
        EXPECT_FALSE(propertyListXML(back).empty());
      }
    }
  }
  EXPECT_GT(readable, 0);
}

}  // namespace
