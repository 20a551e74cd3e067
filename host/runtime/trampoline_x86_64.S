// Forwards a call to the implementation that qv_hook_resolve(context) returns, with every
// argument register intact. The per-hook stub loads the context into %r11 and jumps here.

#include "arguments_x86_64.inc"

    .text
    .globl qv_hook_trampoline
    .type qv_hook_trampoline, @function
qv_hook_trampoline:
    .cfi_startproc
    SAVE_ARGUMENTS
    movq %r11, %rdi
    call qv_hook_resolve@PLT
    movq %rax, %r11
    RESTORE_ARGUMENTS_AND_JUMP %r11
    .cfi_endproc
    .size qv_hook_trampoline, .-qv_hook_trampoline
    .section .note.GNU-stack,"",@progbits
