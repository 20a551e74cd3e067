// Conversion between libplist nodes and objects.
#include "foundation/property_list.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "foundation/plist_guard.h"
#include "foundation/storage_internal.h"
#include "foundation/utf8_text.h"

namespace qv::host {
namespace {

// libplist iterators are malloc'd and freed with free().
struct IterFree {
  void operator()(void* iter) const { std::free(iter); }
};
struct BinFree {
  void operator()(char* bin) const { plist_to_bin_free(bin); }
};

// Property-list dates hold whole seconds as a signed 32-bit count and microseconds; later or
// earlier dates do not fit.
std::optional<std::pair<int32_t, int32_t>> dateParts(double t) {
  if (!std::isfinite(t)) return std::nullopt;
  double sec = std::floor(t);
  if (sec < std::numeric_limits<int32_t>::min() || sec > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  auto usec = static_cast<int32_t>(std::lround((t - sec) * 1e6));
  if (usec >= 1000000) {
    if (sec == std::numeric_limits<int32_t>::max()) return std::nullopt;
    sec += 1;
    usec = 0;
  }
  return std::make_pair(static_cast<int32_t>(sec), usec);
}

// The seconds a date node holds. libplist hands dates out as whole seconds and microseconds,
// dropping the sign of dates between -1 and 0 and converting ones beyond 32-bit seconds with
// undefined results; its binary writer keeps the stored value exactly, so it is read from
// there: "bplist00", then the date object (marker 0x33, a big-endian double).
bool storedDate(plist_t node, double& out) {
  char* bin = nullptr;
  uint32_t length = 0;
  plist_to_bin(node, &bin, &length);
  std::unique_ptr<char, BinFree> owner(bin);
  if (!bin || length < 17 || static_cast<uint8_t>(bin[8]) != 0x33) return false;
  uint64_t bits = 0;
  for (int k = 0; k < 8; k++) bits = (bits << 8) | static_cast<uint8_t>(bin[9 + k]);
  std::memcpy(&out, &bits, sizeof out);
  return true;
}

// ---- nodes to objects (owned results, so large trees do not fill the autorelease pool) ----

id ownedFromNode(plist_t node, int depth);

id ownedArray(plist_t node, int depth) {
  AutoreleasePool pool;
  Strong array = Strong::adopt(runtime::createInstance(arrayClass()));
  auto& items = fields<NSArrayObj>(array)->items;
  items.reserve(plist_array_get_size(node));
  plist_array_iter raw = nullptr;
  plist_array_new_iter(node, &raw);
  std::unique_ptr<void, IterFree> iter(raw);
  for (;;) {
    plist_t item = nullptr;
    plist_array_next_item(node, raw, &item);
    if (!item) break;
    Strong value = Strong::adopt(ownedFromNode(item, depth));
    if (!value) return nil;
    items.push_back(std::move(value));
  }
  return objc_retain(array);
}

id ownedDictionary(plist_t node, int depth) {
  AutoreleasePool pool;
  Strong dict = Strong::adopt(runtime::createInstance(dictionaryClass()));
  auto& map = fields<NSDictionaryObj>(dict)->map;
  plist_dict_iter raw = nullptr;
  plist_dict_new_iter(node, &raw);
  std::unique_ptr<void, IterFree> iter(raw);
  for (;;) {
    char* key = nullptr;
    plist_t item = nullptr;
    plist_dict_next_item(node, raw, &key, &item);
    std::unique_ptr<char, IterFree> keyOwner(key);
    if (!item) break;
    if (!key || !isValidUtf8(key)) return nil;
    Strong value = Strong::adopt(ownedFromNode(item, depth));
    if (!value) return nil;
    Strong keyString = makeString(key);
    map[keyString] = std::move(value);
  }
  return objc_retain(dict);
}

id ownedFromNode(plist_t node, int depth) {
  switch (plist_get_node_type(node)) {
    case PLIST_DICT:
      return depth < kMaxPropertyListDepth ? ownedDictionary(node, depth + 1) : nil;
    case PLIST_ARRAY:
      return depth < kMaxPropertyListDepth ? ownedArray(node, depth + 1) : nil;
    case PLIST_STRING: {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      // A string ends at a NUL: libplist cuts one-byte strings there but keeps the NUL of a
      // UTF-16 one, which it could not write again.
      std::string utf8 = text ? std::string(text, strnlen(text, length)) : std::string();
      // libplist passes any bytes on; a string is text (and the binary writer stops at the
      // first byte that is not).
      if (!isValidUtf8(utf8)) return nil;
      return objc_retain(makeString(utf8));
    }
    case PLIST_UINT: {
      uint64_t v = 0;
      plist_get_uint_val(node, &v);
      // libplist keeps every integer unsigned; negative ones come back two's-complement.
      return objc_retain(makeInteger(static_cast<long long>(static_cast<int64_t>(v))));
    }
    case PLIST_REAL: {
      double v = 0;
      plist_get_real_val(node, &v);
      return objc_retain(makeDouble(v));
    }
    case PLIST_BOOLEAN: {
      uint8_t v = 0;
      plist_get_bool_val(node, &v);
      return objc_retain(makeBool(v != 0));
    }
    case PLIST_DATA: {
      uint64_t length = 0;
      const auto* bytes = reinterpret_cast<const uint8_t*>(plist_get_data_ptr(node, &length));
      std::vector<uint8_t> copy;
      if (bytes && length) copy.assign(bytes, bytes + length);
      return objc_retain(makeData(std::move(copy)));
    }
    case PLIST_DATE: {
      double t = 0;
      // As the writer stores dates: to the microsecond, within 32-bit seconds (a date beyond
      // makes the list malformed).
      std::optional<std::pair<int32_t, int32_t>> parts;
      if (!storedDate(node, t) || !(parts = dateParts(t))) return nil;
      return objc_retain(makeDate(parts->first + parts->second / 1e6));
    }
    case PLIST_UID: {
      uint64_t v = 0;
      plist_get_uid_val(node, &v);
      return objc_retain(makeDictionary(
          {{makeString("CF$UID"), makeInteger(static_cast<long long>(static_cast<int64_t>(v)))}}));
    }
    default:
      return nil;
  }
}

// ---- objects to nodes ----

PlistPtr nodeFromObject(id obj, int depth, bool wholeSeconds);

PlistPtr nodeFromNumber(id obj) {
  const NSNumberObj* n = fields<NSNumberObj>(obj);
  switch (n->kind) {
    case NSNumberObj::Kind::Bool:
      return PlistPtr(plist_new_bool(n->integer != 0));
    case NSNumberObj::Kind::Integer:
      return PlistPtr(plist_new_uint(static_cast<uint64_t>(n->integer)));
    case NSNumberObj::Kind::Real:
      return PlistPtr(plist_new_real(n->real));
  }
  return nullptr;
}

PlistPtr nodeFromDate(id obj, bool wholeSeconds) {
  auto parts = dateParts(fields<NSDateObj>(obj)->sinceReferenceDate);
  if (!parts) return nullptr;
  // Whole seconds: the second the date falls in (libplist's XML writer would cut the fraction
  // toward zero, a second late before 2001).
  return PlistPtr(plist_new_date(parts->first, wholeSeconds ? 0 : parts->second));
}

PlistPtr nodeFromArray(id obj, int depth, bool wholeSeconds) {
  PlistPtr array(plist_new_array());
  for (const Strong& item : fields<NSArrayObj>(obj)->items) {
    PlistPtr child = nodeFromObject(item.get(), depth, wholeSeconds);
    if (!child) return nullptr;
    plist_array_append_item(array.get(), child.release());
  }
  return array;
}

PlistPtr nodeFromDictionary(id obj, int depth, bool wholeSeconds) {
  std::vector<std::pair<const std::string*, id>> entries;
  for (const auto& [key, value] : fields<NSDictionaryObj>(obj)->map) {
    if (!isString(key.get())) return nullptr;
    entries.emplace_back(&fields<NSStringObj>(key.get())->utf8, value.get());
  }
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return *a.first < *b.first; });
  PlistPtr dict(plist_new_dict());
  for (const auto& [key, value] : entries) {
    PlistPtr child = nodeFromObject(value, depth, wholeSeconds);
    if (!child) return nullptr;
    plist_dict_set_item(dict.get(), key->c_str(), child.release());
  }
  return dict;
}

PlistPtr nodeFromObject(id obj, int depth, bool wholeSeconds) {
  if (!obj) return nullptr;
  if (isString(obj)) return PlistPtr(plist_new_string(fields<NSStringObj>(obj)->utf8.c_str()));
  if (isNumber(obj)) return nodeFromNumber(obj);
  if (isData(obj)) {
    static const char kNoBytes = 0;
    const auto& bytes = fields<NSDataObj>(obj)->bytes;
    const char* p = bytes.empty() ? &kNoBytes : reinterpret_cast<const char*>(bytes.data());
    return PlistPtr(plist_new_data(p, bytes.size()));
  }
  if (isDate(obj)) return nodeFromDate(obj, wholeSeconds);
  // Containers: a cycle also ends here, at the depth limit.
  if (depth >= kMaxPropertyListDepth) return nullptr;
  if (isArray(obj)) return nodeFromArray(obj, depth + 1, wholeSeconds);
  if (isDictionary(obj)) return nodeFromDictionary(obj, depth + 1, wholeSeconds);
  return nullptr;
}

}  // namespace

id objectFromPlistNode(plist_t node) {
  return node ? objc_autorelease(ownedFromNode(node, 0)) : nil;
}

PlistPtr plistNodeFromObject(id object, bool wholeSecondDates) {
  return nodeFromObject(object, 0, wholeSecondDates);
}

}  // namespace qv::host
