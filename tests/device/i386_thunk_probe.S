/* Register harness for the i386 callback thunk, for the 32-bit test program i386_thunk_run.c.
 *
 * kelm_probe32_call(Probe32 *probe) (cdecl) pushes probe->count arguments from probe->args, puts known
 * values into ebx, esi, edi, ebp and the x87 control word, calls probe->thunk, records the same state
 * right after the call, the result in eax and the caller's arguments as they are after the call, then
 * removes the arguments itself and returns with its own caller's state restored.
 *
 * kelm_probe32_target is a stdcall-style target that keeps only what the thunk's contract asks of it
 * (ebp, and removing its arguments): it records its arguments and the control word it was entered
 * with, scribbles over its arguments, overwrites ebx, esi, edi, ecx, edx and the control word, and
 * returns args[0] ^ 0x5EED5EED (0x5EED5EED without arguments).
 *
 * Probe32: 0 thunk, 4 count, 8 args, 12 result, 16 argsAfter, 20 before[6], 44 after[6]:
 *          ebx esi edi ebp esp cw
 * kelm_probe32_seen: 0 args[128], 512 control word */
    .intel_syntax noprefix
    .text

    .globl kelm_probe32_call
    .type kelm_probe32_call, @function
kelm_probe32_call:
    push ebp
    push ebx
    push esi
    push edi
    sub esp, 4
    fnstcw [esp]
    mov eax, [esp + 24]
    mov [probe_frame], eax
    mov [probe_saved_esp], esp

    mov ecx, [eax + 4]
    mov edx, [eax + 8]
    test ecx, ecx
    jz 1f
0:  push dword ptr [edx + ecx * 4 - 4]
    dec ecx
    jnz 0b
1:
    mov ebx, 0x11111111
    mov esi, 0x22222222
    mov edi, 0x33333333
    mov ebp, 0x44444444
    fldcw [harness_cw]
    mov [eax + 20], ebx
    mov [eax + 24], esi
    mov [eax + 28], edi
    mov [eax + 32], ebp
    mov [eax + 36], esp
    fnstcw [eax + 40]
    call [eax]

    mov ecx, [probe_frame]
    mov [ecx + 12], eax
    mov [ecx + 44], ebx
    mov [ecx + 48], esi
    mov [ecx + 52], edi
    mov [ecx + 56], ebp
    mov [ecx + 60], esp
    fnstcw [ecx + 64]

    mov edx, [ecx + 16]
    mov ecx, [ecx + 4]
    test ecx, ecx
    jz 3f
2:  mov eax, [esp + ecx * 4 - 4]
    mov [edx + ecx * 4 - 4], eax
    dec ecx
    jnz 2b
3:
    mov esp, [probe_saved_esp]
    fldcw [esp]
    add esp, 4
    pop edi
    pop esi
    pop ebx
    pop ebp
    ret
    .size kelm_probe32_call, . - kelm_probe32_call

    .globl kelm_probe32_target
    .type kelm_probe32_target, @function
kelm_probe32_target:
    mov eax, [probe_frame]
    mov ecx, [eax + 4]
    mov eax, 0x5EED5EED
    test ecx, ecx
    jz 1f
    xor eax, [esp + 4]
    xor edx, edx
0:  mov ebx, [esp + edx * 4 + 4]
    mov [kelm_probe32_seen + edx * 4], ebx
    mov dword ptr [esp + edx * 4 + 4], 0xBADBAD00
    inc edx
    cmp edx, ecx
    jb 0b
1:
    fnstcw [kelm_probe32_seen + 512]
    mov ebx, 0xDEAD0001
    mov esi, 0xDEAD0002
    mov edi, 0xDEAD0003
    fldcw [target_cw]
    pop edx                         /* return address */
    lea esp, [esp + ecx * 4]        /* remove the arguments, as the contract asks */
    mov ecx, 0xDEAD0004
    jmp edx
    .size kelm_probe32_target, . - kelm_probe32_target

    .section .rodata
    .globl kelm_probe32_harness_cw
kelm_probe32_harness_cw:
harness_cw: .short 0x0E7F           /* 53-bit precision, round toward zero */
target_cw:  .short 0x067F           /* 53-bit precision, round down */

    .bss
    .balign 16
    .globl kelm_probe32_seen
kelm_probe32_seen: .zero 516
probe_frame:       .zero 4
probe_saved_esp:   .zero 4

    .section .note.GNU-stack, "", @progbits
