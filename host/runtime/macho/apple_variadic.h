// Entries for the variadic functions a phone's library imports, taking their variable
// arguments as Apple's arm64 convention passes them: every one on the stack, in a slot of
// eight bytes, while the host's own (AAPCS64) functions take them in registers first. Where
// the two conventions agree (x86-64), the entry is the function itself. The framework that
// defines such a function registers its entry when the host library loads (Foundation's
// NSLog), so the loader binds images to it without depending on that framework.
#pragma once

namespace qv::macho {

void registerAppleVariadicEntry(const char* name, const void* entry);
// The entry registered under a function's C name, or null.
const void* appleVariadicEntry(const char* name);

}  // namespace qv::macho
