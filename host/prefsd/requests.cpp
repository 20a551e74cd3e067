#include "prefsd/requests.h"

#include <unistd.h>

#include <algorithm>

#include "foundation/file_faults.h"
#include "foundation/preferences.h"
#include "foundation/value_objects.h"
#include "runtime/class_builder.h"

namespace qv::host::prefsd {
namespace {

id okReply(std::vector<std::pair<id, id>> entries = {}) {
  entries.emplace_back(makeString("ok"), makeBool(true));
  return makeDictionary(entries);
}

bool isStringArray(id object) {
  if (!isArray(object)) return false;
  std::vector<id> items = arrayItems(object);
  return std::all_of(items.begin(), items.end(), [](id item) { return isString(item); });
}

// The domain named by the request; "" (with `error` set) when there is none.
std::string domainOf(id request, std::string& error) {
  id name = dictionaryGet(request, "domain");
  std::string text = isString(name) ? stdString(name) : "";
  if (preferencesFilePath(text).empty()) {
    error = "\"domain\" must name a preferences domain";
    return "";
  }
  return text;
}

id keysReply(DomainStore& store, const std::string& name) {
  std::vector<std::string> keys;
  for (const auto& entry : fields<NSDictionaryObj>(store.domain(name))->map) {
    keys.push_back(stdString(entry.first.get()));
  }
  std::sort(keys.begin(), keys.end());
  std::vector<id> items;
  for (const std::string& k : keys) items.push_back(makeString(k));
  return okReply({{makeString("keys"), makeArray(items)}});
}

id copyReply(DomainStore& store, const std::string& name, id keys) {
  id domain = store.domain(name);
  if (!keys) return okReply({{makeString("values"), domain}});
  const auto& map = fields<NSDictionaryObj>(domain)->map;
  std::vector<std::pair<id, id>> values;
  for (id key : arrayItems(keys)) {
    auto it = map.find(Strong(key));
    if (it != map.end()) values.emplace_back(it->first.get(), it->second.get());
  }
  return okReply({{makeString("values"), makeDictionary(values)}});
}

id setReply(DomainStore& store, const std::string& name, id request) {
  id set = dictionaryGet(request, "set");
  id remove = dictionaryGet(request, "remove");
  id faultText = dictionaryGet(request, "fault");
  if (set && !isDictionary(set)) return errorReply("\"set\" must be a dictionary");
  if (remove && !isStringArray(remove)) return errorReply("\"remove\" must list keys");
  WriteFault fault = WriteFault::None;
  if (faultText && !(isString(faultText) && faultNamed(stdString(faultText), fault))) {
    return errorReply("\"fault\" must name a write fault");
  }
  std::string error;
  if (!store.change(name, set, remove, fault, error)) return errorReply(error);
  return okReply();
}

id statusReply(DomainStore& store) {
  std::vector<id> names;
  for (const std::string& n : store.loadedDomains()) names.push_back(makeString(n));
  return okReply(
      {{makeString("pid"), makeInteger(getpid())}, {makeString("domains"), makeArray(names)}});
}

}  // namespace

id errorReply(const std::string& message) {
  return makeDictionary(
      {{makeString("ok"), makeBool(false)}, {makeString("error"), makeString(message)}});
}

std::string requestOp(id request) {
  id op = dictionaryGet(request, "op");
  return isString(op) ? stdString(op) : "";
}

id answerRequest(DomainStore& store, id request) {
  if (!isDictionary(request)) return errorReply("a request is a property-list dictionary");
  std::string op = requestOp(request);
  if (op == "status") return statusReply(store);
  if (op != "keys" && op != "copy" && op != "set") {
    return errorReply(op.empty() ? "the request has no \"op\"" : "unknown op \"" + op + "\"");
  }
  std::string error;
  std::string name = domainOf(request, error);
  if (name.empty()) return errorReply(error);
  if (op == "keys") return keysReply(store, name);
  if (op == "set") return setReply(store, name, request);
  id keys = dictionaryGet(request, "keys");
  if (keys && !isStringArray(keys)) return errorReply("\"keys\" must list keys");
  return copyReply(store, name, keys);
}

}  // namespace qv::host::prefsd
