#include "support/values.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "foundation/keyed_archive.h"
#include "foundation/property_list.h"
#include "foundation/values.h"
#include "uikit/views.h"

namespace qv::fuzz {

using namespace qv::host;

double awkwardReal(FuzzedDataProvider& in) {
  static const double kAwkward[] = {std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::max(),
                                    -std::numeric_limits<double>::max(),
                                    std::numeric_limits<double>::denorm_min(),
                                    -0.0,
                                    0.0,
                                    0.5,
                                    1.0,
                                    -1.0,
                                    1e19,
                                    -1e19,
                                    9.3e18,
                                    2147483648.0,
                                    255.0,
                                    256.0};
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.PickValueInArray(kAwkward);
    case 1:
      return in.ConsumeProbability<double>();
    case 2:
      return in.ConsumeFloatingPointInRange(-300.0, 300.0);
    default:
      return in.ConsumeFloatingPoint<double>();
  }
}

long long awkwardInteger(FuzzedDataProvider& in) {
  static const long long kAwkward[] = {0,
                                       1,
                                       -1,
                                       2,
                                       255,
                                       256,
                                       -256,
                                       100000,
                                       std::numeric_limits<long long>::min(),
                                       std::numeric_limits<long long>::max()};
  if (in.ConsumeBool()) return in.PickValueInArray(kAwkward);
  return in.ConsumeIntegral<long long>();
}

std::string text(FuzzedDataProvider& in, const std::vector<std::string>& words) {
  if (!words.empty() && in.ConsumeIntegralInRange(0, 3) != 0) {
    return words[in.ConsumeIntegralInRange<size_t>(0, words.size() - 1)];
  }
  return in.ConsumeRandomLengthString(48);
}

namespace {

id anyData(FuzzedDataProvider& in) {
  return makeData(in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 64)));
}

// Arrays nested `levels` deep around a leaf: deeper than the settings ever are.
id chain(FuzzedDataProvider& in, const std::vector<std::string>& words) {
  int levels = in.ConsumeIntegralInRange(8, 40);
  id leaf = makeString(text(in, words));
  for (int i = 0; i < levels; i++) {
    leaf = in.ConsumeBool() ? makeArray({leaf})
                            : makeDictionary({{makeString(text(in, words)), leaf}});
  }
  return leaf;
}

}  // namespace

id anyObject(FuzzedDataProvider& in, int depth, const std::vector<std::string>& words) {
  int kinds = depth > 0 ? 9 : 5;
  switch (in.ConsumeIntegralInRange(0, kinds)) {
    case 0:
      return makeBool(in.ConsumeBool());
    case 1:
      return makeInteger(awkwardInteger(in));
    case 2:
      return makeDouble(awkwardReal(in));
    case 3:
      return makeString(text(in, words));
    case 4:
      return anyData(in);
    case 5:
      // Dates only exist in files as whole seconds that fit 32 bits; others are refused.
      return makeDate(in.ConsumeBool() ? awkwardReal(in)
                                       : in.ConsumeFloatingPointInRange(-3e9, 3e9));
    case 6:
    case 7: {
      std::vector<id> items;
      size_t n = in.ConsumeIntegralInRange<size_t>(0, 5);
      for (size_t i = 0; i < n && in.remaining_bytes() > 0; i++) {
        items.push_back(anyObject(in, depth - 1, words));
      }
      return makeArray(items);
    }
    case 8: {
      std::vector<std::pair<id, id>> entries;
      size_t n = in.ConsumeIntegralInRange<size_t>(0, 5);
      for (size_t i = 0; i < n && in.remaining_bytes() > 0; i++) {
        entries.emplace_back(makeString(text(in, words)), anyObject(in, depth - 1, words));
      }
      return makeDictionary(entries);
    }
    default:
      return chain(in, words);
  }
}

id mixedList(FuzzedDataProvider& in, const std::vector<std::string>& words) {
  std::vector<id> items;
  size_t n = in.ConsumeIntegralInRange<size_t>(0, 8);
  for (size_t i = 0; i < n && in.remaining_bytes() > 0; i++) {
    items.push_back(in.ConsumeIntegralInRange(0, 3) != 0 ? makeString(text(in, words))
                                                         : anyObject(in, 2, words));
  }
  return makeArray(items);
}

