#include "foundation/plist_guard.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace qv::host {
namespace {

// ---- XML ----

bool startsWith(std::string_view s, size_t at, std::string_view prefix) {
  return s.compare(at, prefix.size(), prefix) == 0;
}

// Walks the markup as libplist's parser does, tracking open arrays and dictionaries. A
// closing tag that does not match is refused, so the count can never fall below what
// libplist would build.
bool xmlIsSafe(std::string_view s) {
  std::vector<char> open;
  size_t nodes = 0;
  size_t i = 0;
  while ((i = s.find('<', i)) != std::string_view::npos) {
    if (startsWith(s, i, "<!--") || startsWith(s, i, "<![CDATA[") || startsWith(s, i, "<?")) {
      std::string_view close = s[i + 1] == '?' ? "?>" : (s[i + 2] == '-' ? "-->" : "]]>");
      size_t end = s.find(close, i + 2);
      if (end == std::string_view::npos) return false;
      i = end + close.size();
      continue;
    }
    if (startsWith(s, i, "<!")) {  // a document type, maybe with an internal subset
      int brackets = 0;
      size_t j = i + 2;
      for (; j < s.size(); j++) {
        if (s[j] == '[') brackets++;
        if (s[j] == ']') brackets--;
        if (s[j] == '>' && brackets <= 0) break;
      }
      if (j >= s.size()) return false;
      i = j + 1;
      continue;
    }
    size_t j = i + 1;
    bool closing = j < s.size() && s[j] == '/';
    if (closing) j++;
    size_t nameStart = j;
    while (j < s.size() && !std::strchr(" \t\r\n</>", s[j])) j++;
    std::string_view name = s.substr(nameStart, j - nameStart);
    size_t end = s.find_first_of("<>", j);
    if (end == std::string_view::npos || s[end] == '<') return false;
    bool empty = s[end - 1] == '/';
    i = end + 1;
    char kind = name == "array" ? 'a' : (name == "dict" ? 'd' : 0);
    if (closing) {
      if (kind) {
        if (open.empty() || open.back() != kind) return false;
        open.pop_back();
      }
      continue;
    }
    if (name != "plist" && ++nodes > kMaxPropertyListNodes) return false;
    if (kind && !empty) {
      open.push_back(kind);
      if (open.size() > static_cast<size_t>(kMaxPropertyListDepth)) return false;
    }
  }
  return true;
}

// ---- binary ----

class BinaryScan {
 public:
  explicit BinaryScan(std::string_view b) : b_(b) {}

  bool run() {
    if (b_.size() < 8 + 32) return false;
    trailer_ = b_.size() - 32;
    offsetSize_ = byte(trailer_ + 6);
    refSize_ = byte(trailer_ + 7);
    count_ = readBE(trailer_ + 8, 8);
    uint64_t top = readBE(trailer_ + 16, 8);
    table_ = readBE(trailer_ + 24, 8);
    if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) return false;
    if (count_ == 0 || top >= count_ || table_ < 8 || table_ >= trailer_) return false;
    if (count_ > (trailer_ - table_) / offsetSize_) return false;
    return walk(top);
  }

 private:
  struct Info {
    bool active = true;  // still on the walk's stack: reaching it again is a cycle
    uint32_t height = 0;
    uint64_t nodes = 1;
  };
  struct Frame {
    uint64_t object;
    uint64_t refs;   // byte offset of the first reference
    uint64_t count;  // number of references
    uint64_t next = 0;
  };

  uint8_t byte(uint64_t at) const { return static_cast<uint8_t>(b_[at]); }
  uint64_t readBE(uint64_t at, unsigned n) const {
    uint64_t v = 0;
    for (unsigned k = 0; k < n; k++) v = (v << 8) | byte(at + k);
    return v;
  }

  // The marker of an object and the count that follows it (which may spill into an integer
  // object after the marker); `p` ends at the object's payload.
  bool header(uint64_t object, unsigned& type, uint64_t& count, uint64_t& p) const {
    uint64_t offset = readBE(table_ + object * offsetSize_, offsetSize_);
    if (offset < 8 || offset >= trailer_) return false;
    uint8_t marker = byte(offset);
    type = marker >> 4;
    count = marker & 0xF;
    p = offset + 1;
    if (count == 0xF && hasCount(type)) {
      if (p >= trailer_ || (byte(p) >> 4) != 1) return false;
      unsigned width = 1u << (byte(p) & 0xF);
      if (width > 8 || p + 1 + width > trailer_) return false;
      count = readBE(p + 1, width);
      p += 1 + width;
    }
    return true;
  }

