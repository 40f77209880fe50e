// Every outside address and number the program shows or uses, in one place.
#pragma once

// The support group shown on the home page ("QQ群:" followed by it).
inline constexpr char kSupportGroupNumber[] = "000000000";
// The maker's contact number, shown by the tester window.
inline constexpr char kContactNumber[] = "000000000";
