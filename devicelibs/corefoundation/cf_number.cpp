// CF numbers: a value with its number type, and the conversions CFNumberGetValue makes. Value sizes
// follow the 32-bit Windows library we stand in for (long, CFIndex and NSInteger are 4 bytes,
// CGFloat a 4-byte float), because the program reads the output cells with those sizes.
#include "cf_object.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

using namespace kelmcf;

namespace {

enum class Cell { None, Int8, Int16, Int32, Int64, Float32, Float64 };

Cell cellOf(CFNumberType type)
{
    switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType:
        return Cell::Int8;
    case kCFNumberSInt16Type:
    case kCFNumberShortType:
        return Cell::Int16;
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
    case kCFNumberLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType:
        return Cell::Int32;
    case kCFNumberSInt64Type:
    case kCFNumberLongLongType:
        return Cell::Int64;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType:
    case kCFNumberCGFloatType:
        return Cell::Float32;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
        return Cell::Float64;
    }
    return Cell::None;
}

CFNumberType storageTypeOf(Cell cell)
{
    switch (cell) {
    case Cell::Int8:
        return kCFNumberSInt8Type;
    case Cell::Int16:
        return kCFNumberSInt16Type;
    case Cell::Int32:
        return kCFNumberSInt32Type;
    case Cell::Int64:
        return kCFNumberSInt64Type;
    case Cell::Float32:
        return kCFNumberFloat32Type;
    case Cell::Float64:
        return kCFNumberFloat64Type;
    case Cell::None:
        break;
    }
    return 0;
}

template <class T>
T load(const void *from)
{
    T value;
    std::memcpy(&value, from, sizeof value);
    return value;
}

template <class T>
void store(void *to, T value)
{
    std::memcpy(to, &value, sizeof value);
}

// Integer cell from a 64-bit integer: the low bytes, exact when the value fits.
template <class T>
bool storeInteger(void *to, int64_t value)
{
    store<T>(to, static_cast<T>(static_cast<uint64_t>(value)));
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

// Integer from a real: truncated toward zero, clamped into range (NaN gives 0).
template <class T>
bool storeIntegerFromReal(void *to, double value)
{
    const long double lo = -std::ldexp(1.0L, sizeof(T) * 8 - 1);
    const long double hi = std::ldexp(1.0L, sizeof(T) * 8 - 1) - 1;
    if (std::isnan(value)) {
        store<T>(to, T{0});
        return false;
    }
    long double t = std::trunc(static_cast<long double>(value));
    bool exact = t == value;
    if (t < lo) {
        t = lo;
        exact = false;
    } else if (t > hi) {
        t = hi;
        exact = false;
    }
    store<T>(to, static_cast<T>(t));
    return exact;
}

bool storeFloat32(void *to, long double value)
{
    float f;
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
        f = value > 0 ? HUGE_VALF : -HUGE_VALF;
    else
        f = static_cast<float>(value);
    store<float>(to, f);
    return static_cast<long double>(f) == value || (std::isnan(value) && std::isnan(f));
}

bool storeFloat64(void *to, long double value)
{
    const double d = static_cast<double>(value);
    store<double>(to, d);
    return static_cast<long double>(d) == value || (std::isnan(value) && std::isnan(d));
}

} // namespace

extern "C" {

KELM_CF_EXPORT CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void *valuePtr)
{
    const Cell cell = cellOf(theType);
    if (cell == Cell::None || valuePtr == nullptr)
        return nullptr;
    const CFNumberType storage = storageTypeOf(cell);
    switch (cell) {
    case Cell::Int8:
        return toRef(new Number(storage, static_cast<int64_t>(load<int8_t>(valuePtr))));
    case Cell::Int16:
        return toRef(new Number(storage, static_cast<int64_t>(load<int16_t>(valuePtr))));
    case Cell::Int32:
        return toRef(new Number(storage, static_cast<int64_t>(load<int32_t>(valuePtr))));
    case Cell::Int64:
        return toRef(new Number(storage, load<int64_t>(valuePtr)));
    case Cell::Float32:
        return toRef(new Number(storage, static_cast<double>(load<float>(valuePtr))));
    case Cell::Float64:
        return toRef(new Number(storage, load<double>(valuePtr)));
    case Cell::None:
        break;
    }
    return nullptr;
}

KELM_CF_EXPORT CFNumberType CFNumberGetType(CFNumberRef number)
{
    const Number *n = as<Number>(number);
    return n ? n->storageType() : 0;
}

KELM_CF_EXPORT Boolean CFNumberIsFloatType(CFNumberRef number)
{
    const Number *n = as<Number>(number);
    return n != nullptr && n->isFloat();
}

KELM_CF_EXPORT Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void *valuePtr)
{
    const Number *n = as<Number>(number);
    const Cell cell = cellOf(theType);
    if (n == nullptr || valuePtr == nullptr || cell == Cell::None)
        return false;
    const bool real = n->isFloat();
    const long double wide = real ? static_cast<long double>(n->floatValue()) : static_cast<long double>(n->intValue());
    switch (cell) {
    case Cell::Int8:
        return real ? storeIntegerFromReal<int8_t>(valuePtr, n->floatValue()) : storeInteger<int8_t>(valuePtr, n->intValue());
    case Cell::Int16:
        return real ? storeIntegerFromReal<int16_t>(valuePtr, n->floatValue()) : storeInteger<int16_t>(valuePtr, n->intValue());
    case Cell::Int32:
        return real ? storeIntegerFromReal<int32_t>(valuePtr, n->floatValue()) : storeInteger<int32_t>(valuePtr, n->intValue());
    case Cell::Int64:
        return real ? storeIntegerFromReal<int64_t>(valuePtr, n->floatValue()) : storeInteger<int64_t>(valuePtr, n->intValue());
    case Cell::Float32:
        return storeFloat32(valuePtr, wide);
    case Cell::Float64:
        return storeFloat64(valuePtr, wide);
    case Cell::None:
        break;
    }
    return false;
}

} // extern "C"
