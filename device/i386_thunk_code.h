/* Machine code of the 32-bit (i386) callback thunk and its shared return tail, as bytes.
 *
 * The generator is plain C so that the same source is compiled into the program (where the bytes are
 * checked) and into the 32-bit test program, which runs them under qemu-i386.
 *
 * What the i386 thunk promises: entered by a cdecl-style call (the caller removes its arguments
 * afterwards), it opens a frame, saves ebx, esi, edi and the x87 control word, gives the target a
 * freshly initialised x87 unit (fninit), copies the caller's `argumentCount` 32-bit arguments into
 * new room on the stack and jumps to the target with the tail's address as return address. The target
 * is stdcall-like: it takes its arguments from the stack and removes them itself, returns in eax (and
 * edx), keeps ebp, and may change every other general register and the x87 control word. The tail
 * restores ebx, esi, edi and the control word, drops the frame and returns to the caller with eax and
 * edx untouched; ecx is not preserved.
 *
 * Both functions are pure and may be called from any thread. */
#ifndef KELM_DEVICE_I386_THUNK_CODE_H
#define KELM_DEVICE_I386_THUNK_CODE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Largest argument count a thunk copies (512 argument bytes). */
#define KELM_I386_THUNK_MAX_ARGUMENTS 128
/* Length of a thunk that copies at least one argument; without arguments it is 27 bytes. */
#define KELM_I386_THUNK_MAX_BYTES 52
/* Length of the shared return tail. */
#define KELM_I386_TAIL_BYTES 30

/* Writes the thunk for `target` (entered with `argumentCount` arguments) that returns through the tail
 * at `tailAddress` into `out`, which must hold KELM_I386_THUNK_MAX_BYTES bytes. Returns the number of
 * bytes written: 52 for one or more arguments, 27 for none. Returns 0 and writes nothing when `target`
 * is 0 or `argumentCount` is negative or above KELM_I386_THUNK_MAX_ARGUMENTS. */
size_t kelm_i386_thunk_build(uint32_t target, int32_t argumentCount, uint32_t tailAddress, uint8_t *out);

/* Writes the shared return tail into `out`, which must hold KELM_I386_TAIL_BYTES bytes; returns
 * KELM_I386_TAIL_BYTES. */
size_t kelm_i386_thunk_tail(uint8_t *out);

#ifdef __cplusplus
}
#endif

#endif
