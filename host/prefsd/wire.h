// Messages between the preferences daemon and its clients on a stream socket: the length as
// 4 bytes, little-endian, then that many bytes encoding a dictionary (value_codec.h). Requests
// carry "op" and their arguments; every reply carries "ok", and "error" when it is false.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/plist_guard.h"
#include "platform/objc.h"

namespace qv::host::prefsd {

constexpr size_t kHeaderBytes = 4;
// A message may carry a whole domain, which a file may hold up to this size.
constexpr size_t kMaxMessageBytes = kMaxPropertyListBytes;

// The framed bytes of a dictionary; empty when it is not a property list.
std::string encodeMessage(id dictionary);
// The dictionary a payload holds (autoreleased), or nil.
id decodeMessage(std::string_view payload);

// Whether a payload's dictionary holds true under `key`; read without making objects, for
// code that runs when the runtime may be ending.
bool messageFlag(std::string_view payload, const char* key);

enum class Frame { Incomplete, Ready, TooLong };
// Whether `buffer` begins with a whole message, or with a header announcing one too long
// (what takeFrame would not call Incomplete).
bool frameReady(const std::string& buffer);

// Moves the first whole message of `buffer` into `payload`. TooLong: its header announces
// more than kMaxMessageBytes, so the stream cannot be followed any further.
Frame takeFrame(std::string& buffer, std::string& payload);

// Blocking I/O for clients; false on an error, a timeout or the end of the stream.
bool sendAll(int fd, std::string_view bytes);
bool receiveMessage(int fd, std::string& payload);

}  // namespace qv::host::prefsd
