#include "runtime/macho/pointer_auth.h"

#include <cstdio>
#include <cstdlib>

#if defined(__aarch64__)
#include <sys/auxv.h>
#endif

namespace qv::macho {

#if defined(__aarch64__)

namespace {
constexpr unsigned long kHwcapPaca = 1UL << 30;  // address authentication (HWCAP_PACA)
}

bool pointerAuthenticationAvailable() { return getauxval(AT_HWCAP) & kHwcapPaca; }

// The instructions are armv8.3's; the rest of the host is built for armv8.0.
#define QV_PAC(op, value, modifier) \
  asm(".arch_extension pauth\n\t" op " %0, %1" : "+r"(value) : "r"(modifier))

uint64_t signPointer(uint64_t value, PointerKey key, uint64_t discriminator) {
  if (!pointerAuthenticationAvailable()) {
    std::fprintf(stderr, "signPointer: this processor has no pointer authentication\n");
    std::abort();
  }
  switch (key) {
    case PointerKey::IA:
      QV_PAC("pacia", value, discriminator);
      break;
    case PointerKey::IB:
      QV_PAC("pacib", value, discriminator);
      break;
    case PointerKey::DA:
      QV_PAC("pacda", value, discriminator);
      break;
    case PointerKey::DB:
      QV_PAC("pacdb", value, discriminator);
      break;
  }
  return value;
}

uint64_t authenticatePointer(uint64_t value, PointerKey key, uint64_t discriminator) {
  switch (key) {
    case PointerKey::IA:
      QV_PAC("autia", value, discriminator);
      break;
    case PointerKey::IB:
      QV_PAC("autib", value, discriminator);
      break;
    case PointerKey::DA:
      QV_PAC("autda", value, discriminator);
      break;
    case PointerKey::DB:
      QV_PAC("autdb", value, discriminator);
      break;
  }
  return value;
}

uint64_t stripPointer(uint64_t value, PointerKey key) {
  if (key == PointerKey::IA || key == PointerKey::IB) {
    asm(".arch_extension pauth\n\txpaci %0" : "+r"(value));
  } else {
    asm(".arch_extension pauth\n\txpacd %0" : "+r"(value));
  }
  return value;
}

#else

bool pointerAuthenticationAvailable() { return false; }

uint64_t signPointer(uint64_t, PointerKey, uint64_t) {
  std::fprintf(stderr, "signPointer: this processor has no pointer authentication\n");
  std::abort();
}

uint64_t authenticatePointer(uint64_t value, PointerKey, uint64_t) { return value; }
uint64_t stripPointer(uint64_t value, PointerKey) { return value; }

#endif

}  // namespace qv::macho
