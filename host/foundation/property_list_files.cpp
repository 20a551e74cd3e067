// Property lists as bytes and files.
#include <cerrno>
#include <cstdint>

#include "foundation/device_files.h"
#include "foundation/plist_guard.h"
#include "foundation/property_list.h"

namespace qv::host {

PlistPtr parsePropertyListBytes(std::string_view bytes) {
  if (!propertyListInputIsSafe(bytes)) return nullptr;
  // libplist writes its result only on success and crashes on malformed input when the
  // output already holds something.
  plist_t root = nullptr;
  auto length = static_cast<uint32_t>(bytes.size());
  if (isBinaryPropertyList(bytes)) {
    plist_from_bin(bytes.data(), length, &root);
  } else {
    plist_from_xml(bytes.data(), length, &root);
  }
  return PlistPtr(root);
}

id propertyListFromBytes(std::string_view bytes) {
  PlistPtr root = parsePropertyListBytes(bytes);
  return root ? objectFromPlistNode(root.get()) : nil;
}

std::string propertyListXML(id object) {
  PlistPtr root = plistNodeFromObject(object, true);
  if (!root) return "";
  char* xml = nullptr;
  uint32_t length = 0;
  plist_to_xml(root.get(), &xml, &length);
  std::string out = xml ? std::string(xml, length) : std::string();
  if (xml) plist_to_xml_free(xml);
  return out;
}

std::string propertyListBinary(id object) {
  PlistPtr root = plistNodeFromObject(object);
  if (!root) return "";
  char* bin = nullptr;
  uint32_t length = 0;
  plist_to_bin(root.get(), &bin, &length);
  std::string out = bin ? std::string(bin, length) : std::string();
  if (bin) plist_to_bin_free(bin);
  return out;
}

id readPropertyListFile(const std::string& devicePath) {
  std::optional<std::string> bytes = readDeviceFile(devicePath, kMaxPropertyListBytes);
  return bytes ? propertyListFromBytes(*bytes) : nil;
}

bool writePropertyListFile(const std::string& devicePath, id object, bool atomically) {
  std::string xml = propertyListXML(object);
  if (xml.empty()) {
    errno = EINVAL;
    return false;
  }
  return writeDeviceFile(devicePath, xml, atomically);
}

}  // namespace qv::host
