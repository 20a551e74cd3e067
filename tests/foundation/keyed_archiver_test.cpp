// Keyed archives: round trips, the archive layout, registered classes, malformed input.
#include <gtest/gtest.h>

#include <random>

#include "foundation/keyed_archive.h"
#include "foundation/property_list.h"
#include "foundation/storage_internal.h"
#include "platform/foundation.h"
#include "runtime/class_builder.h"
#include "storage_test_support.h"

namespace {

using namespace qv::host;
using qv::test::BinaryPlist;

struct SwatchFields : objc_object {
  double red = 0, green = 0, blue = 0, alpha = 1;
};

// A small colour class, archived the way the UIKit layer archives its colours.
Class swatchClass() {
  static Class cls = [] {
    Class c = qv::ClassBuilder<SwatchFields>("TestSwatch", "NSObject").cls();
    qv::ClassBuilder<SwatchFields>("TestSwatchSubclass", "TestSwatch");
    registerArchivableClass(
        "TestSwatch",
        [](id obj, ArchiveEncoder& coder) {
          auto* f = qv::fields<SwatchFields>(obj);
          coder.encodeDouble("UIRed", f->red);
          coder.encodeDouble("UIGreen", f->green);
          coder.encodeDouble("UIBlue", f->blue);
          coder.encodeDouble("UIAlpha", f->alpha);
        },
        [](const ArchiveDecoder& coder) -> id {
          id obj = qv::runtime::createInstance(objc_getClass("TestSwatch"));
          auto* f = qv::fields<SwatchFields>(obj);
          f->red = coder.decodeDouble("UIRed");
          f->green = coder.decodeDouble("UIGreen");
          f->blue = coder.decodeDouble("UIBlue");
          f->alpha = coder.containsKey("UIAlpha") ? coder.decodeDouble("UIAlpha") : 1.0;
          return objc_autorelease(obj);
        });
    return c;
  }();
  return cls;
}

id swatch(double r, double g, double b, double a, const char* cls = "TestSwatch") {
  swatchClass();
  id obj = qv::runtime::createInstance(objc_getClass(cls));
  auto* f = qv::fields<SwatchFields>(obj);
  f->red = r;
  f->green = g;
  f->blue = b;
  f->alpha = a;
  return objc_autorelease(obj);
}

// A holder of a swatch and a name, to nest registered objects inside others.
struct LabelFields : objc_object {
  qv::Strong name, colour;
  long long order = 0;
  bool pinned = false;
};

void registerLabel() {
  static bool done = [] {
    qv::ClassBuilder<LabelFields>("TestLabel", "NSObject");
    registerArchivableClass(
        "TestLabel",
        [](id obj, ArchiveEncoder& coder) {
          auto* f = qv::fields<LabelFields>(obj);
          coder.encodeObject("name", f->name);
          coder.encodeObject("$colour", f->colour);
          coder.encodeInt("order", f->order);
          coder.encodeBool("pinned", f->pinned);
        },
        [](const ArchiveDecoder& coder) -> id {
          id obj = qv::runtime::createInstance(objc_getClass("TestLabel"));
          auto* f = qv::fields<LabelFields>(obj);
          f->name = coder.decodeObject("name");
          f->colour = coder.decodeObject("$colour");
          f->order = coder.decodeInt("order");
          f->pinned = coder.decodeBool("pinned");
          return objc_autorelease(obj);
        });
    return true;
  }();
  (void)done;
}

class KeyedArchive : public qv::test::StorageTest {
 protected:
  static id archive(id root) {
    return msgSend<id>(objc_getClass("NSKeyedArchiver"), SELECTOR("archivedDataWithRootObject:"),
                       root);
  }
  // Through the entry point that gives nil and an error for what it cannot read.
  static id unarchive(id data, id* error = nullptr) {
    return msgSend<id>(objc_getClass("NSKeyedUnarchiver"),
                       SELECTOR("unarchivedObjectOfClass:fromData:error:"),
                       objc_getClass("NSObject"), data, error);
  }
  static id bytesData(const std::string& bytes) {
    return makeData(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  }
  static std::string dataBytes(id data) {
    const auto& b = qv::fields<NSDataObj>(data)->bytes;
    return std::string(b.begin(), b.end());
  }
  static bool equal(id a, id b) { return msgSend<BOOL>(a, SELECTOR("isEqual:"), b); }
  // A hand-made archive: the given $objects, the root at uid 1 unless told otherwise.
  static id archiveOf(const std::vector<id>& objects, long long root = 1) {
    id dict = makeDictionary({
        {makeString("$archiver"), makeString("NSKeyedArchiver")},
        {makeString("$version"), makeInteger(100000)},
        {makeString("$top"), makeDictionary({{makeString("root"), uidRef(root)}})},
        {makeString("$objects"), makeArray(objects)},
    });
    return bytesData(propertyListXML(dict));
  }
  static id uidRef(long long uid) {
    return makeDictionary({{makeString("CF$UID"), makeInteger(uid)}});
  }
  static id classDesc(const char* name) {
    return makeDictionary({{makeString("$classname"), makeString(name)},
                           {makeString("$classes"), makeArray({makeString(name)})}});
  }
};

TEST_F(KeyedArchive, ValueGraphsRoundTrip) {
  id mutableList = makeArray({makeString("m")}, true);
  id root = makeDictionary({
      {makeString("title"), makeString("Quick actions")},
      {makeString("count"), makeInteger(-7)},
      {makeString("ratio"), makeDouble(0.75)},
      {makeString("flag"), makeBool(true)},
      {makeString("bytes"), makeData({9, 8, 7})},
      {makeString("when"), makeDate(1000.25)},
      {makeString("list"), makeArray({makeString("a"), makeDictionary({}), mutableList})},
      {makeString("$dollar"), makeString("escaped key")},
  });
  id data = archive(root);
  ASSERT_NE(data, nil);
  id back = unarchive(data);
  ASSERT_NE(back, nil);
  EXPECT_TRUE(equal(back, root));
  EXPECT_EQ(object_getClass(back), dictionaryClass());
  EXPECT_EQ(object_getClass(arrayItems(dictionaryGet(back, "list"))[2]), mutableArrayClass());
  EXPECT_STREQ(msgSend<const char*>(dictionaryGet(back, "flag"), SELECTOR("objCType")), "c");
  EXPECT_TRUE(equal(unarchive(archive(makeString("just a string"))), makeString("just a string")));
}

TEST_F(KeyedArchive, ArchivesAreBinaryPropertyListsInTheKeyedLayout) {
  id data = archive(makeArray({makeString("x")}));
  std::string bytes = dataBytes(data);
  ASSERT_EQ(bytes.substr(0, 8), "bplist00");
  id plist = propertyListFromBytes(bytes);
  EXPECT_EQ(stdString(dictionaryGet(plist, "$archiver")), "NSKeyedArchiver");
  EXPECT_EQ(msgSend<long long>(dictionaryGet(plist, "$version"), SELECTOR("longLongValue")),
            100000);
  id root = dictionaryGet(dictionaryGet(plist, "$top"), "root");
  EXPECT_EQ(msgSend<long long>(dictionaryGet(root, "CF$UID"), SELECTOR("longLongValue")), 1);
  std::vector<id> objects = arrayItems(dictionaryGet(plist, "$objects"));
  ASSERT_GE(objects.size(), 3u);
  EXPECT_EQ(stdString(objects[0]), "$null");
  id cls = dictionaryGet(objects[1], "$class");
  id desc = objects[msgSend<long long>(dictionaryGet(cls, "CF$UID"), SELECTOR("longLongValue"))];
  EXPECT_EQ(stdString(dictionaryGet(desc, "$classname")), "NSArray");
}

TEST_F(KeyedArchive, SharedObjectsAreArchivedOnce) {
  id shared = makeString("shared");
  id back = unarchive(archive(makeArray({shared, shared, makeString("other")})));
  std::vector<id> items = arrayItems(back);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0], items[1]);
  EXPECT_NE(items[0], items[2]);
}

