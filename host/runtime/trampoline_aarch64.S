// Forwards a call to the implementation that qv_hook_resolve(context) returns, with every
// argument register intact. The per-hook stub loads the context into x16 and jumps here.

#include "arguments_aarch64.inc"

    .text
    .globl qv_hook_trampoline
    .type qv_hook_trampoline, %function
    .p2align 2
qv_hook_trampoline:
    .cfi_startproc
    mov x17, x16
    SAVE_ARGUMENTS
    mov x0, x17
    bl qv_hook_resolve
    mov x17, x0
    RESTORE_ARGUMENTS_AND_JUMP x17
    .cfi_endproc
    .size qv_hook_trampoline, .-qv_hook_trampoline

    .section .note.GNU-stack,"",%progbits
