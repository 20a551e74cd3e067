// Loads a Mach-O dylib into this process as dyld loads a library: checks, maps, verifies the
// signature's page hashes, fixes up and binds against the host's system libraries, protects,
// then runs the initialisers. A refusal (LoadError) leaves nothing mapped and nothing run.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/macho/image_mapping.h"
#include "runtime/macho/macho_image.h"
#include "runtime/macho/system_libraries.h"

namespace qv::macho {

struct LoadOptions {
  Cpu cpu;                                     // the process's processor: the slice it runs
  std::optional<uint32_t> osVersion;           // the device's (packed); nothing: not compared
  const SystemLibraries* libraries = nullptr;  // null: the host's
};

// The processor this host process is.
Cpu processCpu();

// A loaded image; never unloaded.
struct LoadedImage {
  std::string path;
  std::vector<uint8_t> file;  // the file, which `image` refers to
  Image image;
  std::unique_ptr<ImageMapping> mapping;

  // The address of what the image exports as `name` (its C name: "defaults"), or null.
  void* exported(const std::string& name) const;
  // The same through the symbol table, hidden symbols included (for diagnostics).
  void* symbol(const std::string& name) const;
  // Built for arm64e: its code signs and authenticates pointers, and so does the host's side
  // of every boundary it crosses.
  bool arm64e() const { return image.cpu.arm64e(); }
};

// Loads `path`; refuses with LoadError, whose message is dyld's where dyld has one.
const LoadedImage& loadImage(const std::string& path, const LoadOptions& options);

// Whether `bytes` start like a Mach-O file (thin or fat).
bool looksLikeMachO(const std::vector<uint8_t>& bytes);

// Every image loaded so far, in order.
std::vector<const LoadedImage*> loadedImages();

// Whether `address` lies in a loaded arm64e image: code (a block's invoke, say) that signs
// the pointers it hands over.
bool inArm64eImage(uint64_t address);

// The processor of an arm64e device: what the process runs when the host can authenticate
// pointers (an aarch64 host whose processor has the feature); nothing elsewhere.
std::optional<Cpu> arm64eCpu();

}  // namespace qv::macho