TEST_F(KeyedArchive, XmlArchivesWithCFUIDDictionariesAlsoRead) {
  id root = makeArray({makeString("x"), makeInteger(3)});
  std::string xml = propertyListXML(propertyListFromBytes(dataBytes(archive(root))));
  ASSERT_NE(xml.find("CF$UID"), std::string::npos);
  EXPECT_TRUE(equal(unarchive(bytesData(xml)), root));
}

TEST_F(KeyedArchive, RegisteredClassesRoundTripWithAlphaIntact) {
  registerLabel();
  id colour = swatch(0.1, 0.2, 0.3, 0.45);
  id back = unarchive(archive(colour));
  ASSERT_NE(back, nil);
  ASSERT_EQ(object_getClass(back), swatchClass());
  auto* f = qv::fields<SwatchFields>(back);
  EXPECT_DOUBLE_EQ(f->red, 0.1);
  EXPECT_DOUBLE_EQ(f->green, 0.2);
  EXPECT_DOUBLE_EQ(f->blue, 0.3);
  EXPECT_DOUBLE_EQ(f->alpha, 0.45);

  id label = qv::runtime::createInstance(objc_getClass("TestLabel"));
  qv::fields<LabelFields>(label)->name = makeString("Mail");
  qv::fields<LabelFields>(label)->colour = swatch(1, 0, 0, 0.5, "TestSwatchSubclass");
  qv::fields<LabelFields>(label)->order = -3;
  qv::fields<LabelFields>(label)->pinned = true;
  id labelBack = unarchive(archive(makeArray({objc_autorelease(label)})));
  ASSERT_EQ(arrayItems(labelBack).size(), 1u);
  auto* l = qv::fields<LabelFields>(arrayItems(labelBack)[0]);
  EXPECT_EQ(stdString(l->name), "Mail");
  EXPECT_EQ(l->order, -3);
  EXPECT_TRUE(l->pinned);
  // A subclass archives under the registered name.
  ASSERT_EQ(object_getClass(l->colour.get()), swatchClass());
  EXPECT_DOUBLE_EQ(qv::fields<SwatchFields>(l->colour.get())->alpha, 0.5);
}

