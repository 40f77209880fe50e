// Values of libCoreFoundation.so as the program reads them: number conversions with the 32-bit
// output sizes, strings as UTF-16, interned constants, collections and reference counts.
#include "corefoundation.h"

#include "cf_test_helpers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

using cftest::Owned;

CFNumberRef makeInt64(int64_t v) { return CFNumberCreate(nullptr, kCFNumberSInt64Type, &v); }
CFNumberRef makeDouble(double v) { return CFNumberCreate(nullptr, kCFNumberFloat64Type, &v); }

// Reads the number into a buffer filled with 0xAA and returns the bytes written, so each case
// checks both the value and that exactly the type's size was written.
struct Readout {
    bool ok;
    std::vector<uint8_t> written;
    size_t untouchedAfter;
};

Readout readNumber(CFNumberRef n, CFNumberType type)
{
    std::array<uint8_t, 16> cell;
    cell.fill(0xAA);
    Readout r{};
    r.ok = CFNumberGetValue(n, type, cell.data());
    size_t end = cell.size();
    while (end > 0 && cell[end - 1] == 0xAA)
        --end;
    r.written.assign(cell.begin(), cell.begin() + static_cast<long>(end));
    r.untouchedAfter = end;
    return r;
}

template <class T>
std::vector<uint8_t> bytesOf(T v)
{
    std::vector<uint8_t> out(sizeof v);
    std::memcpy(out.data(), &v, sizeof v);
    return out;
}

