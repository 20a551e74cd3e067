// Entries for the variadic functions a phone's library imports, taking their variable
// arguments as Apple's arm64 convention passes them: every one on the stack, in a slot of
// eight bytes, while the host's own (AAPCS64) functions take them in registers first. Where
// the two conventions agree (x86-64), the entry is the function itself.
#pragma once

namespace qv::macho {

const void* appleNSLogEntry();

}  // namespace qv::macho
