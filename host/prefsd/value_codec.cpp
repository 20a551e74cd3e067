#include "prefsd/value_codec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "foundation/plist_guard.h"
#include "foundation/utf8_text.h"
#include "foundation/value_objects.h"
#include "runtime/class_builder.h"

namespace qv::host::prefsd {
namespace {

void putWord(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; i++) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

void putDouble(std::string& out, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  putWord(out, bits, 8);
}

void putText(std::string& out, const std::string& text) {
  std::string_view kept(text.c_str());  // up to the first NUL
  putWord(out, kept.size(), 4);
  out.append(kept);
}

bool encode(id obj, std::string& out, int depth) {
  if (!obj) return false;
  if (isString(obj)) {
    out.push_back('S');
    putText(out, fields<NSStringObj>(obj)->utf8);
    return true;
  }
  if (isNumber(obj)) {
    const NSNumberObj* n = fields<NSNumberObj>(obj);
    switch (n->kind) {
      case NSNumberObj::Kind::Bool:
        out.push_back(n->integer ? 'T' : 'N');
        return true;
      case NSNumberObj::Kind::Integer:
        out.push_back('I');
        putWord(out, static_cast<uint64_t>(n->integer), 8);
        return true;
      case NSNumberObj::Kind::Real:
        out.push_back(n->isFloat ? 'F' : 'R');
        putDouble(out, n->real);
        return true;
    }
    return false;
  }
  if (isData(obj)) {
    const auto& bytes = fields<NSDataObj>(obj)->bytes;
    out.push_back('B');
    putWord(out, bytes.size(), 4);
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return true;
  }
  if (isDate(obj)) {
    out.push_back('D');
    putDouble(out, fields<NSDateObj>(obj)->sinceReferenceDate);
    return true;
  }
  // Containers: a cycle also ends here, at the depth limit.
  if (depth >= kMaxPropertyListDepth) return false;
  if (isArray(obj)) {
    const auto& items = fields<NSArrayObj>(obj)->items;
    out.push_back('A');
    putWord(out, items.size(), 4);
    for (const Strong& item : items) {
      if (!encode(item.get(), out, depth + 1)) return false;
    }
    return true;
  }
  if (isDictionary(obj)) {
    const auto& map = fields<NSDictionaryObj>(obj)->map;
    out.push_back('M');
    putWord(out, map.size(), 4);
    for (const auto& [key, value] : map) {
      if (!isString(key.get())) return false;
      putText(out, fields<NSStringObj>(key.get())->utf8);
      if (!encode(value.get(), out, depth + 1)) return false;
    }
    return true;
  }
  return false;
}

// An owned string: the lists a reply carries hold many, so none goes through a pool.
id newString(std::string_view text) {
  id string = runtime::createInstance(stringClass());
  fields<NSStringObj>(string)->utf8.assign(text);
  return string;
}

// Reads values from bytes, refusing anything malformed or beyond the property-list limits.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool atEnd() const { return pos_ == bytes_.size(); }

  bool word(uint64_t& value, int bytes) {
    if (bytes_.size() - pos_ < static_cast<size_t>(bytes)) return false;
    value = 0;
    for (int i = 0; i < bytes; i++) {
      value |= uint64_t{static_cast<unsigned char>(bytes_[pos_ + i])} << (8 * i);
    }
    pos_ += static_cast<size_t>(bytes);
    return true;
  }
  bool real(double& value) {
    uint64_t bits;
    if (!word(bits, 8)) return false;
    std::memcpy(&value, &bits, sizeof value);
    return true;
  }
  // A length-prefixed run of bytes.
  bool run(std::string_view& out) {
    uint64_t length;
    if (!word(length, 4) || length > bytes_.size() - pos_) return false;
    out = bytes_.substr(pos_, length);
    pos_ += length;
    return true;
  }
  bool text(std::string_view& out) {
    return run(out) && out.find('\0') == std::string_view::npos && isValidUtf8(out);
  }
  // A count of values that follow, each taking at least one byte.
  bool count(uint64_t& n) { return word(n, 4) && n <= bytes_.size() - pos_; }
  bool tag(char& t) {
    if (pos_ >= bytes_.size()) return false;
    t = bytes_[pos_++];
    return ++nodes_ <= kMaxPropertyListNodes;
  }

