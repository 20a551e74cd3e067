// objc_msgSend: finds the receiver's implementation of a selector in its class's method cache
// and jumps to it with every argument register as the caller left it. The receiver is never
// nil here (the typed send returns zero for nil itself). Misses, and selectors cached as
// unanswered, go to qv_msgsend_miss, which fills the cache or aborts for a selector nothing
// answers.
//
// Layout relied on: object->isa at 0; class->cache at 24; cache->offsetMask at 0, slots from
// 16, each slot { SEL sel; IMP imp; } of 16 bytes, a null imp marking an unanswered selector.

#include "arguments_x86_64.inc"

// PROBE self, sel, miss: jumps to the cached implementation, or to `miss`.
.macro PROBE self, sel, miss
    movq (\self), %r10            // isa
    movq 24(%r10), %r10           // cache
    movq \sel, %r11
    andq (%r10), %r11             // byte offset of the first slot to look at
1:
    cmpq 16(%r10,%r11,1), \sel
    je 2f
    cmpq $0, 16(%r10,%r11,1)
    je \miss
    addq $16, %r11
    andq (%r10), %r11
    jmp 1b
2:
    movq 24(%r10,%r11,1), %r11
    testq %r11, %r11
    jz \miss
    jmp *%r11
.endm

// RESOLVE self, sel: the slow path, keeping every argument register.
.macro RESOLVE self, sel
    SAVE_ARGUMENTS
    movq \self, %rdi
    movq \sel, %rsi
    call qv_msgsend_miss@PLT
    movq %rax, %r11
    RESTORE_ARGUMENTS_AND_JUMP %r11
.endm

    .text
    .globl objc_msgSend
    .type objc_msgSend, @function
    .p2align 4
objc_msgSend:
    .cfi_startproc
    PROBE %rdi, %rsi, .Lmiss
.Lmiss:
    RESOLVE %rdi, %rsi
    .cfi_endproc
    .size objc_msgSend, .-objc_msgSend

// For results returned through memory: the hidden result pointer comes first, so the
// receiver and selector are the second and third arguments.
    .globl objc_msgSend_stret
    .type objc_msgSend_stret, @function
    .p2align 4
objc_msgSend_stret:
    .cfi_startproc
    PROBE %rsi, %rdx, .Lmiss_stret
.Lmiss_stret:
    RESOLVE %rsi, %rdx
    .cfi_endproc
    .size objc_msgSend_stret, .-objc_msgSend_stret

    .section .note.GNU-stack,"",@progbits
