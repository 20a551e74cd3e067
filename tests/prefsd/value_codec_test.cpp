// The values a daemon message carries: every property-list type comes back equal, and bytes
// that are not exactly one well-formed value are refused without being trusted.
#include <gtest/gtest.h>

#include <cmath>

#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/storage_internal.h"
#include "prefsd/value_codec.h"
#include "runtime/object_refs.h"

namespace qv::testing {
namespace {

using namespace qv::host;
using host::prefsd::decodeValue;
using host::prefsd::dictionaryFlag;
using host::prefsd::encodeValue;

class ValueCodec : public ::testing::Test {
 protected:
  void SetUp() override { registerFoundation(); }
  static std::string encoded(id object) {
    std::string out;
    EXPECT_TRUE(encodeValue(object, out));
    return out;
  }
  static bool equal(id a, id b) { return msgSend<BOOL>(a, sel_registerName("isEqual:"), b); }
  AutoreleasePool pool_;
};

TEST_F(ValueCodec, EveryPropertyListTypeComesBackEqual) {
  id floatNumber =
      msgSend<id>(objc_getClass("NSNumber"), sel_registerName("numberWithFloat:"), 0.25f);
  id everything = makeDictionary({
      {makeString("text"), makeString("h\xc3\xa9llo")},
      {makeString(""), makeString("")},
      {makeString("yes"), makeBool(true)},
      {makeString("no"), makeBool(false)},
      {makeString("integer"), makeInteger(-9007199254740993LL)},
      {makeString("real"), makeDouble(-0.1)},
      {makeString("float"), floatNumber},
      {makeString("nan"), makeDouble(std::nan(""))},
      {makeString("data"), makeData({0, 1, 255})},
      {makeString("date"), makeDate(-1234.5)},
      {makeString("list"), makeArray({makeString("a"), makeArray({}), makeDictionary({})})},
  });
  id back = decodeValue(encoded(everything));
  ASSERT_TRUE(back);
  EXPECT_TRUE(equal(everything, back));
  id f = dictionaryGet(back, "float");
  EXPECT_TRUE(fields<NSNumberObj>(f)->isFloat);
  EXPECT_EQ(fields<NSNumberObj>(dictionaryGet(back, "yes"))->kind, NSNumberObj::Kind::Bool);
  EXPECT_EQ(msgSend<double>(dictionaryGet(back, "date"),
                            sel_registerName("timeIntervalSinceReferenceDate")),
            -1234.5);
}

TEST_F(ValueCodec, AStringEndsAtItsFirstNulAsInAPropertyList) {
  id back = decodeValue(encoded(makeString(std::string("before\0after", 12))));
  EXPECT_EQ(stdString(back), "before");
}

TEST_F(ValueCodec, WhatIsNoPropertyListIsNotEncoded) {
  std::string out;
  Strong object = Strong::adopt(msgSend<id>(objc_getClass("NSObject"), sel_registerName("new")));
  EXPECT_FALSE(encodeValue(object.get(), out));
  EXPECT_FALSE(encodeValue(nil, out));
  EXPECT_FALSE(encodeValue(makeArray({makeString("a"), object.get()}), out));
  EXPECT_FALSE(encodeValue(makeDictionary({{makeInteger(1), makeString("number key")}}), out));
  // Nesting deeper than a property list may.
  id deep = makeArray({});
  for (int i = 0; i < 600; i++) deep = makeArray({deep});
  EXPECT_FALSE(encodeValue(deep, out));
}

TEST_F(ValueCodec, MalformedBytesAreRefused) {
  std::string good = encoded(makeDictionary({{makeString("op"), makeString("copy")},
                                             {makeString("keys"), makeArray({makeString("k")})}}));
  ASSERT_TRUE(decodeValue(good));
  // Every cut, and trailing bytes.
  for (size_t n = 0; n < good.size(); n++) EXPECT_FALSE(decodeValue(good.substr(0, n))) << n;
  EXPECT_FALSE(decodeValue(good + "T"));
  const std::vector<std::string> bad = {
      "",
      "X",                                            // unknown tag
      std::string("S\x05\0\0\0abc", 8),               // shorter than its length
      std::string("S\x02\0\0\0\xff\xfe", 7),          // not UTF-8
      std::string("S\x03\0\0\0a\0b", 8),              // a NUL inside
      std::string("A\xff\xff\xff\xff", 5),            // more items than bytes
      std::string("M\x01\0\0\0\x01\0\0\0\xc3T", 11),  // a key that is not UTF-8
      std::string("I\x01\x02", 3),                    // short number
  };
  for (const std::string& bytes : bad) EXPECT_FALSE(decodeValue(bytes)) << bytes.size();
  // Nesting beyond the limit is refused before the stack could suffer.
  std::string deep;
  for (int i = 0; i < 100000; i++) deep += std::string("A\x01\0\0\0", 5);
  deep += "T";
  EXPECT_FALSE(decodeValue(deep));
}

TEST_F(ValueCodec, AFlagIsReadWithoutMakingObjects) {
  EXPECT_TRUE(dictionaryFlag(encoded(makeDictionary({{makeString("ok"), makeBool(true)},
                                                     {makeString("exiting"), makeBool(true)}})),
                             "exiting"));
  EXPECT_FALSE(dictionaryFlag(encoded(makeDictionary({{makeString("exiting"), makeBool(false)}})),
                              "exiting"));
  EXPECT_FALSE(dictionaryFlag(encoded(makeDictionary({{makeString("exiting"), makeInteger(1)}})),
                              "exiting"));
  EXPECT_FALSE(dictionaryFlag(encoded(makeArray({makeBool(true)})), "exiting"));
  EXPECT_FALSE(dictionaryFlag("M\x01", "exiting"));
}

}  // namespace
}  // namespace qv::testing
