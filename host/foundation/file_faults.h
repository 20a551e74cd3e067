// Faults the file layer can be told to simulate, for tests of what survives a failed write.
// Running as root, permissions cannot make a folder read-only, so the faults are injected.
#pragma once

#include <string>

namespace qv::host {

enum class WriteFault {
  None,
  ReadOnlyFolder,  // the folder refuses new files (EROFS)
  NoSpaceMidway,   // half of the bytes are written, then the disk is full (ENOSPC)
  FailedRename,    // everything is written and synced, then the rename fails (EIO)
};

// The next `count` writes of whole files fail with `fault` (count < 0: every write).
void injectWriteFault(WriteFault fault, int count = 1);

// The fault the next write should suffer, consuming one use of it.
WriteFault takeWriteFault();

// The name a write fault travels under to the preferences daemon ("" for none), and back.
const char* faultName(WriteFault fault);
bool faultNamed(const std::string& name, WriteFault& fault);

}  // namespace qv::host