  // An owned object, or nil.
  id value(int depth);
  // Steps over one value without making it.
  bool skip(int depth);

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
  size_t nodes_ = 0;
};

id Reader::value(int depth) {
  char t;
  if (!tag(t)) return nil;
  uint64_t n;
  double d;
  std::string_view s;
  switch (t) {
    case 'S':
      return text(s) ? newString(s) : nil;
    case 'B':
      return run(s) ? objc_retain(makeData(std::vector<uint8_t>(s.begin(), s.end()))) : nil;
    case 'I':
      return word(n, 8) ? objc_retain(makeInteger(static_cast<long long>(n))) : nil;
    case 'R':
      return real(d) ? objc_retain(makeDouble(d)) : nil;
    case 'F':
      if (!real(d)) return nil;
      return objc_retain(msgSend<id>(objc_getClass("NSNumber"),
                                     sel_registerName("numberWithFloat:"), static_cast<float>(d)));
    case 'D':
      // A property list holds no date that is not a number of seconds.
      return real(d) && std::isfinite(d) ? objc_retain(makeDate(d)) : nil;
    case 'T':
      return objc_retain(makeBool(true));
    case 'N':
      return objc_retain(makeBool(false));
    case 'A': {
      if (depth >= kMaxPropertyListDepth || !count(n)) return nil;
      Strong array = Strong::adopt(runtime::createInstance(arrayClass()));
      auto& items = fields<NSArrayObj>(array.get())->items;
      items.reserve(std::min<uint64_t>(n, 4096));
      for (uint64_t i = 0; i < n; i++) {
        id item = value(depth + 1);
        if (!item) return nil;
        items.push_back(Strong::adopt(item));
      }
      return objc_retain(array.get());
    }
    case 'M': {
      if (depth >= kMaxPropertyListDepth || !count(n)) return nil;
      Strong dict = Strong::adopt(runtime::createInstance(dictionaryClass()));
      auto& map = fields<NSDictionaryObj>(dict.get())->map;
      for (uint64_t i = 0; i < n; i++) {
        if (!text(s)) return nil;
        Strong key = Strong::adopt(newString(s));
        id item = value(depth + 1);
        if (!item) return nil;
        map[key] = Strong::adopt(item);
      }
      return objc_retain(dict.get());
    }
    default:
      return nil;
  }
}

bool Reader::skip(int depth) {
  char t;
  if (!tag(t)) return false;
  uint64_t n;
  std::string_view s;
  switch (t) {
    case 'S':
      return text(s);
    case 'B':
      return run(s);
    case 'I':
    case 'R':
    case 'F':
    case 'D':
      return word(n, 8);
    case 'T':
    case 'N':
      return true;
    case 'A':
      if (depth >= kMaxPropertyListDepth || !count(n)) return false;
      for (uint64_t i = 0; i < n; i++) {
        if (!skip(depth + 1)) return false;
      }
      return true;
    case 'M':
      if (depth >= kMaxPropertyListDepth || !count(n)) return false;
      for (uint64_t i = 0; i < n; i++) {
        if (!text(s) || !skip(depth + 1)) return false;
      }
      return true;
    default:
      return false;
  }
}

}  // namespace

bool encodeValue(id object, std::string& out) { return encode(object, out, 0); }

id decodeValue(std::string_view bytes) {
  Reader reader(bytes);
  Strong object = Strong::adopt(reader.value(0));
  return object && reader.atEnd() ? objc_autorelease(objc_retain(object.get())) : nil;
}

bool dictionaryFlag(std::string_view bytes, std::string_view key) {
  Reader reader(bytes);
  char t;
  uint64_t n;
  if (!reader.tag(t) || t != 'M' || !reader.count(n)) return false;
  for (uint64_t i = 0; i < n; i++) {
    std::string_view k;
    if (!reader.text(k)) return false;
    if (k == key) return reader.tag(t) && t == 'T';
    if (!reader.skip(1)) return false;
  }
  return false;
}

}  // namespace qv::host::prefsd
