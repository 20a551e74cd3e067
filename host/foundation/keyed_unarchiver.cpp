// NSKeyedUnarchiver: a keyed archive back to its object graph. The raising and the error-returning
// entry points share one reader.
#include <cmath>
#include <cstdio>
#include <vector>

#include "foundation/exceptions.h"
#include "foundation/keyed_archive_internal.h"
#include "foundation/plist_guard.h"
#include "foundation/property_list.h"
#include "foundation/storage_internal.h"

namespace qv::host {
namespace {

bool isType(plist_t node, plist_type type) { return node && plist_get_node_type(node) == type; }

// A uid, in binary archives a uid node and in XML ones the dictionary {"CF$UID": n}.
bool uidOf(plist_t node, uint64_t& out) {
  if (isType(node, PLIST_UID)) {
    plist_get_uid_val(node, &out);
    return true;
  }
  if (isType(node, PLIST_DICT) && plist_dict_get_size(node) == 1) {
    plist_t value = plist_dict_get_item(node, "CF$UID");
    if (isType(value, PLIST_UINT)) {
      plist_get_uint_val(value, &out);
      return true;
    }
  }
  return false;
}

std::string stringOf(plist_t node) {
  uint64_t length = 0;
  const char* text = plist_get_string_ptr(node, &length);
  return text ? std::string(text, length) : std::string();
}

}  // namespace

struct ArchiveReader {
  enum class State : uint8_t { New, Decoding, Done };

  plist_t objects;
  uint32_t count;
  std::vector<State> states;
  std::vector<Strong> decoded;
  int depth = 0;
  bool failed = false;

  explicit ArchiveReader(plist_t objectArray)
      : objects(objectArray),
        count(plist_array_get_size(objectArray)),
        states(count, State::New),
        decoded(count) {}

  id fail() {
    failed = true;
    return nil;
  }

  // The object for a uid (nil for 0, the "$null" entry). Shared objects decode once.
  id decode(uint64_t uid) {
    if (failed) return nil;
    if (uid == 0) return nil;
    if (uid >= count) return fail();
    if (states[uid] == State::Done) return decoded[uid];
    if (states[uid] == State::Decoding) return fail();  // a cycle
    if (depth >= kMaxPropertyListDepth) return fail();
    states[uid] = State::Decoding;
    depth++;
    Strong obj = body(plist_array_get_item(objects, static_cast<uint32_t>(uid)));
    depth--;
    if (!obj || failed) return fail();
    states[uid] = State::Done;
    decoded[uid] = obj;
    return obj;
  }

  // A value that must name an object (nil not allowed).
  id decodeRequired(plist_t ref) {
    uint64_t uid = 0;
    if (!uidOf(ref, uid) || uid == 0) return fail();
    return decode(uid);
  }

  bool decodeAll(plist_t refs, std::vector<Strong>& out) {
    if (!isType(refs, PLIST_ARRAY)) return false;
    uint32_t n = plist_array_get_size(refs);
    out.reserve(n);
    for (uint32_t i = 0; i < n; i++) {
      id item = decodeRequired(plist_array_get_item(refs, i));
      if (!item) return false;
      out.emplace_back(item);
    }
    return true;
  }

  id body(plist_t node) {
    switch (node ? plist_get_node_type(node) : PLIST_NONE) {
      case PLIST_STRING:
      case PLIST_UINT:
      case PLIST_REAL:
      case PLIST_BOOLEAN:
      case PLIST_DATA:
        return objectFromPlistNode(node);
      case PLIST_DICT:
        return instance(node);
      default:
        return fail();
    }
  }

