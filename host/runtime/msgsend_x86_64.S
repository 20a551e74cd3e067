// objc_msgSend: finds the receiver's implementation of a selector in its class's method cache
// and jumps to it with every argument register as the caller left it. The receiver is never
// nil here (the typed send returns zero for nil itself). Misses go to qv_msgsend_miss, which
// fills the cache or aborts for a selector nothing answers.
//
// Layout relied on: object->isa at 0; class->cache at 24; cache->offsetMask at 0, slots from
// 16, each slot { SEL sel; IMP imp; } of 16 bytes.

// PROBE self_reg, sel_reg, miss_label
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
    jmp *24(%r10,%r11,1)
.endm

// SAVE_AND_RESOLVE self, sel: keeps every argument register across qv_msgsend_miss.
.macro SAVE_AND_RESOLVE self, sel
    pushq %rbp
    movq %rsp, %rbp
    subq $208, %rsp
    movq %rdi, 0(%rsp)
    movq %rsi, 8(%rsp)
    movq %rdx, 16(%rsp)
    movq %rcx, 24(%rsp)
    movq %r8, 32(%rsp)
    movq %r9, 40(%rsp)
    movq %rax, 48(%rsp)
    movdqu %xmm0, 64(%rsp)
    movdqu %xmm1, 80(%rsp)
    movdqu %xmm2, 96(%rsp)
    movdqu %xmm3, 112(%rsp)
    movdqu %xmm4, 128(%rsp)
    movdqu %xmm5, 144(%rsp)
    movdqu %xmm6, 160(%rsp)
    movdqu %xmm7, 176(%rsp)
    movq \self, %rdi
    movq \sel, %rsi
    call qv_msgsend_miss@PLT
    movq %rax, %r11
    movq 0(%rsp), %rdi
    movq 8(%rsp), %rsi
    movq 16(%rsp), %rdx
    movq 24(%rsp), %rcx
    movq 32(%rsp), %r8
    movq 40(%rsp), %r9
    movq 48(%rsp), %rax
    movdqu 64(%rsp), %xmm0
    movdqu 80(%rsp), %xmm1
    movdqu 96(%rsp), %xmm2
    movdqu 112(%rsp), %xmm3
    movdqu 128(%rsp), %xmm4
    movdqu 144(%rsp), %xmm5
    movdqu 160(%rsp), %xmm6
    movdqu 176(%rsp), %xmm7
    movq %rbp, %rsp
    popq %rbp
    jmp *%r11
.endm

    .text
    .globl objc_msgSend
    .type objc_msgSend, @function
    .p2align 4
objc_msgSend:
    .cfi_startproc
    PROBE %rdi, %rsi, .Lmiss
.Lmiss:
    SAVE_AND_RESOLVE %rdi, %rsi
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
    SAVE_AND_RESOLVE %rsi, %rdx
    .cfi_endproc
    .size objc_msgSend_stret, .-objc_msgSend_stret

    .section .note.GNU-stack,"",@progbits