TEST(CoreFoundationNumber, ConvertsToEachTypeWithTheWindowsLibrarySizes)
{
    struct Case {
        const char *name;
        bool sourceIsReal;
        int64_t intValue;
        double realValue;
        CFNumberType asked;
        std::vector<uint8_t> expected;
        bool exact;
    };
    const int64_t big = INT64_C(0x123456789A);
    const std::vector<Case> cases = {
        {"int64 as SInt64", false, big, 0, kCFNumberSInt64Type, bytesOf<int64_t>(big), true},
        {"int64 as LongLong", false, big, 0, kCFNumberLongLongType, bytesOf<int64_t>(big), true},
        {"int64 as SInt32 truncates", false, big, 0, kCFNumberSInt32Type, bytesOf<int32_t>(0x3456789A), false},
        {"small as Long is 4 bytes", false, 1234, 0, kCFNumberLongType, bytesOf<int32_t>(1234), true},
        {"small as CFIndex is 4 bytes", false, -5, 0, kCFNumberCFIndexType, bytesOf<int32_t>(-5), true},
        {"small as NSInteger is 4 bytes", false, 7, 0, kCFNumberNSIntegerType, bytesOf<int32_t>(7), true},
        {"small as Int", false, 99, 0, kCFNumberIntType, bytesOf<int32_t>(99), true},
        {"-1 as SInt8 is one byte FF", false, -1, 0, kCFNumberSInt8Type, {0xFF}, true},
        {"300 as Char loses range", false, 300, 0, kCFNumberCharType, {0x2C}, false},
        {"-2 as SInt16", false, -2, 0, kCFNumberSInt16Type, {0xFE, 0xFF}, true},
        {"-2 as Short", false, -2, 0, kCFNumberShortType, {0xFE, 0xFF}, true},
        {"int as Float64", false, 42, 0, kCFNumberFloat64Type, bytesOf<double>(42.0), true},
        {"int as Double", false, 42, 0, kCFNumberDoubleType, bytesOf<double>(42.0), true},
        {"int as Float32", false, 42, 0, kCFNumberFloat32Type, bytesOf<float>(42.0f), true},
        {"int as CGFloat is a 4-byte float", false, 42, 0, kCFNumberCGFloatType, bytesOf<float>(42.0f), true},
        {"double as Float64", true, 0, 2.5, kCFNumberFloat64Type, bytesOf<double>(2.5), true},
        {"double as Float", true, 0, 2.5, kCFNumberFloatType, bytesOf<float>(2.5f), true},
        {"double 0.1 as Float32 is inexact", true, 0, 0.1, kCFNumberFloat32Type, bytesOf<float>(0.1f), false},
        {"double as SInt32 truncates toward zero", true, 0, -7.9, kCFNumberSInt32Type, bytesOf<int32_t>(-7), false},
        {"double as SInt64 exact", true, 0, 8.0, kCFNumberSInt64Type, bytesOf<int64_t>(8), true},
        {"double too big for SInt32 clamps", true, 0, 1e20, kCFNumberSInt32Type, bytesOf<int32_t>(INT32_MAX), false},
        {"unknown type 0 writes nothing", false, 5, 0, 0, {}, false},
        {"unknown type 17 writes nothing", false, 5, 0, 17, {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Owned n(c.sourceIsReal ? makeDouble(c.realValue) : makeInt64(c.intValue));
        Readout r = readNumber(n.ref, c.asked);
        EXPECT_EQ(r.ok, c.exact);
        // Bytes equal to the 0xAA filler at the end would be cut off; no case ends with one.
        EXPECT_EQ(r.written, c.expected);
    }
}

TEST(CoreFoundationNumber, StorageTypeAndValueRoundTripForEveryType)
{
    struct Case {
        CFNumberType created;
        CFNumberType storage;
        std::vector<uint8_t> value; // exactly the created type's size
    };
    const std::vector<Case> cases = {
        {kCFNumberSInt8Type, kCFNumberSInt8Type, {0x80}},
        {kCFNumberCharType, kCFNumberSInt8Type, {0x7F}},
        {kCFNumberSInt16Type, kCFNumberSInt16Type, {0x01, 0x80}},
        {kCFNumberShortType, kCFNumberSInt16Type, {0x34, 0x12}},
        {kCFNumberSInt32Type, kCFNumberSInt32Type, {1, 2, 3, 0x84}},
        {kCFNumberIntType, kCFNumberSInt32Type, {1, 2, 3, 4}},
        {kCFNumberLongType, kCFNumberSInt32Type, {1, 2, 3, 4}},
        {kCFNumberCFIndexType, kCFNumberSInt32Type, {9, 0, 0, 0}},
        {kCFNumberNSIntegerType, kCFNumberSInt32Type, {0xFF, 0xFF, 0xFF, 0xFF}},
        {kCFNumberSInt64Type, kCFNumberSInt64Type, {1, 2, 3, 4, 5, 6, 7, 0x88}},
        {kCFNumberLongLongType, kCFNumberSInt64Type, {1, 2, 3, 4, 5, 6, 7, 8}},
        {kCFNumberFloat32Type, kCFNumberFloat32Type, bytesOf<float>(1.5f)},
        {kCFNumberFloatType, kCFNumberFloat32Type, bytesOf<float>(-3.25f)},
        {kCFNumberCGFloatType, kCFNumberFloat32Type, bytesOf<float>(0.5f)},
        {kCFNumberFloat64Type, kCFNumberFloat64Type, bytesOf<double>(1e300)},
        {kCFNumberDoubleType, kCFNumberFloat64Type, bytesOf<double>(-0.125)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.created);
        Owned n(CFNumberCreate(nullptr, c.created, c.value.data()));
        ASSERT_NE(n.ref, nullptr);
        EXPECT_EQ(CFGetTypeID(n.ref), CFNumberGetTypeID());
        EXPECT_EQ(CFNumberGetType(n.ref), c.storage);
        Readout r = readNumber(n.ref, c.created);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.untouchedAfter, c.value.size());
        EXPECT_EQ(std::vector<uint8_t>(r.written.begin(), r.written.end()), c.value);
    }
    int v = 1;
    EXPECT_EQ(CFNumberCreate(nullptr, 0, &v), nullptr);
    EXPECT_EQ(CFNumberCreate(nullptr, 17, &v), nullptr);
}

std::u16string unitsOf(CFStringRef s)
{
    const CFIndex n = CFStringGetLength(s);
    std::u16string viaCopy(static_cast<size_t>(n), u'\0');
    CFStringGetCharacters(s, CFRange{0, n}, reinterpret_cast<UniChar *>(viaCopy.data()));
    const UniChar *direct = CFStringGetCharactersPtr(s);
    EXPECT_NE(direct, nullptr);
    if (direct) {
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t *>(direct), static_cast<size_t>(n)), viaCopy);
    }
    return viaCopy;
}

