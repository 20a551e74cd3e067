// NSBlock: an object owning a callable's context, checked against the callable's type on use.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/events_internal.h"
#include "foundation/foundation_internal.h"
#include "platform/block.h"
#include "runtime/class_builder.h"

namespace qv::host {
namespace {

struct NSBlockObj : objc_object {
  void* context = nullptr;
  void (*destroy)(void*) = nullptr;
  std::string signature;
  // Runs once, when the last reference goes: the runtime's counts are atomic, so blocks may
  // be retained and released from any thread.
  ~NSBlockObj() {
    if (destroy) destroy(context);
  }
};

Class gBlock;

[[noreturn]] void blockFailure(const char* what, const char* detail) {
  std::fprintf(stderr, "qv_block_context: %s%s\n", what, detail);
  std::fflush(stderr);
  std::abort();
}

}  // namespace

void registerBlockClass() { gBlock = ClassBuilder<NSBlockObj>("NSBlock", "NSObject").cls(); }

}  // namespace qv::host

using namespace qv::host;

extern "C" {

id qv_block_create(void* context, void (*destroy)(void*), const char* signature) {
  id block = qv::runtime::createInstance(gBlock);
  auto* b = qv::fields<NSBlockObj>(block);
  b->context = context;
  b->destroy = destroy;
  b->signature = signature ? signature : "";
  return block;
}

void* qv_block_context(id block, const char* signature) {
  if (!block) blockFailure("nil block", "");
  if (!isKind(block, gBlock)) {
    blockFailure("not a block: an instance of ", class_getName(object_getClass(block)));
  }
  auto* b = qv::fields<NSBlockObj>(block);
  if (std::strcmp(b->signature.c_str(), signature ? signature : "") != 0) {
    std::string detail = "made as " + b->signature + ", invoked as " + (signature ? signature : "");
    blockFailure("block signature mismatch: ", detail.c_str());
  }
  return b->context;
}

}  // extern "C"
