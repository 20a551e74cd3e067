#include "springboard/library_view.h"

#include <atomic>

#include "runtime/loader.h"

namespace qv::host {

id libraryObject(const char* name) {
  auto* slot = static_cast<id*>(librarySymbol(name));
  return slot ? *slot : nil;
}

namespace {

// A diagnostic the library keeps but does not export on a phone; looked up until the library
// is loaded, and kept once found (a loaded library stays).
template <class Fn>
Fn diagnostic(std::atomic<Fn>& found, const char* name) {
  Fn fn = found.load(std::memory_order_acquire);
  if (!fn) {
    fn = reinterpret_cast<Fn>(libraryDiagnosticSymbol(name));
    found.store(fn, std::memory_order_release);
  }
  return fn;
}

}  // namespace

std::optional<double> libraryValue(const std::string& name) {
  using ReadState = bool (*)(const char*, double*);
  static std::atomic<ReadState> found{nullptr};
  ReadState readState = diagnostic(found, "quorvelReadState");
  double value = 0;
  if (!readState || !readState(name.c_str(), &value)) return std::nullopt;
  return value;
}

std::vector<std::string> librarySkippedHooks() {
  using Skipped = bool (*)(unsigned, const char**, const char**, bool*);
  static std::atomic<Skipped> found{nullptr};
  std::vector<std::string> hooks;
  Skipped skipped = diagnostic(found, "quorvelSkippedHook");
  const char* cls = nullptr;
  const char* sel = nullptr;
  bool classMethod = false;
  for (unsigned i = 0; skipped && skipped(i, &cls, &sel, &classMethod); ++i) {
    hooks.push_back(std::string(classMethod ? "+[" : "-[") + cls + " " + sel +
                    "] skipped: no class " + cls);
  }
  return hooks;
}

std::vector<MissingClass> libraryMissingClasses() {
  using Missing = bool (*)(unsigned, const char**, const char**);
  static std::atomic<Missing> found{nullptr};
  std::vector<MissingClass> classes;
  Missing missing = diagnostic(found, "quorvelMissingClass");
  const char* name = nullptr;
  const char* whatNeedsIt = nullptr;
  for (unsigned i = 0; missing && missing(i, &name, &whatNeedsIt); ++i) {
    classes.push_back({name, whatNeedsIt});
  }
  return classes;
}

std::vector<Unguarded> libraryUnguarded() {
  using Read = bool (*)(unsigned, const char**, const char**);
  static std::atomic<Read> found{nullptr};
  std::vector<Unguarded> out;
  Read read = diagnostic(found, "quorvelUnguarded");
  const char* what = nullptr;
  const char* why = nullptr;
  for (unsigned i = 0; read && read(i, &what, &why); ++i) out.push_back({what, why});
  return out;
}

}  // namespace qv::host
