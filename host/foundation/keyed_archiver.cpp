// NSKeyedArchiver: an object graph to a binary property list of uid-linked objects.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "foundation/keyed_archive_internal.h"
#include "foundation/plist_guard.h"
#include "foundation/property_list.h"
#include "foundation/storage_internal.h"

namespace qv::host {

struct ArchiveWriter {
  std::vector<PlistPtr> objects;  // by uid; 0 is "$null"
  std::vector<Strong> keepAlive;  // objects seen, so no address is reused while archiving
  std::unordered_map<id, uint64_t> uids;
  std::unordered_map<std::string, uint64_t> classUids;
  int depth = 0;
  bool failed = false;

  ArchiveWriter() { objects.emplace_back(plist_new_string("$null")); }

  // The uid of an object, archiving it on first sight; 0 for nil. Objects get their uid
  // before their contents, so a cycle refers back instead of recursing.
  uint64_t encode(id obj) {
    if (!obj || failed) return 0;
    auto it = uids.find(obj);
    if (it != uids.end()) return it->second;
    if (depth >= kMaxPropertyListDepth) {
      failed = true;
      return 0;
    }
    uint64_t uid = objects.size();
    objects.emplace_back(nullptr);
    keepAlive.emplace_back(obj);
    uids[obj] = uid;
    depth++;
    PlistPtr node = body(obj);
    depth--;
    if (!node) failed = true;
    objects[uid] = std::move(node);
    return failed ? 0 : uid;
  }

  PlistPtr body(id obj) {
    if (isString(obj) || isNumber(obj) || isData(obj)) return plistNodeFromObject(obj);
    PlistPtr dict(plist_new_dict());
    if (isDate(obj)) {
      plist_dict_set_item(dict.get(), "NS.time",
                          plist_new_real(fields<NSDateObj>(obj)->sinceReferenceDate));
      return withClass(std::move(dict), "NSDate");
    }
    if (isArray(obj)) {
      plist_dict_set_item(dict.get(), "NS.objects", uidArray(arrayItems(obj)));
      bool isMutable = isKind(obj, mutableArrayClass());
      return withClass(std::move(dict), isMutable ? "NSMutableArray" : "NSArray");
    }
    if (isDictionary(obj)) {
      encodeDictionary(obj, dict.get());
      bool isMutable = isKind(obj, mutableDictionaryClass());
      return withClass(std::move(dict), isMutable ? "NSMutableDictionary" : "NSDictionary");
    }
    std::shared_ptr<const ArchivableClass> cls = archivableClassOf(obj);
    if (!cls) return nullptr;
    ArchiveEncoder encoder(*this, dict.get());
    cls->encode(obj, encoder);
    return withClass(std::move(dict), cls->name);
  }

  // Entries in key order when the keys are strings, for output that does not vary.
  void encodeDictionary(id obj, plist_t dict) {
    std::vector<std::pair<id, id>> entries;
    bool stringKeys = true;
    for (const auto& [k, v] : fields<NSDictionaryObj>(obj)->map) {
      entries.emplace_back(k.get(), v.get());
      stringKeys = stringKeys && isString(k.get());
    }
    if (stringKeys) {
      std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return fields<NSStringObj>(a.first)->utf8 < fields<NSStringObj>(b.first)->utf8;
      });
    }
    std::vector<id> keys, values;
    for (const auto& [k, v] : entries) {
      keys.push_back(k);
      values.push_back(v);
    }
    plist_dict_set_item(dict, "NS.keys", uidArray(keys));
    plist_dict_set_item(dict, "NS.objects", uidArray(values));
  }

  plist_t uidArray(const std::vector<id>& items) {
    plist_t array = plist_new_array();
    for (id item : items) plist_array_append_item(array, plist_new_uid(encode(item)));
    return array;
  }

  PlistPtr withClass(PlistPtr dict, const std::string& name) {
    plist_dict_set_item(dict.get(), "$class", plist_new_uid(classUid(name)));
    return dict;
  }

  // A class description: its name and the names of its ancestors.
  uint64_t classUid(const std::string& name) {
    auto it = classUids.find(name);
    if (it != classUids.end()) return it->second;
    plist_t chain = plist_new_array();
    Class cls = objc_getClass(name.c_str());
    if (!cls) plist_array_append_item(chain, plist_new_string(name.c_str()));
    for (; cls; cls = class_getSuperclass(cls)) {
      plist_array_append_item(chain, plist_new_string(class_getName(cls)));
    }
    plist_t desc = plist_new_dict();
    plist_dict_set_item(desc, "$classname", plist_new_string(name.c_str()));
    plist_dict_set_item(desc, "$classes", chain);
    uint64_t uid = objects.size();
    objects.emplace_back(desc);
    classUids[name] = uid;
    return uid;
  }

  // The archive's own dictionary; takes the objects.
  PlistPtr finish(uint64_t rootUid) {
    plist_t objectArray = plist_new_array();
    for (PlistPtr& node : objects) plist_array_append_item(objectArray, node.release());
    objects.clear();
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(rootUid));
    PlistPtr archive(plist_new_dict());
    plist_dict_set_item(archive.get(), "$version", plist_new_uint(100000));
    plist_dict_set_item(archive.get(), "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(archive.get(), "$top", top);
    plist_dict_set_item(archive.get(), "$objects", objectArray);
    return archive;
  }
};

void ArchiveEncoder::encodeObject(const std::string& key, id value) {
  plist_t uid = plist_new_uid(writer_.encode(value));
  plist_dict_set_item(node_, escapedArchiveKey(key).c_str(), uid);
}
void ArchiveEncoder::encodeDouble(const std::string& key, double value) {
  plist_dict_set_item(node_, escapedArchiveKey(key).c_str(), plist_new_real(value));
}
void ArchiveEncoder::encodeInt(const std::string& key, long long value) {
  plist_dict_set_item(node_, escapedArchiveKey(key).c_str(),
                      plist_new_uint(static_cast<uint64_t>(value)));
}
void ArchiveEncoder::encodeBool(const std::string& key, bool value) {
  plist_dict_set_item(node_, escapedArchiveKey(key).c_str(), plist_new_bool(value));
}

id archivedDataWithRootObject(id root) {
  if (!root) return nil;
  ArchiveWriter writer;
  uint64_t rootUid = writer.encode(root);
  if (writer.failed) return nil;
  PlistPtr archive = writer.finish(rootUid);
  char* bin = nullptr;
  uint32_t length = 0;
  plist_to_bin(archive.get(), &bin, &length);
  if (!bin) return nil;
  std::vector<uint8_t> bytes(bin, bin + length);
  plist_to_bin_free(bin);
  return makeData(std::move(bytes));
}

namespace {

id archiverArchivedData(id, SEL, id root) { return archivedDataWithRootObject(root); }

}  // namespace

void registerKeyedArchiverClass() {
  ClassBuilder<>("NSKeyedArchiver", "NSObject")
      .classMethod("archivedDataWithRootObject:", archiverArchivedData);
}

}  // namespace qv::host
