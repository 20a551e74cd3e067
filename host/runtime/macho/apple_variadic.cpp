#include "runtime/macho/apple_variadic.h"

#include <map>
#include <mutex>
#include <string>

namespace qv::macho {
namespace {

std::mutex gLock;
std::map<std::string, const void*>& entries() {
  static auto* registered = new std::map<std::string, const void*>();
  return *registered;
}

}  // namespace

void registerAppleVariadicEntry(const char* name, const void* entry) {
  std::lock_guard<std::mutex> g(gLock);
  entries()[name] = entry;
}

const void* appleVariadicEntry(const char* name) {
  std::lock_guard<std::mutex> g(gLock);
  auto it = entries().find(name);
  return it == entries().end() ? nullptr : it->second;
}

}  // namespace qv::macho
