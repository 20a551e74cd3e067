// Pointer authentication as Apple's arm64e ABI prescribes it, for the pointers the library
// keeps in data that the system reads or writes. On arm64e clang signs every function pointer
// (instruction key A, discriminator 0) and return address itself; what differs is declared
// here, on the fields and slots it applies to. Elsewhere (arm64, the Linux host) nothing is
// signed and these say nothing.
#pragma once

#if defined(__has_feature)
#if __has_feature(ptrauth_qualifier)
#define QV_PTRAUTH_ABI 1
#endif
#endif

#ifdef QV_PTRAUTH_ABI

// A block literal's isa: data key A, its storage address blended with 0x6AE1, as libclosure
// declares the field and clang signs its own literals.
#define QV_PTRAUTH_BLOCK_ISA __ptrauth(2, 1, 0x6AE1)

// A block literal's invoke, and its descriptor's copy and dispose helpers: instruction key A,
// discriminated by their storage address alone (libclosure; clang's own literals alike).
#define QV_PTRAUTH_BLOCK_HELPER __ptrauth(0, 1, 0)
#ifdef QV_PTRAUTH_PROOF_WRONG_BLOCK_DISCRIMINATOR
// A proof build only: invoke signed with a discriminator the system does not expect.
#define QV_PTRAUTH_BLOCK_INVOKE __ptrauth(0, 1, 0x1234)
#else
#define QV_PTRAUTH_BLOCK_INVOKE QV_PTRAUTH_BLOCK_HELPER
#endif

// A hook's slot for the previous implementation: the substrate stores it signed as any
// function pointer (instruction key A, discriminator 0), which is how clang reads a plain
// function pointer, so the slot needs no qualifier of its own.
#ifdef QV_PTRAUTH_PROOF_WRONG_HOOK_DISCRIMINATOR
// A proof build only: the slot read with a discriminator the substrate did not sign with.
#define QV_PTRAUTH_HOOK_SLOT __ptrauth(0, 0, 0x1234)
#else
#define QV_PTRAUTH_HOOK_SLOT
#endif

#else

#define QV_PTRAUTH_BLOCK_ISA
#define QV_PTRAUTH_BLOCK_HELPER
#define QV_PTRAUTH_BLOCK_INVOKE
#define QV_PTRAUTH_HOOK_SLOT

#endif