TEST(CoreFoundationString, Utf8TextBecomesUtf16UnitsAndBack)
{
    struct Case {
        const char *utf8;
        std::u16string units;
    };
    const std::vector<Case> cases = {
        {"", u""},
        {"iPhone", u"iPhone"},
        {"com.apple.mobile.battery", u"com.apple.mobile.battery"},
        {"柯岭的 iPhone", u"柯岭的 iPhone"},
        {"A\xF0\x9F\x98\x80Z", u"A\U0001F600Z"}, // outside the BMP: a surrogate pair
        {"\xC3\xA9t\xC3\xA9", u"été"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.utf8);
        Owned s(CFStringCreateWithCString(nullptr, c.utf8, kCFStringEncodingUTF8));
        ASSERT_NE(s.ref, nullptr);
        EXPECT_EQ(CFGetTypeID(s.ref), CFStringGetTypeID());
        EXPECT_EQ(unitsOf(s.ref), c.units);
        EXPECT_STREQ(CFStringGetCStringPtr(s.ref, kCFStringEncodingUTF8), c.utf8);

        Owned fromUnits(CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar *>(c.units.data()),
                                                     static_cast<CFIndex>(c.units.size())));
        EXPECT_TRUE(CFEqual(s.ref, fromUnits.ref));
        char buffer[64];
        ASSERT_TRUE(CFStringGetCString(fromUnits.ref, buffer, sizeof buffer, kCFStringEncodingUTF8));
        EXPECT_STREQ(buffer, c.utf8);

        CFStringRef constant = __CFStringMakeConstantString(c.utf8);
        EXPECT_EQ(unitsOf(constant), c.units);
    }
}

TEST(CoreFoundationString, RejectsWhatItCannotRepresent)
{
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "bad \xFF byte", kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "\xED\xA0\x80", kCFStringEncodingUTF8), nullptr); // a surrogate
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "\xC0\xAF", kCFStringEncodingUTF8), nullptr);     // overlong
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "é", kCFStringEncodingASCII), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "x", 0x0201 /* another encoding */), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);

    Owned s(CFStringCreateWithCString(nullptr, "长文本", kCFStringEncodingUTF8));
    char small[4];
    EXPECT_FALSE(CFStringGetCString(s.ref, small, sizeof small, kCFStringEncodingUTF8));
    EXPECT_EQ(CFStringGetCStringPtr(s.ref, kCFStringEncodingASCII), nullptr);
    UniChar out[2] = {0x1111, 0x1111};
    CFStringGetCharacters(s.ref, CFRange{2, 2}, out); // reaches past the end: nothing copied
    EXPECT_EQ(out[0], 0x1111);
    CFStringGetCharacters(s.ref, CFRange{1, 2}, out);
    EXPECT_EQ(out[0], u'文');
    EXPECT_EQ(out[1], u'本');
}

TEST(CoreFoundationString, ConstantStringsAreInternedAndImmortal)
{
    CFStringRef a = __CFStringMakeConstantString("DeviceName");
    std::string sameText = std::string("Device") + "Name"; // another buffer with the same text
    CFStringRef b = __CFStringMakeConstantString(sameText.c_str());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, __CFStringMakeConstantString("deviceName"));
    const CFIndex count = CFGetRetainCount(a);
    CFRelease(a);
    CFRelease(a);
    CFRetain(a);
    EXPECT_EQ(CFGetRetainCount(a), count);
    EXPECT_EQ(CFStringGetLength(a), 10);
    // Invalid bytes still give a string, with U+FFFD in their place.
    CFStringRef odd = __CFStringMakeConstantString("a\xFF");
    EXPECT_EQ(unitsOf(odd), u"a\uFFFD");
}