TEST_F(KeyedArchive, UnarchivableObjectsGiveNoArchive) {
  id object =
      msgSend<id>(msgSend<id>(objc_getClass("NSObject"), SELECTOR("new")), SELECTOR("autorelease"));
  EXPECT_EQ(archive(makeArray({makeString("ok"), object})), nil);
  EXPECT_EQ(archive(nil), nil);
  id deep = makeString("leaf");
  for (int i = 0; i < 100000; i++) deep = makeArray({deep});
  EXPECT_EQ(archive(deep), nil);
  EXPECT_EQ(NS::KeyedArchiver::archivedDataWithRootObject(object).get(), nil);
}

TEST_F(KeyedArchive, CyclesArchiveButDoNotUnarchive) {
  id loop = makeArray({}, true);
  msgSend<void>(loop, SELECTOR("addObject:"), loop);
  id data = archive(loop);
  ASSERT_NE(data, nil);
  EXPECT_EQ(unarchive(data), nil);
  msgSend<void>(loop, SELECTOR("removeAllObjects"));
}

TEST_F(KeyedArchive, MalformedArchivesGiveNil) {
  swatchClass();
  id arrayClassDesc = classDesc("NSArray");
  id okArray = makeDictionary(
      {{makeString("NS.objects"), makeArray({uidRef(3)})}, {makeString("$class"), uidRef(2)}});
  // The baseline is valid, so every failure below comes from its one change.
  ASSERT_NE(unarchive(archiveOf({makeString("$null"), okArray, arrayClassDesc, makeString("x")})),
            nil);

  EXPECT_EQ(unarchive(nil), nil);
  EXPECT_EQ(unarchive(makeString("not data")), nil);
  EXPECT_EQ(unarchive(bytesData("")), nil);
  EXPECT_EQ(unarchive(bytesData("\x01\x02junk")), nil);
  EXPECT_EQ(unarchive(bytesData(propertyListXML(makeArray({makeString("plain")})))), nil);
  // Out-of-range, nil and cyclic references.
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), okArray, arrayClassDesc}, 9)), nil);
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), okArray, arrayClassDesc})), nil);
  id nilItem = makeDictionary(
      {{makeString("NS.objects"), makeArray({uidRef(0)})}, {makeString("$class"), uidRef(2)}});
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), nilItem, arrayClassDesc})), nil);
  id selfRef = makeDictionary(
      {{makeString("NS.objects"), makeArray({uidRef(1)})}, {makeString("$class"), uidRef(2)}});
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), selfRef, arrayClassDesc})), nil);
  // The wrong first entry, an unknown class, a missing class, a class that is no description.
  EXPECT_EQ(unarchive(archiveOf({makeString("null"), okArray, arrayClassDesc, makeString("x")})),
            nil);
  EXPECT_EQ(unarchive(archiveOf(
                {makeString("$null"), okArray, classDesc("NoSuchClass"), makeString("x")})),
            nil);
  id classless = makeDictionary({{makeString("NS.objects"), makeArray({})}});
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), classless})), nil);
  EXPECT_EQ(
      unarchive(archiveOf({makeString("$null"), okArray, makeString("NSArray"), makeString("x")})),
      nil);
  // Values of the wrong type.
  id notArray = makeDictionary(
      {{makeString("NS.objects"), makeString("x")}, {makeString("$class"), uidRef(2)}});
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), notArray, arrayClassDesc})), nil);
  id badSwatch =
      makeDictionary({{makeString("UIRed"), makeString("red")}, {makeString("$class"), uidRef(2)}});
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), badSwatch, classDesc("TestSwatch")})), nil);
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), makeArray({})})), nil);
}

