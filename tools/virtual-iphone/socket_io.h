// Blocking socket helpers shared by the usbmuxd, lockdown, AFC and control endpoints of the
// virtual iPhone. Every function here is safe to call from any thread on a descriptor that thread
// owns; none of them throws.
#pragma once

#include <cstddef>
#include <string>

namespace vi {

// Reads exactly n bytes. Returns false on end of stream, on an error, or when the peer closed in
// the middle; the buffer contents are then unspecified.
bool readExact(int fd, void *buf, std::size_t n);

// Writes all n bytes without raising SIGPIPE. Returns false when the peer is gone or the send
// timeout of the socket expired.
bool writeAll(int fd, const void *buf, std::size_t n);

// Creates a listening AF_UNIX stream socket at path. A stale socket file left by an earlier run is
// removed first; any other existing file is an error. Returns the descriptor (caller owns it), or
// -1 with a reason in error.
int listenUnix(const std::string &path, std::string &error);

// Connects to an AF_UNIX stream socket. Returns the descriptor (caller owns it) or -1.
int connectUnix(const std::string &path);

// Bounds every later send on fd, so one stalled peer cannot block a thread that holds a lock
// while it writes events to several peers.
void setSendTimeout(int fd, int milliseconds);

} // namespace vi
