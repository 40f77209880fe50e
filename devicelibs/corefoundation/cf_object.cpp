// Lifetime and identity of every CF object: retain/release, type ids, equality.
#include "cf_object.h"

#include <climits>

using namespace kelmcf;

namespace {

constexpr CFIndex kImmortalCount = LONG_MAX;

bool equalValues(const Object *a, const Object *b);

bool equalNumbers(const Number &a, const Number &b)
{
    if (!a.isFloat() && !b.isFloat())
        return a.intValue() == b.intValue();
    const long double x = a.isFloat() ? a.floatValue() : static_cast<long double>(a.intValue());
    const long double y = b.isFloat() ? b.floatValue() : static_cast<long double>(b.intValue());
    return x == y;
}

bool equalDictionaries(const Dictionary &a, const Dictionary &b)
{
    if (a.entries().size() != b.entries().size())
        return false;
    for (const auto &[key, value] : a.entries()) {
        CFTypeRef other = b.find(key);
        if (other == nullptr || !CFEqual(value, other))
            return false;
    }
    return true;
}

bool equalValues(const Object *a, const Object *b)
{
    switch (a->type()) {
    case TypeId::String:
        return static_cast<const String *>(a)->units() == static_cast<const String *>(b)->units();
    case TypeId::Number:
        return equalNumbers(*static_cast<const Number *>(a), *static_cast<const Number *>(b));
    case TypeId::Boolean:
        return static_cast<const BooleanObject *>(a)->value() == static_cast<const BooleanObject *>(b)->value();
    case TypeId::Data:
        return static_cast<const Data *>(a)->bytes() == static_cast<const Data *>(b)->bytes();
    case TypeId::Array: {
        const auto &x = static_cast<const Array *>(a)->values();
        const auto &y = static_cast<const Array *>(b)->values();
        if (x.size() != y.size())
            return false;
        for (size_t i = 0; i < x.size(); ++i)
            if (!CFEqual(x[i], y[i]))
                return false;
        return true;
    }
    case TypeId::Dictionary:
        return equalDictionaries(*static_cast<const Dictionary *>(a), *static_cast<const Dictionary *>(b));
    case TypeId::Date:
        return static_cast<const Date *>(a)->at() == static_cast<const Date *>(b)->at();
    case TypeId::RunLoop:
        return false; // identity only, handled by the caller
    }
    return false;
}

} // namespace

extern "C" {

KELM_CF_EXPORT CFTypeID CFGetTypeID(CFTypeRef cf)
{
    if (cf == nullptr)
        return 0;
    return static_cast<CFTypeID>(static_cast<const Object *>(cf)->type());
}

KELM_CF_EXPORT CFTypeRef CFRetain(CFTypeRef cf)
{
    if (cf == nullptr)
        return nullptr;
    const auto *object = static_cast<const Object *>(cf);
    if (!object->immortal())
        const_cast<Object *>(object)->refs.fetch_add(1, std::memory_order_relaxed);
    return cf;
}

KELM_CF_EXPORT void CFRelease(CFTypeRef cf)
{
    if (cf == nullptr)
        return;
    auto *object = const_cast<Object *>(static_cast<const Object *>(cf));
    if (object->immortal())
        return;
    if (object->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete object;
}

KELM_CF_EXPORT CFIndex CFGetRetainCount(CFTypeRef cf)
{
    if (cf == nullptr)
        return 0;
    const auto *object = static_cast<const Object *>(cf);
    return object->immortal() ? kImmortalCount : object->refs.load(std::memory_order_relaxed);
}

KELM_CF_EXPORT Boolean CFEqual(CFTypeRef a, CFTypeRef b)
{
    if (a == b)
        return a != nullptr;
    if (a == nullptr || b == nullptr)
        return false;
    const auto *x = static_cast<const Object *>(a);
    const auto *y = static_cast<const Object *>(b);
    if (x->type() != y->type())
        return false;
    return equalValues(x, y);
}

KELM_CF_EXPORT CFTypeID CFStringGetTypeID(void) { return static_cast<CFTypeID>(TypeId::String); }
KELM_CF_EXPORT CFTypeID CFNumberGetTypeID(void) { return static_cast<CFTypeID>(TypeId::Number); }
KELM_CF_EXPORT CFTypeID CFBooleanGetTypeID(void) { return static_cast<CFTypeID>(TypeId::Boolean); }
KELM_CF_EXPORT CFTypeID CFDataGetTypeID(void) { return static_cast<CFTypeID>(TypeId::Data); }
KELM_CF_EXPORT CFTypeID CFArrayGetTypeID(void) { return static_cast<CFTypeID>(TypeId::Array); }
KELM_CF_EXPORT CFTypeID CFDictionaryGetTypeID(void) { return static_cast<CFTypeID>(TypeId::Dictionary); }
KELM_CF_EXPORT CFTypeID CFDateGetTypeID(void) { return static_cast<CFTypeID>(TypeId::Date); }
KELM_CF_EXPORT CFTypeID CFRunLoopGetTypeID(void) { return static_cast<CFTypeID>(TypeId::RunLoop); }

} // extern "C"
