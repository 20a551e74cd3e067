// Apple-convention entries of variadic functions (see runtime/macho/apple_variadic.h): the variable
// arguments start at the caller's stack pointer, which becomes the last argument of a
// function that reads them from there. A tail call: the frame stays the caller's.

    .text
    .globl qv_apple_NSLog
    .type qv_apple_NSLog, %function
    .p2align 2
qv_apple_NSLog:
    .cfi_startproc
    mov x1, sp
    b qv_apple_NSLog_stack
    .cfi_endproc
    .size qv_apple_NSLog, .-qv_apple_NSLog

    .section .note.GNU-stack,"",%progbits
