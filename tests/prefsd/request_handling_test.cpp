// What the daemon answers, tried in this process on a store of its own: each request, and the
// refusal of every request whose form is wrong.
#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/device_root.h"
#include "foundation/file_faults.h"
#include "foundation/foundation.h"
#include "foundation/foundation_internal.h"
#include "foundation/preferences.h"
#include "foundation/property_list.h"
#include "prefsd/domain_store.h"
#include "prefsd/requests.h"
#include "runtime/object_refs.h"

namespace qv::testing {
namespace {

using namespace qv::host;
using prefsd::answerRequest;

class RequestHandling : public ::testing::Test {
 protected:
  void SetUp() override {
    registerFoundation();
    char tmpl[] = "/tmp/qv-requests-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    setDeviceRoot(root_);
    std::filesystem::create_directories(realPath("/var/jb/vmo/Library/Preferences"));
    writePropertyListFile(
        preferencesFilePath("com.example"),
        makeDictionary({{makeString("b"), makeInteger(2)}, {makeString("a"), makeString("one")}}),
        true);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  id ask(std::vector<std::pair<const char*, id>> entries) {
    std::vector<std::pair<id, id>> pairs;
    for (auto& [k, v] : entries) pairs.emplace_back(makeString(k), v);
    return answerRequest(store_, makeDictionary(pairs));
  }
  static bool ok(id reply) {
    return msgSend<BOOL>(dictionaryGet(reply, "ok"), sel_registerName("boolValue"));
  }
  static std::string error(id reply) { return stdString(dictionaryGet(reply, "error")); }
  static std::vector<std::string> strings(id array) {
    std::vector<std::string> out;
    for (id item : arrayItems(array)) out.push_back(stdString(item));
    return out;
  }

  std::string root_;
  prefsd::DomainStore store_;
  AutoreleasePool pool_;
};

TEST_F(RequestHandling, KeysCopyAndSetServeTheDomain) {
  id keys = ask({{"op", makeString("keys")}, {"domain", makeString("com.example")}});
  ASSERT_TRUE(ok(keys));
  EXPECT_EQ(strings(dictionaryGet(keys, "keys")), (std::vector<std::string>{"a", "b"}));

  id some = ask({{"op", makeString("copy")},
                 {"domain", makeString("com.example")},
                 {"keys", makeArray({makeString("a"), makeString("absent")})}});
  ASSERT_TRUE(ok(some));
  id values = dictionaryGet(some, "values");
  EXPECT_EQ(msgSend<NSUInteger>(values, sel_registerName("count")), 1u);
  EXPECT_EQ(stdString(dictionaryGet(values, "a")), "one");

  id set = ask({{"op", makeString("set")},
                {"domain", makeString("com.example")},
                {"set", makeDictionary({{makeString("c"), makeBool(true)}})},
                {"remove", makeArray({makeString("b")})}});
  ASSERT_TRUE(ok(set)) << error(set);
  id all = dictionaryGet(ask({{"op", makeString("copy")}, {"domain", makeString("com.example")}}),
                         "values");
  EXPECT_EQ(msgSend<NSUInteger>(all, sel_registerName("count")), 2u);
  id onDisk = readPropertyListFile(preferencesFilePath("com.example"));
  EXPECT_TRUE(msgSend<BOOL>(onDisk, sel_registerName("isEqual:"), all));

  id status = ask({{"op", makeString("status")}});
  EXPECT_EQ(strings(dictionaryGet(status, "domains")), std::vector<std::string>{"com.example"});
  EXPECT_EQ(msgSend<long long>(dictionaryGet(status, "pid"), sel_registerName("longLongValue")),
            getpid());
}

TEST_F(RequestHandling, AWriteThatFailsLeavesTheDomainAndSaysWhy) {
  id reply = ask({{"op", makeString("set")},
                  {"domain", makeString("com.example")},
                  {"set", makeDictionary({{makeString("a"), makeString("two")}})},
                  {"fault", makeString("noSpaceMidway")}});
  EXPECT_FALSE(ok(reply));
  EXPECT_NE(error(reply).find("No space left on device"), std::string::npos) << error(reply);
  EXPECT_EQ(stdString(dictionaryGet(store_.domain("com.example"), "a")), "one");
  // The fault was for that write only.
  EXPECT_EQ(takeWriteFault(), WriteFault::None);
  // A domain whose folder has gone cannot be written: its copy stays as it was.
  ASSERT_TRUE(ok(ask({{"op", makeString("set")},
                      {"domain", makeString("com.example.other")},
                      {"set", makeDictionary({{makeString("a"), makeString("x")}})}})));
  std::filesystem::remove_all(realPath("/var/jb/vmo/Library/Preferences"));
  reply = ask({{"op", makeString("set")},
               {"domain", makeString("com.example.other")},
               {"set", makeDictionary({{makeString("a"), makeString("y")}})}});
  EXPECT_FALSE(ok(reply));
  EXPECT_EQ(stdString(dictionaryGet(store_.domain("com.example.other"), "a")), "x");
}

TEST_F(RequestHandling, RequestsOfTheWrongFormAreRefused) {
  struct Case {
    std::vector<std::pair<const char*, id>> request;
    const char* error;
  };
  const std::vector<Case> cases = {
      {{}, "the request has no \"op\""},
      {{{"op", makeInteger(1)}}, "the request has no \"op\""},
      {{{"op", makeString("drop")}}, "unknown op \"drop\""},
      {{{"op", makeString("keys")}}, "\"domain\" must name a preferences domain"},
      {{{"op", makeString("copy")}, {"domain", makeString("../../etc/passwd")}},
       "\"domain\" must name a preferences domain"},
      {{{"op", makeString("copy")}, {"domain", makeString("..")}},
       "\"domain\" must name a preferences domain"},
      {{{"op", makeString("copy")}, {"domain", makeArray({})}},
       "\"domain\" must name a preferences domain"},
      {{{"op", makeString("copy")},
        {"domain", makeString("com.example")},
        {"keys", makeArray({makeInteger(3)})}},
       "\"keys\" must list keys"},
      {{{"op", makeString("copy")},
        {"domain", makeString("com.example")},
        {"keys", makeString("a")}},
       "\"keys\" must list keys"},
      {{{"op", makeString("set")}, {"domain", makeString("com.example")}, {"set", makeString("a")}},
       "\"set\" must be a dictionary"},
      {{{"op", makeString("set")},
        {"domain", makeString("com.example")},
        {"remove", makeDictionary({})}},
       "\"remove\" must list keys"},
      {{{"op", makeString("set")},
        {"domain", makeString("com.example")},
        {"set", makeDictionary({})},
        {"fault", makeString("melted")}},
       "\"fault\" must name a write fault"},
  };
  for (const Case& c : cases) {
    id reply = ask(c.request);
    EXPECT_FALSE(ok(reply)) << c.error;
    EXPECT_EQ(error(reply), c.error);
  }
  EXPECT_EQ(error(answerRequest(store_, nil)), "a request is a property-list dictionary");
  // Nothing was read or written for them.
  EXPECT_TRUE(store_.loadedDomains().empty());
}

}  // namespace
}  // namespace qv::testing
