// Result codes of the device library and their names.
#pragma once

#include <cstdint>
#include <string>

// Result codes the program tells apart or produces itself.
inline constexpr int32_t kAMDSuccess = 0;
inline constexpr int32_t kAMDUndefinedError = static_cast<int32_t>(0xE8000001u);
inline constexpr int32_t kAMDInvalidHostIDError = static_cast<int32_t>(0xE800001Cu);

// The name (or, for most installation failures, the English sentence) of a device-library result.
// Callers pass the 32-bit result sign-extended to 64 bits. Positive values give "null", 0 gives
// "kAMDSuccess", a negative value outside the table gives the empty text. Never fails; any thread.
std::string AmdErrorName(int64_t result);
