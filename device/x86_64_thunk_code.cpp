// Byte generator of the x86-64 callback thunk and its return tail (contract in callback_thunk.h).
//
// Frame of the thunk, E being rsp at entry (E points at the caller's return address, E = 8 mod 16):
//   E+8 up   the caller's stack arguments (7th and later)
//   E-8      saved rbp (rbp = E-8 while the thunk copies)
//   E-16..   saved rbx, r12, r13, r14, r15 (down to E-48)
//   E-72     saved x87 control word (2 bytes), E-68 saved MXCSR, E-64 the default MXCSR to load
//   below    the copied stack arguments, rounded up to 16 bytes so that the call sees rsp = 0 mod 16
// The thunk calls the target itself and, once it is back, drops the copy and jumps to the tail with
// rsp = E-72. The tail finds everything relative to rsp, so it relies on nothing the target might have
// changed except the stack pointer, which every `ret` restores.
#include "device/callback_thunk.h"

#include <initializer_list>

namespace {

// Registers that System V passes arguments in; the rest go on the stack.
constexpr int kRegisterArguments = 6;

void put(std::vector<std::uint8_t>& out, std::initializer_list<std::uint8_t> bytes)
{
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void put64(std::vector<std::uint8_t>& out, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<std::uint8_t> BuildX8664Thunk(std::uint64_t target, int argumentCount, std::uint64_t tailAddress)
{
    std::vector<std::uint8_t> out;
    if (target == 0 || argumentCount < 0 || argumentCount > kMaxCallbackThunkArguments)
        return out;

    put(out, {0x55,                                       // push rbp
              0x48, 0x89, 0xE5,                           // mov rbp, rsp
              0x53,                                       // push rbx
              0x41, 0x54,                                 // push r12
              0x41, 0x55,                                 // push r13
              0x41, 0x56,                                 // push r14
              0x41, 0x57,                                 // push r15
              0x48, 0x83, 0xEC, 0x18,                     // sub rsp, 24
              0xD9, 0x3C, 0x24,                           // fnstcw [rsp]
              0x0F, 0xAE, 0x5C, 0x24, 0x04,               // stmxcsr [rsp+4]
              0xDB, 0xE3,                                 // fninit
              0xC7, 0x44, 0x24, 0x08, 0x80, 0x1F, 0, 0,   // mov dword [rsp+8], 0x1F80
              0x0F, 0xAE, 0x54, 0x24, 0x08});             // ldmxcsr [rsp+8]

    const int stackArguments = argumentCount > kRegisterArguments ? argumentCount - kRegisterArguments : 0;
    const std::uint32_t room = static_cast<std::uint32_t>((stackArguments * 8 + 15) / 16 * 16);
    if (stackArguments != 0) {
        put(out, {0x48, 0x81, 0xEC}); // sub rsp, room
        put32(out, room);
        put(out, {0x41, 0xBA}); // mov r10d, stack arguments (counts down to 1)
        put32(out, static_cast<std::uint32_t>(stackArguments));
        // The copy leaves the argument registers alone: it moves one quadword at a time through r11.
        put(out, {0x4E, 0x8B, 0x5C, 0xD5, 0x08,   // loop: mov r11, [rbp+r10*8+8]
                  0x4E, 0x89, 0x5C, 0xD4, 0xF8,   //       mov [rsp+r10*8-8], r11
                  0x49, 0xFF, 0xCA,               //       dec r10
                  0x75, 0xF1});                   //       jnz loop
    }
    put(out, {0x49, 0xBB}); // mov r11, target
    put64(out, target);
    put(out, {0x41, 0xFF, 0xD3}); // call r11
    if (stackArguments != 0) {
        put(out, {0x48, 0x81, 0xC4}); // add rsp, room
        put32(out, room);
    }
    put(out, {0x49, 0xBB}); // mov r11, tail
    put64(out, tailAddress);
    put(out, {0x41, 0xFF, 0xE3}); // jmp r11
    return out;
}

std::vector<std::uint8_t> X8664ThunkReturnTail()
{
    return {0xD9, 0x2C, 0x24,             // fldcw [rsp]
            0x0F, 0xAE, 0x54, 0x24, 0x04, // ldmxcsr [rsp+4]
            0x48, 0x83, 0xC4, 0x18,       // add rsp, 24
            0x41, 0x5F,                   // pop r15
            0x41, 0x5E,                   // pop r14
            0x41, 0x5D,                   // pop r13
            0x41, 0x5C,                   // pop r12
            0x5B,                         // pop rbx
            0x5D,                         // pop rbp
            0xC3};                        // ret
}