TEST_F(KeyedArchive, StringsThatAreNotUtf8GiveNil) {
  id nsString = makeDictionary(
      {{makeString("NS.string"), makeString("ok")}, {makeString("$class"), uidRef(2)}});
  ASSERT_TRUE(equal(unarchive(archiveOf({makeString("$null"), nsString, classDesc("NSString")})),
                    makeString("ok")));
  id badString = makeDictionary(
      {{makeString("NS.string"), makeString("\xffok")}, {makeString("$class"), uidRef(2)}});
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), badString, classDesc("NSString")})), nil);
  EXPECT_EQ(unarchive(archiveOf({makeString("$null"), makeString("bad\xc3")})), nil);
}

TEST_F(KeyedArchive, WrongHeaderGivesNil) {
  id base = propertyListFromBytes(dataBytes(archive(makeString("x"))));
  for (const char* key : {"$archiver", "$version", "$top", "$objects"}) {
    id copy = msgSend<id>(base, SELECTOR("mutableCopy"));
    qv::Strong owner = qv::Strong::adopt(copy);
    msgSend<void>(copy, SELECTOR("setObject:forKey:"), makeInteger(1), makeString(key));
    EXPECT_EQ(unarchive(bytesData(propertyListBinary(copy))), nil) << key;
    msgSend<void>(copy, SELECTOR("removeObjectForKey:"), makeString(key));
    EXPECT_EQ(unarchive(bytesData(propertyListBinary(copy))), nil) << key;
  }
}

// +unarchiveObjectWithData: raises, as on a device, for anything that is no readable archive;
// +unarchivedObjectOfClass:fromData:error: answers nil and a decoding error (NSCocoaErrorDomain
// 4864), also for a root of another class. Both read a good archive alike.
TEST_F(KeyedArchive, TheRaisingEntryPointRaisesWhereTheOtherGivesAnError) {
  auto raising = [](id data) {
    return msgSend<id>(objc_getClass("NSKeyedUnarchiver"), SELECTOR("unarchiveObjectWithData:"),
                       data);
  };
  id good = archive(makeString("x"));
  EXPECT_TRUE(equal(raising(good), makeString("x")));
  EXPECT_TRUE(equal(unarchive(good), makeString("x")));
  EXPECT_DEATH(raising(bytesData("bplist00 not really")),
               "NSInvalidArgumentException.*initForReadingWithData:\\]: incomprehensible "
               "archive \\(0x62, 0x70, 0x6c, 0x69, 0x73, 0x74, 0x30, 0x30\\)");
  EXPECT_DEATH(raising(nil), "data is NULL");
  EXPECT_DEATH(raising(archiveOf({makeString("$null"), makeInteger(1)}, 5)),
               "NSInvalidUnarchiveOperationException.*decodeObjectForKey:");
  struct Case {
    const char* what;
    id data;
    Class cls;
  } cases[] = {
      {"no archive", bytesData("bplist00 not really"), objc_getClass("NSObject")},
      {"nil data", nil, objc_getClass("NSObject")},
      {"root of another class", good, objc_getClass("NSNumber")},
  };
  for (const Case& c : cases) {
    id error = nil;
    EXPECT_EQ(
        msgSend<id>(objc_getClass("NSKeyedUnarchiver"),
                    SELECTOR("unarchivedObjectOfClass:fromData:error:"), c.cls, c.data, &error),
        nil)
        << c.what;
    ASSERT_NE(error, nil) << c.what;
    EXPECT_EQ(msgSend<NSInteger>(error, SELECTOR("code")), 4864) << c.what;
  }
}

// Damaged archives never crash, and whatever they yield can be archived again.
TEST_F(KeyedArchive, DamagedArchivesNeverCrash) {
  registerLabel();
  id label = qv::runtime::createInstance(objc_getClass("TestLabel"));
  qv::fields<LabelFields>(label)->name = makeString("Notes");
  qv::fields<LabelFields>(label)->colour = swatch(0, 1, 0, 1);
  std::string source = dataBytes(archive(makeDictionary(
      {{makeString("label"), objc_autorelease(label)},
       {makeString("list"), makeArray({makeInteger(1), makeDouble(2), makeString("three")})}})));
  std::mt19937 rng(99);
  int decoded = 0;
  for (int round = 0; round < 3000; round++) {
    qv::AutoreleasePool pool;
    std::string bytes = source;
    for (int e = 0, n = 1 + static_cast<int>(rng() % 3); e < n; e++) {
      bytes[rng() % bytes.size()] = static_cast<char>(rng());
    }
    if (id back = unarchive(bytesData(bytes))) {
      decoded++;
      EXPECT_NE(archive(back), nil);
    }
  }
  EXPECT_GT(decoded, 0);
}

}  // namespace