  // Data, strings and containers carry a count; other markers carry a size or nothing.
  static bool hasCount(unsigned type) { return (type >= 0x4 && type <= 0x7) || type >= 0xA; }

  static bool isContainerType(unsigned type) {
    return type == 0xA || type == 0xB || type == 0xC || type == 0xD;
  }

  // The references a container holds; false for a malformed object. Scalars have none.
  bool children(uint64_t object, Frame& frame, bool& container) const {
    unsigned type = 0;
    uint64_t count = 0, p = 0;
    if (!header(object, type, count, p)) return false;
    frame = {object, 0, 0};
    container = isContainerType(type);
    if (!container) return true;
    uint64_t room = (trailer_ - p) / refSize_;
    if (count > room || (type == 0xD && count > room / 2)) return false;
    frame.refs = p;
    frame.count = type == 0xD ? count * 2 : count;
    if (frame.count > kMaxPropertyListNodes) return false;
    if (type == 0xD) {
      for (uint64_t k = 0; k < count; k++) {
        if (!keyIsClean(readBE(p + k * refSize_, refSize_))) return false;
      }
    }
    return true;
  }

  // libplist aborts on a dictionary key with a NUL inside, so such keys are refused here.
  // Each key object is checked once, however many dictionaries share it.
  bool keyIsClean(uint64_t key) const {
    if (key >= count_) return false;
    if (!checkedKeys_.insert(key).second) return true;
    unsigned type = 0;
    uint64_t count = 0, p = 0;
    if (!header(key, type, count, p)) return false;
    if (type != 0x5 && type != 0x6) return true;  // not a string: libplist refuses it
    uint64_t width = type == 0x6 ? 2 : 1;
    if (count > (trailer_ - p) / width) return false;
    for (uint64_t i = 0; i < count; i++) {
      bool zero = width == 1 ? byte(p + i) == 0 : (byte(p + 2 * i) | byte(p + 2 * i + 1)) == 0;
      if (zero) return false;
    }
    return true;
  }

  // Depth-first over the objects reachable from the top, each visited once, computing its
  // nesting height and the number of values libplist would build for it.
  bool walk(uint64_t top) {
    std::unordered_map<uint64_t, Info> info;
    std::vector<Frame> stack;
    auto enter = [&](uint64_t object) -> int {  // -1 refuse, 0 pushed, 1 already known
      auto it = info.find(object);
      if (it != info.end()) return it->second.active ? -1 : 1;
      if (info.size() >= kMaxPropertyListNodes) return -1;
      Frame frame;
      bool container = false;
      if (!children(object, frame, container)) return -1;
      info[object].active = container;
      if (!container) return 1;
      if (stack.size() >= static_cast<size_t>(kMaxPropertyListDepth)) return -1;
      stack.push_back(frame);
      return 0;
    };
    auto fold = [&](uint64_t parent, uint64_t child) {
      Info& p = info[parent];
      const Info& c = info[child];
      p.height = std::max(p.height, c.height);
      p.nodes += c.nodes;
      return p.nodes <= kMaxPropertyListNodes;
    };
    if (enter(top) < 0) return false;
    while (!stack.empty()) {
      Frame& f = stack.back();
      if (f.next < f.count) {
        uint64_t child = readBE(f.refs + f.next * refSize_, refSize_);
        uint64_t parent = f.object;
        f.next++;
        if (child >= count_) return false;
        int r = enter(child);
        if (r < 0) return false;
        if (r == 1 && !fold(parent, child)) return false;
        continue;
      }
      uint64_t done = f.object;
      stack.pop_back();
      Info& d = info[done];
      d.active = false;
      d.height += 1;
      if (d.height > static_cast<uint32_t>(kMaxPropertyListDepth)) return false;
      if (!stack.empty() && !fold(stack.back().object, done)) return false;
    }
    return true;
  }

  std::string_view b_;
  uint64_t trailer_ = 0, count_ = 0, table_ = 0;
  unsigned offsetSize_ = 0, refSize_ = 0;
  mutable std::unordered_set<uint64_t> checkedKeys_;
};

}  // namespace

bool isBinaryPropertyList(std::string_view bytes) { return bytes.substr(0, 8) == "bplist00"; }

bool propertyListInputIsSafe(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kMaxPropertyListBytes) return false;
  return isBinaryPropertyList(bytes) ? BinaryScan(bytes).run() : xmlIsSafe(bytes);
}

}  // namespace qv::host
