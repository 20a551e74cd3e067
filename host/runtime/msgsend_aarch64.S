// objc_msgSend: finds the receiver's implementation of a selector in its class's method cache
// and jumps to it with every argument register as the caller left it (x0-x8, q0-q7 and the
// stack). The receiver is never nil here (the typed send returns zero for nil itself).
// Misses, and selectors cached as unanswered, go to qv_msgsend_miss, which fills the cache or
// aborts for a selector nothing answers. Only x9-x12, x16 and x17 are used, which every caller
// expects a call to clobber.
//
// Layout relied on: object->isa at 0; class->cache at 24; cache->offsetMask at 0, slots from
// 16, each slot { SEL sel; IMP imp; } of 16 bytes, a null imp marking an unanswered selector.

#include "arguments_aarch64.inc"

    .text
    .globl objc_msgSend
    .type objc_msgSend, %function
    .p2align 4
objc_msgSend:
    .cfi_startproc
    ldr x16, [x0]                 // isa
    and x16, x16, #0x0000ffffffffffff  // without an arm64e signature
    ldr x16, [x16, #24]           // cache
    ldr x9, [x16]                 // offsetMask
    and x10, x1, x9               // byte offset of the first slot to look at
1:
    add x11, x16, x10
    ldr x12, [x11, #16]           // the slot's selector
    cmp x12, x1
    b.eq 2f
    cbz x12, .Lmiss
    add x10, x10, #16
    and x10, x10, x9
    b 1b
2:
    ldr x17, [x11, #24]           // its implementation
    cbz x17, .Lmiss
    br x17
.Lmiss:
    SAVE_ARGUMENTS
    bl qv_msgsend_miss
    mov x17, x0
    RESTORE_ARGUMENTS_AND_JUMP x17
    .cfi_endproc
    .size objc_msgSend, .-objc_msgSend

    .section .note.GNU-stack,"",%progbits
