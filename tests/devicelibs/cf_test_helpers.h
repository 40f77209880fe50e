// Small helpers shared by the device-library tests: owning a +1 reference, and a string's units.
#pragma once

#include "corefoundation.h"

#include <string>

namespace cftest {

// Releases a +1 reference at scope end.
struct Owned {
    CFTypeRef ref;
    explicit Owned(CFTypeRef r) : ref(r) {}
    ~Owned() { CFRelease(ref); }
    Owned(const Owned &) = delete;
    Owned &operator=(const Owned &) = delete;
};

// The UTF-16 units of a CF string, through its direct pointer (empty when it offers none).
inline std::u16string unitsOf(CFTypeRef s)
{
    const UniChar *p = CFStringGetCharactersPtr(s);
    return p ? std::u16string(reinterpret_cast<const char16_t *>(p), static_cast<size_t>(CFStringGetLength(s)))
             : std::u16string();
}

} // namespace cftest
