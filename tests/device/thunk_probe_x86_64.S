/* Register harness for the x86-64 callback thunk (used by callback_thunk_test.cpp).
 *
 * kelm_probe_call(ThunkProbe *probe) puts known values into rbx, rbp, r12-r15, the x87 control word and
 * MXCSR, calls probe->thunk with probe->count arguments taken from probe->args (the first six in
 * registers, the rest pushed as a System V caller does), and records the same state right after the
 * call, the result in rax, and the caller's stack arguments as they are after the call. Then it restores
 * its own caller's state and returns.
 *
 * kelm_probe_target is a target that breaks every promise a normal function keeps: it records the
 * arguments it got and the x87/SSE control state it was entered with, scribbles over its stack
 * arguments, overwrites rbx, rbp, r12-r15, the x87 control word and MXCSR, and returns
 * args[0] ^ 0x5EED5EED5EED5EED.
 *
 * ThunkProbe:  0 thunk, 8 count, 16 args (at least six readable), 24 result, 32 stackAfter,
 *              40 before[8], 104 after[8]: rbx rbp r12 r13 r14 r15 rsp (cw | mxcsr << 32)
 * kelm_probe_seen: 0 args[128], 1024 rsp at entry, 1032 control word, 1036 MXCSR */
    .intel_syntax noprefix
    .text

    .globl kelm_probe_call
    .type kelm_probe_call, @function
kelm_probe_call:
    push rbp
    push rbx
    push r12
    push r13
    push r14
    push r15
    sub rsp, 8
    fnstcw [rsp]
    stmxcsr [rsp + 4]
    mov [rip + probe_frame], rdi
    mov [rip + probe_saved_rsp], rsp

    mov rcx, [rdi + 8]
    sub rcx, 6
    jle 2f
    test rcx, 1
    jz 1f
    sub rsp, 8                      /* keep rsp = 0 mod 16 at the call */
1:  mov rax, [rdi + 16]
0:  push qword ptr [rax + rcx * 8 + 40]
    dec rcx
    jnz 0b
2:
    movabs rbx, 0x1111111111111111
    movabs rbp, 0x2222222222222222
    movabs r12, 0x3333333333333333
    movabs r13, 0x4444444444444444
    movabs r14, 0x5555555555555555
    movabs r15, 0x6666666666666666
    fldcw [rip + harness_cw]
    ldmxcsr [rip + harness_mxcsr]

    mov r11, rdi
    mov [r11 + 40], rbx
    mov [r11 + 48], rbp
    mov [r11 + 56], r12
    mov [r11 + 64], r13
    mov [r11 + 72], r14
    mov [r11 + 80], r15
    mov [r11 + 88], rsp
    fnstcw [r11 + 96]
    stmxcsr [r11 + 100]

    mov rax, [r11 + 16]
    mov rdi, [rax]
    mov rsi, [rax + 8]
    mov rdx, [rax + 16]
    mov rcx, [rax + 24]
    mov r8, [rax + 32]
    mov r9, [rax + 40]
    call [r11]

    mov r11, [rip + probe_frame]
    mov [r11 + 24], rax
    mov [r11 + 104], rbx
    mov [r11 + 112], rbp
    mov [r11 + 120], r12
    mov [r11 + 128], r13
    mov [r11 + 136], r14
    mov [r11 + 144], r15
    mov [r11 + 152], rsp
    fnstcw [r11 + 160]
    stmxcsr [r11 + 164]

    mov rcx, [r11 + 8]
    sub rcx, 6
    jle 4f
    mov rdx, [r11 + 32]
    xor r10, r10
3:  mov rax, [rsp + r10 * 8]
    mov [rdx + r10 * 8], rax
    inc r10
    cmp r10, rcx
    jb 3b
4:
    mov rsp, [rip + probe_saved_rsp]
    fldcw [rsp]
    ldmxcsr [rsp + 4]
    add rsp, 8
    pop r15
    pop r14
    pop r13
    pop r12
    pop rbx
    pop rbp
    ret
    .size kelm_probe_call, . - kelm_probe_call

    .globl kelm_probe_target
    .type kelm_probe_target, @function
kelm_probe_target:
    lea rax, [rip + kelm_probe_seen]
    mov [rax], rdi
    mov [rax + 8], rsi
    mov [rax + 16], rdx
    mov [rax + 24], rcx
    mov [rax + 32], r8
    mov [rax + 40], r9
    mov r11, [rip + probe_frame]
    mov rcx, [r11 + 8]
    sub rcx, 6
    jle 1f
    xor r10, r10
    movabs r11, 0xBADBADBADBADBAD0
0:  mov rdx, [rsp + r10 * 8 + 8]
    mov [rax + r10 * 8 + 48], rdx
    mov [rsp + r10 * 8 + 8], r11    /* the target owns its stack arguments */
    inc r10
    cmp r10, rcx
    jb 0b
1:
    mov [rax + 1024], rsp
    fnstcw [rax + 1032]
    stmxcsr [rax + 1036]

    movabs rbx, 0xDEAD0000DEAD0001
    movabs rbp, 0xDEAD0000DEAD0002
    movabs r12, 0xDEAD0000DEAD0003
    movabs r13, 0xDEAD0000DEAD0004
    movabs r14, 0xDEAD0000DEAD0005
    movabs r15, 0xDEAD0000DEAD0006
    fldcw [rip + target_cw]
    ldmxcsr [rip + target_mxcsr]
    movabs rax, 0x5EED5EED5EED5EED
    xor rax, rdi
    ret
    .size kelm_probe_target, . - kelm_probe_target

    .section .rodata
    .globl kelm_probe_harness_cw
    .globl kelm_probe_harness_mxcsr
kelm_probe_harness_cw:
harness_cw:     .short 0x0E7F       /* 53-bit precision, round toward zero */
    .balign 4
kelm_probe_harness_mxcsr:
harness_mxcsr:  .long 0xDF80        /* flush to zero, round up */
target_cw:      .short 0x067F       /* 53-bit precision, round down */
    .balign 4
target_mxcsr:   .long 0x3F80        /* round down */

    .bss
    .balign 16
    .globl kelm_probe_seen
kelm_probe_seen: .zero 1040
probe_frame:     .zero 8
probe_saved_rsp: .zero 8

    .section .note.GNU-stack, "", @progbits