namespace {

id uid(long long n) { return makeDictionary({{makeString("CF$UID"), makeInteger(n)}}); }

// The dictionary with `key` set to `value` (removed when nil).
id withEntry(id dict, const std::string& key, id value) {
  std::vector<std::pair<id, id>> entries;
  if (isDictionary(dict)) {
    for (id k : arrayItems(msgSend<id>(dict, SELECTOR("allKeys")))) {
      if (!(isString(k) && stdString(k) == key)) {
        entries.emplace_back(k, msgSend<id>(dict, SELECTOR("objectForKey:"), k));
      }
    }
  }
  if (value) entries.emplace_back(makeString(key), value);
  return makeDictionary(entries);
}

const std::vector<std::string> kArchiveWords = {
    "$archiver", "$version",   "$top",     "$objects", "$class",         "$classname",
    "$classes",  "root",       "UIColor",  "NSArray",  "NSDictionary",   "NSString",
    "NSData",    "NSDate",     "NSObject", "UIRed",    "UIGreen",        "UIBlue",
    "UIAlpha",   "NS.objects", "NS.keys",  "$null",    "NSKeyedArchiver"};

// One part of a colour archive broken.
id brokenArchive(FuzzedDataProvider& in, id archive) {
  std::vector<id> objects = arrayItems(dictionaryGet(archive, "$objects"));
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: {  // a top-level part replaced or missing
      static const char* kParts[] = {"$archiver", "$version", "$top", "$objects"};
      id value = in.ConsumeBool() ? anyObject(in, 2, kArchiveWords) : nil;
      return withEntry(archive, in.PickValueInArray(kParts), value);
    }
    case 1: {  // the root names another object, maybe outside $objects
      id top = makeDictionary({{makeString("root"), uid(in.ConsumeIntegralInRange(-2, 6))}});
      return withEntry(archive, "$top", top);
    }
    case 2:  // an entry of $objects replaced
      if (!objects.empty()) {
        objects[in.ConsumeIntegralInRange<size_t>(0, objects.size() - 1)] =
            anyObject(in, 2, kArchiveWords);
      }
      break;
    case 3:  // a field of the colour with another type, or a bad class reference
      if (objects.size() > 1) {
        static const char* kFields[] = {"UIRed",   "UIGreen", "UIBlue",
                                        "UIAlpha", "$class",  "UIColorComponentCount"};
        id value = in.ConsumeBool() ? uid(in.ConsumeIntegralInRange(-1, 5))
                                    : anyObject(in, 1, kArchiveWords);
        objects[1] = withEntry(objects[1], in.PickValueInArray(kFields), value);
      }
      break;
    case 4:  // the class description names another class, or is not one
      if (objects.size() > 2) {
        objects[2] = withEntry(objects[2], "$classname",
                               in.ConsumeBool() ? makeString(text(in, kArchiveWords))
                                                : anyObject(in, 1, kArchiveWords));
      }
      break;
    default:  // the colour becomes an array holding itself
      if (objects.size() > 2) {
        objects[1] = makeDictionary(
            {{makeString("$class"), uid(2)}, {makeString("NS.objects"), makeArray({uid(1)})}});
        objects[2] = withEntry(objects[2], "$classname", makeString("NSArray"));
      }
      break;
  }
  return withEntry(archive, "$objects", makeArray(objects));
}

}  // namespace

id colourArchive(FuzzedDataProvider& in) {
  int kind = in.ConsumeIntegralInRange(0, 2);
  if (kind == 0) return anyData(in);
  id colour = makeColor(awkwardReal(in), awkwardReal(in), awkwardReal(in), awkwardReal(in));
  id data = archivedDataWithRootObject(colour);
  if (!data || kind == 1) return data;
  id archive = propertyListFromBytes(
      std::string_view(static_cast<const char*>(msgSend<const void*>(data, SELECTOR("bytes"))),
                       msgSend<NSUInteger>(data, SELECTOR("length"))));
  if (!isDictionary(archive)) return data;
  id broken = brokenArchive(in, archive);
  std::string out = in.ConsumeBool() ? propertyListBinary(broken) : propertyListXML(broken);
  return makeData(std::vector<uint8_t>(out.begin(), out.end()));
}

std::string colourText(FuzzedDataProvider& in) {
  auto component = [&]() -> std::string {
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0:
        return std::to_string(in.ConsumeIntegralInRange(0, 255));
      case 1:
        return std::to_string(in.ConsumeIntegralInRange(-1000, 100000));
      case 2: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", in.ConsumeIntegralInRange(0, 20),
                      in.ConsumeFloatingPointInRange(0.0, 300.0));
        return buf;
      }
      default:
        return in.ConsumeRandomLengthString(12);
    }
  };
  auto blank = [&] { return std::string(in.ConsumeIntegralInRange(0, 2), ' '); };
  switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "#%06x", in.ConsumeIntegralInRange(0, 0xffffff));
      std::string t = buf;
      if (in.ConsumeBool()) t += ":" + component();
      return blank() + t + blank();
    }
    case 1:
      return "rgb(" + component() + "," + blank() + component() + ", " + component() + ")";
    case 2:
      return "rgba" + blank() + "(" + component() + "," + component() + "," + component() + "," +
             component() + ")" + blank();
    case 3:
      return "#" + in.ConsumeRandomLengthString(10);
    default:
      return in.ConsumeRandomLengthString(40);
  }
}

}  // namespace qv::fuzz
