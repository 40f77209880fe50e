// Executable memory for code the program writes at run time (the device callback thunks).
//
// Each block gets pages of its own: they are mapped readable and writable, the code is copied in, and
// only then are they switched to read+execute. No page is ever writable and executable at the same
// time, and a page never becomes writable again, so a block may be running on one thread while another
// thread makes the next block. Blocks are never freed: the program makes a handful of thunks for the
// whole life of the process.
//
// All functions may be called from any thread.
#pragma once

#include <cstddef>

namespace platform::execmem {

// Copies `size` bytes of machine code from `code` into a new executable block and returns its start
// (page-aligned, so also suitably aligned for any entry point). The caller does not own the block and
// must not free it; it stays valid until the process ends. Returns nullptr, and maps nothing, when
// `code` is null or `size` is 0; returns nullptr when the pages cannot be mapped or protected (the
// half-made mapping is released then).
void* makeExecutable(const void* code, std::size_t size);

// Number of blocks made so far by this process (successful makeExecutable calls). For tests and
// diagnostics: it lets a caller check that a path made no block at all.
std::size_t blockCount();

} // namespace platform::execmem
