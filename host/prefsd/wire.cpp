#include "prefsd/wire.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdint>

#include "foundation/foundation_internal.h"
#include "foundation/property_list.h"

namespace qv::host::prefsd {
namespace {

size_t announcedLength(const char* header) {
  size_t length = 0;
  for (size_t i = 0; i < kHeaderBytes; i++) {
    length |= size_t{static_cast<unsigned char>(header[i])} << (8 * i);
  }
  return length;
}

bool receiveAll(int fd, char* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::recv(fd, out + done, size - done, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string encodeMessage(id dictionary) {
  std::string payload = isDictionary(dictionary) ? propertyListBinary(dictionary) : "";
  if (payload.empty() || payload.size() > kMaxMessageBytes) return "";
  std::string out(kHeaderBytes, '\0');
  for (size_t i = 0; i < kHeaderBytes; i++) {
    out[i] = static_cast<char>((payload.size() >> (8 * i)) & 0xff);
  }
  return out + payload;
}

id decodeMessage(std::string_view payload) {
  id object = propertyListFromBytes(payload);
  return isDictionary(object) ? object : nil;
}

bool messageFlag(std::string_view payload, const char* key) {
  PlistPtr root = parsePropertyListBytes(payload);
  if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return false;
  plist_t item = plist_dict_get_item(root.get(), key);
  if (!item || plist_get_node_type(item) != PLIST_BOOLEAN) return false;
  uint8_t value = 0;
  plist_get_bool_val(item, &value);
  return value != 0;
}

Frame takeFrame(std::string& buffer, std::string& payload) {
  if (buffer.size() < kHeaderBytes) return Frame::Incomplete;
  size_t length = announcedLength(buffer.data());
  if (length > kMaxMessageBytes) return Frame::TooLong;
  if (buffer.size() < kHeaderBytes + length) return Frame::Incomplete;
  payload.assign(buffer, kHeaderBytes, length);
  buffer.erase(0, kHeaderBytes + length);
  return Frame::Ready;
}

bool sendAll(int fd, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool receiveMessage(int fd, std::string& payload) {
  char header[kHeaderBytes];
  if (!receiveAll(fd, header, kHeaderBytes)) return false;
  size_t length = announcedLength(header);
  if (length > kMaxMessageBytes) return false;
  payload.resize(length);
  return receiveAll(fd, payload.data(), length);
}

}  // namespace qv::host::prefsd
