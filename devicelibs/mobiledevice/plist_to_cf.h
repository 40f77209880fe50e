// Conversion of device values (libplist nodes) into CoreFoundation objects for the program.
#pragma once

#include "corefoundation.h"

#include <plist/plist.h>

namespace amd {

// A new +1 CF object for node, or NULL for NULL / PLIST_NONE. Strings -> CFString (invalid UTF-8
// bytes become '?'), integers and UIDs -> CFNumber type 4 (64-bit; unsigned values above
// INT64_MAX wrap), reals -> type 6 (double), booleans -> kCFBooleanTrue/False, data -> CFData,
// arrays -> CFArray, dictionaries -> CFDictionary with CFString keys, dates -> CFDate. The node is
// not changed or freed. Any thread.
CFTypeRef cfFromPlist(plist_t node);

} // namespace amd