  // An object with a "$class": one of the built-in classes or a registered one.
  id instance(plist_t node) {
    uint64_t classUid = 0;
    if (!uidOf(plist_dict_get_item(node, "$class"), classUid) || classUid == 0 ||
        classUid >= count) {
      return fail();
    }
    plist_t desc = plist_array_get_item(objects, static_cast<uint32_t>(classUid));
    plist_t nameNode = isType(desc, PLIST_DICT) ? plist_dict_get_item(desc, "$classname") : nullptr;
    if (!isType(nameNode, PLIST_STRING)) return fail();
    std::string name = stringOf(nameNode);
    if (name == "NSArray" || name == "NSMutableArray") {
      std::vector<Strong> items;
      if (!decodeAll(plist_dict_get_item(node, "NS.objects"), items)) return fail();
      id array = runtime::createInstance(name == "NSArray" ? arrayClass() : mutableArrayClass());
      fields<NSArrayObj>(array)->items = std::move(items);
      return objc_autorelease(array);
    }
    if (name == "NSDictionary" || name == "NSMutableDictionary") {
      std::vector<Strong> keys, values;
      if (!decodeAll(plist_dict_get_item(node, "NS.keys"), keys) ||
          !decodeAll(plist_dict_get_item(node, "NS.objects"), values) ||
          keys.size() != values.size()) {
        return fail();
      }
      Class cls = name == "NSDictionary" ? dictionaryClass() : mutableDictionaryClass();
      id dict = runtime::createInstance(cls);
      for (size_t i = 0; i < keys.size(); i++)
        fields<NSDictionaryObj>(dict)->map[keys[i]] = values[i];
      return objc_autorelease(dict);
    }
    if (name == "NSString" || name == "NSMutableString") {
      plist_t text = plist_dict_get_item(node, "NS.string");
      return isType(text, PLIST_STRING) ? objectFromPlistNode(text) : fail();
    }
    if (name == "NSData" || name == "NSMutableData") {
      plist_t bytes = plist_dict_get_item(node, "NS.bytes");
      return isType(bytes, PLIST_DATA) ? objectFromPlistNode(bytes) : fail();
    }
    if (name == "NSDate") {
      plist_t time = plist_dict_get_item(node, "NS.time");
      if (!isType(time, PLIST_REAL)) return fail();
      double t = 0;
      plist_get_real_val(time, &t);
      return makeDate(t);
    }
    std::shared_ptr<const ArchivableClass> cls = archivableClassNamed(name);
    if (!cls) return fail();
    ArchiveDecoder decoder(*this, node);
    id obj = cls->decode(decoder);
    return failed ? nil : (obj ? obj : fail());
  }
};

plist_t ArchiveDecoder::value(const std::string& key) const {
  return plist_dict_get_item(node_, escapedArchiveKey(key).c_str());
}

bool ArchiveDecoder::containsKey(const std::string& key) const { return value(key) != nullptr; }

id ArchiveDecoder::decodeObject(const std::string& key) const {
  plist_t v = value(key);
  if (!v) return nil;
  uint64_t uid = 0;
  if (!uidOf(v, uid)) return reader_.fail();
  id obj = reader_.decode(uid);
  return obj ? objc_autorelease(objc_retain(obj)) : nil;
}

double ArchiveDecoder::decodeDouble(const std::string& key) const {
  plist_t v = value(key);
  if (!v) return 0;
  if (isType(v, PLIST_REAL)) {
    double d = 0;
    plist_get_real_val(v, &d);
    return d;
  }
  if (isType(v, PLIST_UINT)) {
    uint64_t u = 0;
    plist_get_uint_val(v, &u);
    return static_cast<double>(static_cast<int64_t>(u));
  }
  reader_.fail();
  return 0;
}

long long ArchiveDecoder::decodeInt(const std::string& key) const {
  plist_t v = value(key);
  if (!v) return 0;
  if (isType(v, PLIST_UINT)) {
    uint64_t u = 0;
    plist_get_uint_val(v, &u);
    return static_cast<int64_t>(u);
  }
  if (isType(v, PLIST_BOOLEAN)) return decodeBool(key) ? 1 : 0;
  if (isType(v, PLIST_REAL)) {
    double d = 0;
    plist_get_real_val(v, &d);
    if (std::isfinite(d) && std::fabs(d) < 9.2e18) return static_cast<long long>(d);
  }
  reader_.fail();
  return 0;
}

bool ArchiveDecoder::decodeBool(const std::string& key) const {
  plist_t v = value(key);
  if (!v) return false;
  if (isType(v, PLIST_BOOLEAN)) {
    uint8_t b = 0;
    plist_get_bool_val(v, &b);
    return b != 0;
  }
  if (isType(v, PLIST_UINT)) {
    uint64_t u = 0;
    plist_get_uint_val(v, &u);
    return u != 0;
  }
  reader_.fail();
  return false;
}

namespace {

// Why an archive cannot be read, as Foundation words it; empty when it can.
struct Decoded {
  Strong root;
  std::string failure;
  bool incomprehensible = false;  // not a keyed archive at all
};

std::string leadingBytes(const std::vector<uint8_t>& bytes) {
  std::string text;
  char hex[8];
  for (size_t i = 0; i < bytes.size() && i < 8; ++i) {
    std::snprintf(hex, sizeof hex, "%s0x%x", i ? ", " : "", bytes[i]);
    text += hex;
  }
  return text;
}

Decoded decodeArchive(id data) {
  if (!data || !isData(data)) return {{}, "data is NULL", true};
  const auto& bytes = fields<NSDataObj>(data)->bytes;
  Decoded incomprehensible{{}, "incomprehensible archive (" + leadingBytes(bytes) + ")", true};
  PlistPtr root = parsePropertyListBytes(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  plist_t archive = root.get();
  if (!isType(archive, PLIST_DICT)) return incomprehensible;
  plist_t archiver = plist_dict_get_item(archive, "$archiver");
  plist_t version = plist_dict_get_item(archive, "$version");
  plist_t top = plist_dict_get_item(archive, "$top");
  plist_t objects = plist_dict_get_item(archive, "$objects");
  uint64_t versionValue = 0;
  if (isType(version, PLIST_UINT)) plist_get_uint_val(version, &versionValue);
  if (!isType(archiver, PLIST_STRING) || stringOf(archiver) != "NSKeyedArchiver" ||
      versionValue != 100000 || !isType(top, PLIST_DICT) || !isType(objects, PLIST_ARRAY)) {
    return incomprehensible;
  }
  plist_t null = plist_array_get_size(objects) ? plist_array_get_item(objects, 0) : nullptr;
  if (!isType(null, PLIST_STRING) || stringOf(null) != "$null") return incomprehensible;
  uint64_t rootUid = 0;
  if (!uidOf(plist_dict_get_item(top, "root"), rootUid)) return incomprehensible;
  ArchiveReader reader(objects);
  Strong result = reader.decode(rootUid);
  if (reader.failed) return {{}, "cannot decode the object for key (root)", false};
  return {result, "", false};
}

// +unarchiveObjectWithData: raises for anything it cannot read; an archive of nil gives nil.
id unarchiverUnarchive(id, SEL, id data) {
  Decoded d = decodeArchive(data);
  if (!d.failure.empty()) {
    raiseUncaught(
        d.incomprehensible ? kInvalidArgumentException : "NSInvalidUnarchiveOperationException",
        std::string("*** -[NSKeyedUnarchiver ") +
            (d.incomprehensible ? "initForReadingWithData:]: " : "decodeObjectForKey:]: ") +
            d.failure);
  }
  return d.root ? objc_autorelease(objc_retain(d.root.get())) : nil;
}

// The decoding error: NSCoderReadCorruptError.
constexpr NSInteger kCoderReadCorrupt = 4864;

id corruptArchiveError(const std::string& why) {
  id info = makeDictionary({{makeString("NSDebugDescription"), makeString(why)}});
  return msgSend<id>(objc_getClass("NSError"), SELECTOR("errorWithDomain:code:userInfo:"),
                     makeString("NSCocoaErrorDomain"), kCoderReadCorrupt, info);
}

// +unarchivedObjectOfClass:fromData:error: never raises for the data: an archive it cannot
// read, or whose root is not of the class, gives nil and the error.
id unarchiverUnarchiveOfClass(id, SEL, Class cls, id data, id* error) {
  setError(error, nil);
  Decoded d = decodeArchive(data);
  if (!d.failure.empty()) {
    setError(error, corruptArchiveError(d.failure));
    return nil;
  }
  if (!d.root) return nil;
  if (!cls || !msgSend<BOOL>(d.root.get(), SELECTOR("isKindOfClass:"), asId(cls))) {
    setError(error, corruptArchiveError(std::string("value for key 'root' was of unexpected "
                                                    "class '") +
                                        class_getName(object_getClass(d.root.get())) + "'."));
    return nil;
  }
  return objc_autorelease(objc_retain(d.root.get()));
}

}  // namespace

id unarchiveObjectWithData(id data) {
  Decoded d = decodeArchive(data);
  return d.root ? objc_autorelease(objc_retain(d.root.get())) : nil;
}

void registerKeyedUnarchiverClass() {
  ClassBuilder<>("NSKeyedUnarchiver", "NSObject")
      .classMethod("unarchiveObjectWithData:", unarchiverUnarchive)
      .classMethod("unarchivedObjectOfClass:fromData:error:", unarchiverUnarchiveOfClass);
}

}  // namespace qv::host
