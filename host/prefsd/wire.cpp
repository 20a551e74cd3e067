#include "prefsd/wire.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdint>

#include "foundation/value_objects.h"
#include "prefsd/value_codec.h"

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
  std::string out(kHeaderBytes, '\0');
  if (!isDictionary(dictionary) || !encodeValue(dictionary, out)) return "";
  size_t length = out.size() - kHeaderBytes;
  if (length > kMaxMessageBytes) return "";
  for (size_t i = 0; i < kHeaderBytes; i++) out[i] = static_cast<char>((length >> (8 * i)) & 0xff);
  return out;
}

id decodeMessage(std::string_view payload) {
  id object = decodeValue(payload);
  return isDictionary(object) ? object : nil;
}

bool messageFlag(std::string_view payload, const char* key) { return dictionaryFlag(payload, key); }

bool frameReady(const std::string& buffer) {
  if (buffer.size() < kHeaderBytes) return false;
  size_t length = announcedLength(buffer.data());
  return length > kMaxMessageBytes || buffer.size() >= kHeaderBytes + length;
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
