// What the host provides under each install name a phone's library links: the one table a
// Mach-O image's two-level imports are bound from, as dyld binds them from the system's
// libraries. A symbol is found only in the library that provides it.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace qv::macho {

struct HostSymbol {
  const void* address = nullptr;
  // A variadic function: Apple's arm64 convention passes its variable arguments differently
  // (on the stack), so an image binds to `appleEntry`, which takes them that way; a variadic
  // function without one cannot be bound.
  bool variadic = false;
  const void* appleEntry = nullptr;
  // For an arm64e image: an entry that authenticates the pointers the image hands over and
  // signs those it gets back (null: the function takes and returns no code pointer).
  const void* arm64eEntry = nullptr;
};

struct SystemLibrary {
  std::string installName;                    // what an image names in its load command
  std::string path;                           // where it lives on the device; @rpath resolves to it
  std::map<std::string, HostSymbol> symbols;  // Mach-O names: "_objc_msgSend"
};

class SystemLibraries {
 public:
  void add(SystemLibrary library) { libraries_.push_back(std::move(library)); }
  // The library at a device path, or null.
  const SystemLibrary* atPath(const std::string& path) const;
  const std::vector<SystemLibrary>& all() const { return libraries_; }

  // libobjc.A, libSystem.B (with what it re-exports), libc++.1, CoreFoundation, Foundation,
  // CoreGraphics and the substrate, as this host implements them.
  static const SystemLibraries& host();

 private:
  std::vector<SystemLibrary> libraries_;
};

// Whether a function's type is variadic, for the table's entries.
template <class R, class... A>
constexpr bool isVariadic(R (*)(A...)) {
  return false;
}
template <class R, class... A>
constexpr bool isVariadic(R (*)(A..., ...)) {
  return true;
}
template <class R, class... A>
constexpr bool isVariadic(R (*)(A...) noexcept) {
  return false;
}
template <class R, class... A>
constexpr bool isVariadic(R (*)(A..., ...) noexcept) {
  return true;
}
template <class T>
requires(!std::is_function_v<T>) constexpr bool isVariadic(T*) { return false; }

}  // namespace qv::macho
