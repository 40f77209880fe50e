/* libCoreFoundation.so: our own small CoreFoundation object model, with the C entry points the
 * device library and the program bind by name.
 *
 * What it offers: reference-counted immutable values (string held as UTF-16, number with its number
 * type, boolean, data, array, dictionary, date), type ids, interned constant strings, and one run
 * loop per thread into which other threads post functions.
 *
 * Ownership follows the usual CoreFoundation rule: a function named ...Create... or ...Copy...
 * returns a +1 reference the caller releases with CFRelease; ...Get... returns a borrowed
 * reference or pointer, valid while the owning object lives. Allocator arguments are accepted for
 * source compatibility and ignored (pass NULL).
 *
 * Threads: every function may be called from any thread. Objects are immutable after creation, so
 * reading one object from several threads at once is safe; reference counts are atomic.
 *
 * Robustness: NULL and objects of the wrong type give the neutral result (0, NULL, false, nothing
 * written) instead of crashing; a pointer that is not one of our objects cannot be detected.
 */
#ifndef KELM_DEVICELIBS_COREFOUNDATION_H
#define KELM_DEVICELIBS_COREFOUNDATION_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KELM_CF_EXPORT __attribute__((visibility("default")))

typedef const void *CFTypeRef;
typedef const void *CFStringRef;
typedef const void *CFNumberRef;
typedef const void *CFDataRef;
typedef const void *CFBooleanRef;
typedef const void *CFArrayRef;
typedef const void *CFDictionaryRef;
typedef const void *CFDateRef;
typedef const void *CFRunLoopRef;
typedef const void *CFAllocatorRef;
typedef unsigned long CFTypeID;
typedef long CFIndex;
typedef long CFNumberType;
typedef unsigned char Boolean;
typedef uint16_t UniChar;
typedef uint32_t CFStringEncoding;
typedef double CFAbsoluteTime; /* seconds since 2001-01-01 00:00:00 UTC */
typedef double CFTimeInterval;
typedef struct {
    CFIndex location;
    CFIndex length;
} CFRange;

/* ---- every object ---------------------------------------------------------------------------- */
/* 0 for NULL. */
KELM_CF_EXPORT CFTypeID CFGetTypeID(CFTypeRef cf);
/* Returns cf (NULL stays NULL). Interned constant strings and the two booleans ignore retain and
 * release: they live for the whole process. */
KELM_CF_EXPORT CFTypeRef CFRetain(CFTypeRef cf);
/* Frees the object when the last reference goes; NULL is ignored. */
KELM_CF_EXPORT void CFRelease(CFTypeRef cf);
/* Current count; constants report a large fixed value; NULL gives 0. */
KELM_CF_EXPORT CFIndex CFGetRetainCount(CFTypeRef cf);
/* Deep value equality (strings by UTF-16 units, numbers by value, collections element-wise). */
KELM_CF_EXPORT Boolean CFEqual(CFTypeRef a, CFTypeRef b);

/* Type ids: distinct, nonzero, stable for the life of the library. */
KELM_CF_EXPORT CFTypeID CFStringGetTypeID(void);
KELM_CF_EXPORT CFTypeID CFNumberGetTypeID(void);
KELM_CF_EXPORT CFTypeID CFBooleanGetTypeID(void);
KELM_CF_EXPORT CFTypeID CFDataGetTypeID(void);
KELM_CF_EXPORT CFTypeID CFArrayGetTypeID(void);
KELM_CF_EXPORT CFTypeID CFDictionaryGetTypeID(void);
KELM_CF_EXPORT CFTypeID CFDateGetTypeID(void);
KELM_CF_EXPORT CFTypeID CFRunLoopGetTypeID(void);

/* ---- strings (UTF-16 code units) --------------------------------------------------------------- */
#define kCFStringEncodingASCII 0x0600u
#define kCFStringEncodingUTF8 0x08000100u

/* Interned: the same UTF-8 text always gives the same reference, never freed. Invalid UTF-8 bytes
 * become U+FFFD. NULL gives NULL. */
