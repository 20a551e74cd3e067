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

std::vector<LibraryStateValue> libraryState() {
  using ReadState = bool (*)(unsigned, const char**, char*, double*);
  static std::atomic<ReadState> found{nullptr};
  ReadState read = diagnostic(found, "quorvelReadState");
  std::vector<LibraryStateValue> state;
  const char* name = nullptr;
  char kind = 0;
  double value = 0;
  for (unsigned i = 0; read && read(i, &name, &kind, &value); ++i)
    state.push_back({name, kind, value});
  return state;
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

std::vector<std::string> libraryHookTable(const char* family) {
  using Entry = bool (*)(const char*, unsigned, const char**, const char**, bool*);
  static std::atomic<Entry> found{nullptr};
  std::vector<std::string> hooks;
  Entry entry = diagnostic(found, "quorvelHookTableEntry");
  const char* cls = nullptr;
  const char* sel = nullptr;
  bool classMethod = false;
  for (unsigned i = 0; entry && entry(family, i, &cls, &sel, &classMethod); ++i) {
    hooks.push_back(std::string(classMethod ? "+[" : "-[") + cls + " " + sel + "]");
  }
  return hooks;
}

namespace {

// The notes of a diagnostic that hands out pairs of texts by index, until it answers false.
using ReadNote = bool (*)(unsigned, const char**, const char**);
std::vector<LibraryNote> notes(std::atomic<ReadNote>& found, const char* name) {
  std::vector<LibraryNote> out;
  ReadNote read = diagnostic(found, name);
  const char* subject = nullptr;
  const char* detail = nullptr;
  for (unsigned i = 0; read && read(i, &subject, &detail); ++i) out.push_back({subject, detail});
  return out;
}

}  // namespace

std::vector<LibraryNote> libraryMissingClasses() {
  static std::atomic<ReadNote> found{nullptr};
  return notes(found, "quorvelMissingClass");
}

std::vector<LibraryNote> libraryUnguarded() {
  static std::atomic<ReadNote> found{nullptr};
  return notes(found, "quorvelUnguarded");
}

}  // namespace qv::host
