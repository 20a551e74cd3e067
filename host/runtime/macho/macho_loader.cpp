#include "runtime/macho/macho_loader.h"

#include <fstream>
#include <iterator>
#include <mutex>

#include "runtime/macho/byte_reader.h"
#include "runtime/macho/code_signature.h"
#include "runtime/macho/fixups.h"
#include "runtime/macho/macho_format.h"
#include "runtime/macho/pointer_auth.h"
#include "runtime/macho/symbols.h"
#include "runtime/system_images.h"

extern char** environ;

namespace qv::macho {

namespace {

std::mutex& imagesLock() {
  static auto* m = new std::mutex();
  return *m;
}
std::vector<LoadedImage*>& images() {
  static auto* v = new std::vector<LoadedImage*>();
  return *v;
}

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) refuse("no such file");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (in.bad()) refuse("cannot read the file");
  return bytes;
}

void checkPlatform(const Image& image, const LoadOptions& options, const std::string& path) {
  if (image.platform != kPlatformIos) {
    refuse("mach-o file (" + path + "), but incompatible platform (have '" +
           (image.platform ? std::to_string(image.platform) : std::string("unknown")) +
           "', need 'iOS')");
  }
  if (options.osVersion && image.minOS > *options.osVersion) {
    refuse("mach-o file (" + path + ") was built for iOS " + versionText(image.minOS) +
           " which is newer than running OS " + versionText(*options.osVersion));
  }
}

// Each library the image links, resolved as dyld finds it: @rpath against each LC_RPATH in
// turn; null for a weak link that is missing.
std::vector<const SystemLibrary*> resolveLibraries(const Image& image,
                                                   const SystemLibraries& system,
                                                   const std::string& path) {
  std::vector<const SystemLibrary*> found;
  for (const DylibLink& link : image.dylibs) {
    std::vector<std::string> tried;
    const std::string rpath = "@rpath/";
    if (link.installName.rfind(rpath, 0) == 0) {
      for (const std::string& r : image.rpaths)
        tried.push_back(r + "/" + link.installName.substr(rpath.size()));
    } else {
      tried.push_back(link.installName);
    }
    const SystemLibrary* library = nullptr;
    for (const std::string& candidate : tried) {
      // A library the table knows but this device lacks is no file to dyld either.
      if ((library = system.atPath(candidate)) && runtime::systemImageMissing(library->path)) {
        library = nullptr;
      }
      if (library) break;
    }
    if (!library && !link.weak) {
      std::string reasons;
      for (const std::string& t : tried)
        reasons += (reasons.empty() ? "" : ", ") + ("'" + t + "' (no such file)");
      refuse("Library not loaded: " + link.installName + "\n  Referenced from: " + path +
             "\n  Reason: tried: " + (reasons.empty() ? "no LC_RPATH" : reasons));
    }
    found.push_back(library);
  }
  return found;
}

class Binder {
 public:
  Binder(const Image& image, std::vector<const SystemLibrary*> libraries,
         const ImageMapping& memory, std::string path)
      : image_(image), libraries_(std::move(libraries)), memory_(memory), path_(std::move(path)) {}

  uint64_t operator()(int ordinal, const std::string& symbol, bool weakImport) const {
    if (ordinal == kOrdinalSelf) {
      if (auto offset = findExport(image_, symbol)) {
        return reinterpret_cast<uint64_t>(memory_.base()) + *offset;
      }
      return missing(symbol, weakImport, path_);
    }
    if (ordinal < 0) {
      // Flat and main-executable lookups have no place in a two-level image of ours.
      refuse("malformed mach-o image: symbol " + symbol + " is bound with special ordinal " +
             std::to_string(ordinal));
    }
    if (static_cast<size_t>(ordinal) > libraries_.size()) {
      refuse("malformed mach-o image: symbol " + symbol + " names library " +
             std::to_string(ordinal) + " of " + std::to_string(libraries_.size()));
    }
    const SystemLibrary* library = libraries_[ordinal - 1];
    const std::string& expected = image_.dylibs[ordinal - 1].installName;
    if (!library) return missing(symbol, true, expected);
    auto it = library->symbols.find(symbol);
    if (it == library->symbols.end()) return missing(symbol, weakImport, expected);
    const HostSymbol& s = it->second;
    if (image_.cpu.arm64e() && s.arm64eEntry) return reinterpret_cast<uint64_t>(s.arm64eEntry);
    if (s.variadic) {
      if (!s.appleEntry) {
        refuse("Symbol not bound: " + symbol +
               " is variadic, and the host has no entry for "
               "Apple's arm64 calling convention\n  Referenced from: " +
               path_ + "\n  Expected in: " + expected);
      }
      return reinterpret_cast<uint64_t>(s.appleEntry);
    }
    return reinterpret_cast<uint64_t>(s.address);
  }

 private:
  uint64_t missing(const std::string& symbol, bool weakImport, const std::string& expected) const {
    if (weakImport) return 0;
    refuse("Symbol not found: " + symbol + "\n  Referenced from: " + path_ +
           "\n  Expected in: " + expected);
  }

  const Image& image_;
  std::vector<const SystemLibrary*> libraries_;
  const ImageMapping& memory_;
  std::string path_;
};

using Initialiser = void (*)(int argc, const char** argv, char** envp, const char** apple,
                             void* vars);