TEST(CoreFoundationTypes, IdsAreDistinctNonzeroAndMatchTheObjects)
{
    const std::vector<CFTypeID> ids = {CFStringGetTypeID(), CFArrayGetTypeID(), CFDateGetTypeID(),
                                       CFNumberGetTypeID(), CFBooleanGetTypeID(), CFDictionaryGetTypeID(),
                                       CFDataGetTypeID(), CFRunLoopGetTypeID()};
    for (size_t i = 0; i < ids.size(); ++i) {
        EXPECT_NE(ids[i], 0u);
        for (size_t j = i + 1; j < ids.size(); ++j)
            EXPECT_NE(ids[i], ids[j]);
    }
    const uint8_t bytes[] = {0, 0xAB, 0x7F};
    Owned data(CFDataCreate(nullptr, bytes, 3));
    Owned date(CFDateCreate(nullptr, 12345.5));
    Owned array(CFArrayCreate(nullptr, nullptr, 0, nullptr));
    Owned dict(CFDictionaryCreate(nullptr, nullptr, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(CFGetTypeID(data.ref), CFDataGetTypeID());
    EXPECT_EQ(CFGetTypeID(date.ref), CFDateGetTypeID());
    EXPECT_EQ(CFGetTypeID(array.ref), CFArrayGetTypeID());
    EXPECT_EQ(CFGetTypeID(dict.ref), CFDictionaryGetTypeID());
    EXPECT_EQ(CFGetTypeID(kCFBooleanTrue), CFBooleanGetTypeID());
    EXPECT_EQ(CFGetTypeID(CFRunLoopGetCurrent()), CFRunLoopGetTypeID());
    EXPECT_EQ(CFGetTypeID(nullptr), 0u);
    EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));
    EXPECT_FALSE(CFBooleanGetValue(kCFBooleanFalse));
    EXPECT_EQ(CFDataGetLength(data.ref), 3);
    EXPECT_EQ(std::memcmp(CFDataGetBytePtr(data.ref), bytes, 3), 0);
    EXPECT_EQ(CFDateGetAbsoluteTime(date.ref), 12345.5);

    // Asking an object of one type with another type's function gives the neutral answer.
    EXPECT_EQ(CFStringGetLength(data.ref), 0);
    EXPECT_EQ(CFStringGetCharactersPtr(data.ref), nullptr);
    EXPECT_EQ(CFDataGetLength(date.ref), 0);
    EXPECT_FALSE(CFBooleanGetValue(data.ref));
    EXPECT_EQ(CFNumberGetType(data.ref), 0);
    int32_t cell = 77;
    EXPECT_FALSE(CFNumberGetValue(data.ref, kCFNumberSInt32Type, &cell));
    EXPECT_EQ(cell, 77);
    EXPECT_EQ(CFArrayGetCount(dict.ref), 0);
    EXPECT_EQ(CFDictionaryGetValue(array.ref, kCFBooleanTrue), nullptr);
    CFRelease(nullptr);
}

TEST(CoreFoundationCollections, HoldReferencesToTheirElementsAndFindKeysByValue)
{
    CFStringRef key1 = CFStringCreateWithCString(nullptr, "BatteryCurrentCapacity", kCFStringEncodingUTF8);
    CFStringRef key2 = CFStringCreateWithCString(nullptr, "BatteryIsCharging", kCFStringEncodingUTF8);
    CFNumberRef level = makeInt64(87);
    const void *keys[] = {key1, key2};
    const void *values[] = {level, kCFBooleanTrue};
    CFDictionaryRef dict = CFDictionaryCreate(nullptr, keys, values, 2, nullptr, nullptr);
    const void *items[] = {key1, level, dict};
    CFArrayRef array = CFArrayCreate(nullptr, items, 3, nullptr);
    EXPECT_EQ(CFGetRetainCount(level), 3); // ours, the dictionary's, the array's
    EXPECT_EQ(CFGetRetainCount(dict), 2);

    // Lookup with a different object holding the same text.
    CFStringRef probe = __CFStringMakeConstantString("BatteryCurrentCapacity");
    EXPECT_EQ(CFDictionaryGetValue(dict, probe), level);
    EXPECT_EQ(CFDictionaryGetValue(dict, __CFStringMakeConstantString("BatteryIsCharging")), kCFBooleanTrue);
    EXPECT_EQ(CFDictionaryGetValue(dict, __CFStringMakeConstantString("Missing")), nullptr);
    EXPECT_EQ(CFDictionaryGetCount(dict), 2);
    const void *gotKeys[2] = {};
    const void *gotValues[2] = {};
    CFDictionaryGetKeysAndValues(dict, gotKeys, gotValues);
    EXPECT_EQ(gotKeys[0], key1);
    EXPECT_EQ(gotValues[1], kCFBooleanTrue);

    EXPECT_EQ(CFArrayGetCount(array), 3);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, 2), dict);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, 3), nullptr);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, -1), nullptr);

    // Deep equality of a rebuilt copy.
    const void *sameItems[] = {probe, level, dict};
    Owned twin(CFArrayCreate(nullptr, sameItems, 3, nullptr));
    EXPECT_TRUE(CFEqual(array, twin.ref));
    Owned other(CFArrayCreate(nullptr, sameItems, 2, nullptr));
    EXPECT_FALSE(CFEqual(array, other.ref));

    CFRelease(array);
    EXPECT_EQ(CFGetRetainCount(dict), 2); // twin still holds it
    CFRelease(dict); // still alive inside twin
    EXPECT_EQ(CFGetRetainCount(level), 4); // ours, the dictionary's, twin's and other's
    CFRelease(level);
    CFRelease(key1);
    CFRelease(key2);
}

} // namespace
