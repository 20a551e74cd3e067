#include "runtime/loader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/macho_loader.h"

namespace qv {

namespace {

// The first bytes of the file, enough to tell its format.
std::vector<uint8_t> fileStart(const std::string& path) {
  std::vector<uint8_t> bytes(4);
  std::ifstream in(path, std::ios::binary);
  in.read(reinterpret_cast<char*>(bytes.data()), 4);
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

const macho::LoadedImage* machOImage() {
  std::vector<const macho::LoadedImage*> images = macho::loadedImages();
  return images.empty() ? nullptr : images.back();
}

}  // namespace

bool loadLibrary(const std::string& path, const LibraryLoadOptions& options, std::string* error) {
  if (macho::looksLikeMachO(fileStart(path))) {
    try {
      macho::LoadOptions load;
      load.cpu = macho::processCpu();
      if (options.cpu == "arm64e") {
        std::optional<macho::Cpu> arm64e = macho::arm64eCpu();
        if (!arm64e)
          throw macho::LoadError{
              "this host cannot run arm64e code: it has no pointer authentication"};
        load.cpu = *arm64e;
      }
      load.osVersion = macho::parseVersion(options.osVersion);
      macho::loadImage(path, load);
      return true;
    } catch (const macho::LoadError& e) {
      if (error) *error = "dlopen(" + path + "): " + e.message;
      return false;
    }
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!handle) {
    if (error) *error = dlerror();
    return false;
  }
  return true;
}

std::string chosenLibrary(const std::string& built) {
  const char* chosen = std::getenv("QUORVEL_LIBRARY");
  return chosen && *chosen ? chosen : built;
}

std::string chosenCpu(const std::string& osVersion) {
  const char* chosen = std::getenv("QUORVEL_CPU");
  std::string cpu = chosen && *chosen ? chosen : "arm64";
  std::optional<uint32_t> os = macho::parseVersion(osVersion);
  if (cpu == "arm64e" && os && *os < 0x000e0000) return "arm64";
  return cpu;
}

void* librarySymbol(const char* name) {
  if (const macho::LoadedImage* image = machOImage()) return image->exported(name);
  return dlsym(RTLD_DEFAULT, name);
}

void* libraryDiagnosticSymbol(const char* name) {
  if (const macho::LoadedImage* image = machOImage()) return image->symbol(name);
  return dlsym(RTLD_DEFAULT, name);
}

}  // namespace qv
