// Any bytes through the property-list reader, from memory and from a file under the device
// root; what it reads must survive writing as XML and as binary and reading again.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "foundation/device_root.h"
#include "foundation/foundation.h"
#include "foundation/keyed_archive.h"
#include "foundation/property_list.h"
#include "foundation/values.h"
#include "support/device.h"

using namespace qv;
using namespace qv::host;

namespace {

const char* const kFile = "/var/mobile/Library/fuzz.plist";

[[noreturn]] void fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "property list: %s\n%s\n", what, detail.c_str());
  std::abort();
}

std::string describe(id object) {
  std::string xml = propertyListXML(object);
  return xml.empty() ? "(not writable)" : xml;
}

bool equal(id a, id b) { return a == b || (a && msgSend<BOOL>(a, SELECTOR("isEqual:"), b)); }

// `back` equals `original` as XML keeps it: a date as the second it falls in.
bool equalInXML(id original, id back) {
  if (isDate(original) && isDate(back)) {
    SEL interval = SELECTOR("timeIntervalSinceReferenceDate");
    return std::floor(msgSend<double>(original, interval)) == msgSend<double>(back, interval);
  }
  if (isArray(original) && isArray(back)) {
    std::vector<id> x = arrayItems(original), y = arrayItems(back);
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); i++) {
      if (!equalInXML(x[i], y[i])) return false;
    }
    return true;
  }
  if (isDictionary(original) && isDictionary(back)) {
    SEL count = SELECTOR("count"), objectForKey = SELECTOR("objectForKey:");
    if (msgSend<NSUInteger>(original, count) != msgSend<NSUInteger>(back, count)) return false;
    for (id key : arrayItems(msgSend<id>(original, SELECTOR("allKeys")))) {
      id other = msgSend<id>(back, objectForKey, key);
      if (!other || !equalInXML(msgSend<id>(original, objectForKey, key), other)) return false;
    }
    return true;
  }
  return equal(original, back);
}

// Written as XML or binary and read again, the object must come back equal (binary exactly).
void checkRoundTrip(id object) {
  for (bool binary : {false, true}) {
    std::string bytes = binary ? propertyListBinary(object) : propertyListXML(object);
    if (bytes.empty()) fail("a value read from bytes cannot be written", describe(object));
    id back = propertyListFromBytes(bytes);
    if (binary ? !equal(back, object) : !equalInXML(object, back)) {
      fail(binary ? "binary round trip changed the value" : "XML round trip changed the value",
           describe(object) + "\n-- read back --\n" + describe(back));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  registerFoundation();
  fuzz::useFreshDeviceRoot("plist");
  std::filesystem::create_directories(realPath("/var/mobile/Library"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AutoreleasePool pool;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  id fromBytes = propertyListFromBytes(bytes);

  // The same bytes in a file read the same.
  {
    std::ofstream out(realPath(kFile), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  id fromFile = readPropertyListFile(kFile);
  if (!equal(fromFile, fromBytes)) {
    fail("the file and the bytes read differently",
         describe(fromBytes) + "\n--\n" + describe(fromFile));
  }

  if (fromBytes) checkRoundTrip(fromBytes);

  // The same bytes as a keyed archive: anything malformed is refused without harm.
  unarchiveObjectWithData(makeData(std::vector<uint8_t>(data, data + size)));
  return 0;
}