// The initialisers in the order dyld runs them: each section's entries in turn. An arm64e
// image's __mod_init_func entries are called as dyld calls them, authenticated as function
// pointers (an unsigned one fails); its __init_offsets are offsets dyld turns into calls
// itself.
std::vector<Initialiser> initialisers(const Image& image, const ImageMapping& memory) {
  std::vector<Initialiser> found;
  for (const Segment& segment : image.segments) {
    for (const Section& section : segment.sections) {
      if (section.type() == kSectionModInitFuncPointers) {
        if (section.size % 8) refuse("malformed mach-o image: __mod_init_func size");
        for (uint64_t at = 0; at < section.size; at += 8) {
          uint64_t entry = *memory.fixupSlot(section.addr + at);
          if (image.cpu.arm64e()) entry = authenticatePointer(entry, PointerKey::IA, 0);
          found.push_back(reinterpret_cast<Initialiser>(entry));
        }
      } else if (section.type() == kSectionInitFuncOffsets) {
        if (section.size % 4) refuse("malformed mach-o image: __init_offsets size");
        for (uint64_t at = 0; at < section.size; at += 4) {
          uint32_t offset = memory.read32(section.addr + at);
          found.push_back(reinterpret_cast<Initialiser>(memory.base() + offset));
        }
      }
    }
  }
  // Each must lie in the image's executable code.
  for (Initialiser init : found) {
    uint64_t address = reinterpret_cast<uint64_t>(init);
    if (image.cpu.arm64e()) address = stripPointer(address, PointerKey::IA);
    bool inCode = false;
    for (const Segment& s : image.segments) {
      uint64_t start = memory.runtimeAddress(s.vmaddr);
      if ((s.initprot & kProtExecute) && address >= start && address - start < s.vmsize)
        inCode = true;
    }
    if (!inCode) refuse("malformed mach-o image: an initialiser lies outside the image's code");
  }
  return found;
}

}  // namespace

Cpu processCpu() {
#if defined(__aarch64__)
  return {kCpuTypeArm64, kCpuSubtypeArm64All};
#elif defined(__x86_64__)
  return {kCpuTypeX86_64, 3};
#else
#error "no Mach-O processor type for this host"
#endif
}

bool looksLikeMachO(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 4) return false;
  uint32_t magic;
  std::memcpy(&magic, bytes.data(), 4);
  return magic == kMagic64 || magic == 0xfeedface || bigEndian(magic) == kFatMagic ||
         bigEndian(magic) == kFatMagic64;
}

void* LoadedImage::exported(const std::string& name) const {
  auto offset = findExport(image, "_" + name);
  return offset ? mapping->base() + *offset : nullptr;
}

void* LoadedImage::symbol(const std::string& name) const {
  auto offset = findSymbol(image, "_" + name);
  return offset ? mapping->base() + *offset : nullptr;
}

const LoadedImage& loadImage(const std::string& path, const LoadOptions& options) {
  const SystemLibraries& system = options.libraries ? *options.libraries : SystemLibraries::host();
  auto loaded = std::make_unique<LoadedImage>();
  loaded->path = path;
  loaded->file = readFile(path);
  loaded->image = parseImage(loaded->file, options.cpu, path);
  const Image& image = loaded->image;
  checkPlatform(image, options, path);
  std::vector<const SystemLibrary*> libraries = resolveLibraries(image, system, path);
  std::vector<std::string> linked;
  for (const SystemLibrary* library : libraries) {
    if (library) linked.push_back(library->path);
  }
  verifyCodeSignature(image, path);
  loaded->mapping = std::make_unique<ImageMapping>(image);
  const ImageMapping& memory = *loaded->mapping;
  Binder binder(image, std::move(libraries), memory, path);
  SymbolResolver resolve = std::cref(binder);
  applyOpcodeFixups(image, memory, resolve);
  applyChainedFixups(image, memory, resolve);
  std::vector<Initialiser> inits = initialisers(image, memory);
  loaded->mapping->protect();
  loaded->mapping->keep();
  LoadedImage* kept = loaded.release();
  {
    std::lock_guard<std::mutex> guard(imagesLock());
    images().push_back(kept);
  }
  // The libraries it links are loaded before its initialisers run; their classes exist then.
  for (const std::string& library : linked) {
    if (runtime::systemImageKnown(library)) runtime::loadSystemImage(library);
  }
  const char* argv[] = {"SpringBoard", nullptr};
  const char* apple[] = {nullptr};
  for (Initialiser init : inits) init(1, argv, environ, apple, nullptr);
  return *kept;
}

bool inArm64eImage(uint64_t address) {
  std::lock_guard<std::mutex> guard(imagesLock());
  for (const LoadedImage* image : images()) {
    uint64_t base = reinterpret_cast<uint64_t>(image->mapping->base());
    if (image->arm64e() && address >= base && address - base < image->mapping->size()) return true;
  }
  return false;
}

std::optional<Cpu> arm64eCpu() {
  if (processCpu().type != kCpuTypeArm64 || !pointerAuthenticationAvailable()) return std::nullopt;
  return Cpu{kCpuTypeArm64, kCpuSubtypeArm64E | kCpuSubtypePtrauthAbi};
}

std::vector<const LoadedImage*> loadedImages() {
  std::lock_guard<std::mutex> guard(imagesLock());
  return {images().begin(), images().end()};
}

}  // namespace qv::macho
