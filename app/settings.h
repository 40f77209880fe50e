// The user's settings as the program holds them while it runs.
#pragma once

#include <atomic>
#include <cstdint>

// 0: connection records are kept; 1: they are not. Written on the window thread (start-up and the
// settings page), read whole by the connection-record writer on the device thread.
extern std::atomic<int32_t> SaveRecordsSwitch;
