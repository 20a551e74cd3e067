// Loads a library into the process the way the substrate does: its initialisers run at load.
// A native shared object goes through dlopen; a phone's Mach-O dylib through our own loader,
// which does what dyld does for it (runtime/macho/).
#pragma once

#include <string>

namespace qv {

struct LibraryLoadOptions {
  std::string osVersion;  // the device's, as UIDevice reports it: a Mach-O's minimum is compared
  // The device's processor, "arm64" or "arm64e": the slice of a Mach-O it loads (an arm64e
  // process loads arm64e code only).
  std::string cpu = "arm64";
};

// Loads `path` with every symbol resolved at once; returns false and fills `error` (dyld's or
// dlopen's message) when it cannot be loaded, leaving nothing of it in the process.
bool loadLibrary(const std::string& path, const LibraryLoadOptions& options, std::string* error);

// The library file to load: the one the QUORVEL_LIBRARY environment variable names (the
// phone's Mach-O dylib, say), else `built`, the native one of this build.
std::string chosenLibrary(const std::string& built);

// The processor of a device with this OS that the QUORVEL_CPU environment variable chooses
// (else "arm64"): "arm64e" chooses arm64e where the arm64e slice can load, on iOS 14 and
// later, and arm64 below (arm64e phones on 12 and 13 ran another, unversioned ABI, and no
// rootless jailbreak runs below 15). Test runs of the whole suite per processor set it.
std::string chosenCpu(const std::string& osVersion);

// What the loaded library exports under its C name ("defaults"), or null.
void* librarySymbol(const char* name);

// A symbol of the loaded library whether it exports it or not, for diagnostics: a Mach-O's
// symbol table names its hidden functions, as a debugger finds them. Null when absent.
void* libraryDiagnosticSymbol(const char* name);

}  // namespace qv
