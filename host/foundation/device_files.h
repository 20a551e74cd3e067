// Whole-file reads and writes at device paths, never outside the device root.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace qv::host {

// The contents of a regular file, or nothing when it is missing, unreadable, not a regular
// file or larger than `maxBytes`.
std::optional<std::string> readDeviceFile(const std::string& devicePath, size_t maxBytes);

// Writes `bytes` as the whole file. Atomically: into a temporary file in the same folder,
// synced, then renamed over the target, so a reader sees the old or the new file, never a
// part; on failure the temporary is removed and the old file stays. Otherwise in place.
// Missing parent folders are not created. On failure errno says why. A `temporaryTag` goes
// into the temporary's name (".NAME.TAG.XXXXXX"), so that its writer can tell its own
// temporaries, left by a write that was killed, from other processes' ones.
bool writeDeviceFile(const std::string& devicePath, const std::string& bytes, bool atomically,
                     const std::string& temporaryTag = "");

}  // namespace qv::host