KELM_CF_EXPORT CFStringRef __CFStringMakeConstantString(const char *cStr);
/* UTF-8 or ASCII text; NULL for another encoding, a NULL text or bytes invalid in the encoding. */
KELM_CF_EXPORT CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char *cStr, CFStringEncoding encoding);
/* numChars UTF-16 units copied (lone surrogates kept as they are). NULL when numChars < 0 or chars is
 * NULL with numChars > 0. */
KELM_CF_EXPORT CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, const UniChar *chars, CFIndex numChars);
KELM_CF_EXPORT CFIndex CFStringGetLength(CFStringRef str);
/* Pointer to the string's own UTF-16 units (never NULL for a string, even an empty one). */
KELM_CF_EXPORT const UniChar *CFStringGetCharactersPtr(CFStringRef str);
/* Copies the units of range; a range reaching outside the string copies nothing. */
KELM_CF_EXPORT void CFStringGetCharacters(CFStringRef str, CFRange range, UniChar *buffer);
/* Zero-terminated text in buffer; false when it does not fit, the encoding is not UTF-8/ASCII, or the
 * string is not ASCII and ASCII was asked for. Lone surrogates become U+FFFD. */
KELM_CF_EXPORT Boolean CFStringGetCString(CFStringRef str, char *buffer, CFIndex bufferSize, CFStringEncoding encoding);
/* The string's own zero-terminated UTF-8 form (also for ASCII when the text is ASCII), else NULL. */
KELM_CF_EXPORT const char *CFStringGetCStringPtr(CFStringRef str, CFStringEncoding encoding);

/* ---- numbers ----------------------------------------------------------------------------------- */
/* Number types 1..16. The value sizes are those of the 32-bit Windows library this one stands in
 * for, which the program relies on:
 *   1 SInt8, 7 Char: 1 byte          2 SInt16, 8 Short: 2 bytes
 *   3 SInt32, 9 Int, 10 Long, 14 CFIndex, 15 NSInteger: 4-byte integer
 *   4 SInt64, 11 LongLong: 8-byte integer
 *   5 Float32, 12 Float, 16 CGFloat: 4-byte float      6 Float64, 13 Double: 8-byte double */
enum {
    kCFNumberSInt8Type = 1, kCFNumberSInt16Type = 2, kCFNumberSInt32Type = 3, kCFNumberSInt64Type = 4,
    kCFNumberFloat32Type = 5, kCFNumberFloat64Type = 6, kCFNumberCharType = 7, kCFNumberShortType = 8,
    kCFNumberIntType = 9, kCFNumberLongType = 10, kCFNumberLongLongType = 11, kCFNumberFloatType = 12,
    kCFNumberDoubleType = 13, kCFNumberCFIndexType = 14, kCFNumberNSIntegerType = 15, kCFNumberCGFloatType = 16
};
/* Reads a value of theType's size from valuePtr. NULL for an unknown type or a NULL valuePtr. */
KELM_CF_EXPORT CFNumberRef CFNumberCreate(CFAllocatorRef alloc, CFNumberType theType, const void *valuePtr);
/* The storage type: 1, 2, 3 or 4 for integers, 5 or 6 for reals (Char/Int/Long... are reported as
 * the sized type they are stored as, e.g. 9 -> 3, 13 -> 6). 0 for a non-number. */
KELM_CF_EXPORT CFNumberType CFNumberGetType(CFNumberRef number);
/* Converts the value to theType and writes exactly that type's size (table above) to valuePtr.
 * Returns true when the conversion was exact; out-of-range integers are truncated to the low bytes,
 * reals are truncated toward zero (and clamped), and false is returned. An unknown type (0, > 16)
 * writes nothing and returns false. */
KELM_CF_EXPORT Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void *valuePtr);
KELM_CF_EXPORT Boolean CFNumberIsFloatType(CFNumberRef number);

/* ---- booleans ---------------------------------------------------------------------------------- */
KELM_CF_EXPORT extern const CFBooleanRef kCFBooleanTrue;
KELM_CF_EXPORT extern const CFBooleanRef kCFBooleanFalse;
KELM_CF_EXPORT Boolean CFBooleanGetValue(CFBooleanRef boolean);

/* ---- data -------------------------------------------------------------------------------------- */
/* length bytes copied; NULL when length < 0 or bytes is NULL with length > 0. */
KELM_CF_EXPORT CFDataRef CFDataCreate(CFAllocatorRef alloc, const uint8_t *bytes, CFIndex length);
KELM_CF_EXPORT CFIndex CFDataGetLength(CFDataRef data);
/* The object's own bytes; NULL for an empty data object. */
KELM_CF_EXPORT const uint8_t *CFDataGetBytePtr(CFDataRef data);

/* ---- arrays ------------------------------------------------------------------------------------ */
/* Elements must be CF objects (none NULL); each is retained. callBacks is ignored. */
KELM_CF_EXPORT CFArrayRef CFArrayCreate(CFAllocatorRef alloc, const void **values, CFIndex numValues, const void *callBacks);
KELM_CF_EXPORT CFIndex CFArrayGetCount(CFArrayRef array);
/* Borrowed element; NULL when idx is out of range. */
KELM_CF_EXPORT const void *CFArrayGetValueAtIndex(CFArrayRef array, CFIndex idx);

/* ---- dictionaries ------------------------------------------------------------------------------ */
/* Keys and values must be CF objects; each is retained; key equality is CFEqual; a repeated key
 * keeps the last value. The callback arguments are ignored. Order of creation is kept. */
KELM_CF_EXPORT CFDictionaryRef CFDictionaryCreate(CFAllocatorRef alloc, const void **keys, const void **values,
                                                  CFIndex numValues, const void *keyCallBacks,
                                                  const void *valueCallBacks);
KELM_CF_EXPORT CFIndex CFDictionaryGetCount(CFDictionaryRef dict);
/* Borrowed value, NULL when the key is absent. */
KELM_CF_EXPORT const void *CFDictionaryGetValue(CFDictionaryRef dict, const void *key);
/* Fills keys[i] / values[i] (either may be NULL) with borrowed references, in creation order. */
KELM_CF_EXPORT void CFDictionaryGetKeysAndValues(CFDictionaryRef dict, const void **keys, const void **values);

/* ---- dates ------------------------------------------------------------------------------------- */
KELM_CF_EXPORT CFDateRef CFDateCreate(CFAllocatorRef alloc, CFAbsoluteTime at);
KELM_CF_EXPORT CFAbsoluteTime CFDateGetAbsoluteTime(CFDateRef date);

/* ---- run loops --------------------------------------------------------------------------------- */
/* One run loop per thread, made on first use, kept alive by the thread (released at thread exit)
 * and by whoever retained it. There is a single mode; mode arguments are ignored. */
KELM_CF_EXPORT extern const CFStringRef kCFRunLoopDefaultMode;
enum { kCFRunLoopRunFinished = 1, kCFRunLoopRunStopped = 2, kCFRunLoopRunTimedOut = 3, kCFRunLoopRunHandledSource = 4 };
/* The calling thread's run loop (borrowed reference). */
KELM_CF_EXPORT CFRunLoopRef CFRunLoopGetCurrent(void);
/* Runs the calling thread's loop, calling posted functions one at a time in posting order, until
 * CFRunLoopStop is called on it. A stop that arrives while the loop is not running is kept and makes
 * the next run return at once, so a thread that stops a loop never races the thread starting it. */
KELM_CF_EXPORT void CFRunLoopRun(void);
/* Like CFRunLoopRun, bounded: returns kCFRunLoopRunStopped, kCFRunLoopRunTimedOut after `seconds`
 * without a stop, or kCFRunLoopRunHandledSource after one function when returnAfterSourceHandled. */
KELM_CF_EXPORT int32_t CFRunLoopRunInMode(CFStringRef mode, CFTimeInterval seconds, Boolean returnAfterSourceHandled);
/* Makes the innermost run of rl return after the function it is running, if any. Any thread. */
KELM_CF_EXPORT void CFRunLoopStop(CFRunLoopRef rl);
/* Queues fn(ctx) to run inside rl's CFRunLoopRun; thread-safe; functions run in posting order. A
 * function queued on a loop that never runs again is never called (ctx is not freed). */
KELM_CF_EXPORT void CFRunLoopPerformFunction(CFRunLoopRef rl, void (*fn)(void *ctx), void *ctx);

#ifdef __cplusplus
}
#endif

#endif
