// The value conversions on real CoreFoundation objects of our libCoreFoundation.so: every number type
// to its field, strings, data, booleans and the types that give nothing; UTF-16 -> GBK and hex texts.
#include "deviceinfo/device_value.h"
#include "deviceinfo/value_text.h"
#include "platform/shell/folders.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>

namespace {

// Our CoreFoundation library, loaded from the build's bin folder: the program's binding finds the same
// file through the current directory, so both sides share one copy (one set of type ids).
class CoreFoundationObjects {
public:
    CoreFoundationObjects()
    {
        platform::shell::setCurrentDirectory(KELM_TEST_BIN_DIR);
        handle_ = ::dlopen(KELM_TEST_BIN_DIR "/libCoreFoundation.so", RTLD_NOW);
    }
    template <typename F>
    F fn(const char *name) const
    {
        return handle_ ? reinterpret_cast<F>(::dlsym(handle_, name)) : nullptr;
    }
    CFTypeRef number(long type, const void *value) const
    {
        return fn<CFTypeRef (*)(const void *, long, const void *)>("CFNumberCreate")(nullptr, type, value);
    }
    CFTypeRef string(const std::u16string &units) const
    {
        return fn<CFTypeRef (*)(const void *, const char16_t *, long)>("CFStringCreateWithCharacters")(
            nullptr, units.data(), static_cast<long>(units.size()));
    }
    CFTypeRef data(const std::string &bytes) const
    {
        return fn<CFTypeRef (*)(const void *, const uint8_t *, long)>("CFDataCreate")(
            nullptr, reinterpret_cast<const uint8_t *>(bytes.data()), static_cast<long>(bytes.size()));
    }
    CFTypeRef boolean(bool value) const
    {
        return *fn<CFTypeRef *>(value ? "kCFBooleanTrue" : "kCFBooleanFalse");
    }
    void release(CFTypeRef object) const { fn<void (*)(CFTypeRef)>("CFRelease")(object); }
    bool loaded() const { return handle_ != nullptr; }

private:
    void *handle_ = nullptr;
};

const CoreFoundationObjects &cf()
{
    static const CoreFoundationObjects objects;
    return objects;
}

// Which fields of a value are set, as one comparable text.
std::string setFields(const DeviceValue &v)
{
    std::string s;
    if (v.boolValue) s += "bool=" + std::to_string(v.boolValue) + " ";
    if (v.floatValue != 0) s += "float=" + std::to_string(v.floatValue) + " ";
    if (v.doubleValue != 0) s += "double=" + std::to_string(v.doubleValue) + " ";
    if (v.int64Value) s += "int64=" + std::to_string(v.int64Value) + " ";
    if (v.int32Value) s += "int32=" + std::to_string(v.int32Value) + " ";
    if (!v.bytesValue.empty()) s += "bytes=" + std::to_string(v.bytesValue.size()) + " ";
    if (!v.textValue.empty()) s += "text=" + v.textValue + " ";
    return s;
}

TEST(ConvertCFValue, EveryNumberTypeFillsItsOwnField)
{
    ASSERT_TRUE(cf().loaded()) << ::dlerror();
    const struct {
        long type;
        int64_t integer; // the value handed to CFNumberCreate for integer types
        double real;     // ... for the floating types
        const char *expected;
    } cases[] = {
        {1, -1, 0, "int32=255 "}, // 8- and 16-bit values read as unsigned
        {2, -2, 0, "int32=65534 "},
        {3, -7, 0, "int32=-7 "},
        {7, 65, 0, "int32=65 "},
        {8, 1000, 0, "int32=1000 "},
        {9, 123456, 0, "int32=123456 "},
        {10, 99, 0, "int32=99 "},
        {14, 98, 0, "int32=98 "},
        {15, 97, 0, "int32=97 "},
        {4, 63978983424, 0, "int64=63978983424 "}, // does not fit 32 bits: whole in int64, nothing else
        {11, -5, 0, "int64=-5 "},
        {5, 0, 1.5, "float=1.500000 "},
        {12, 0, 2.5, "float=2.500000 "},
        {16, 0, 3.5, "float=3.500000 "},
        {6, 0, 28800.0, "double=28800.000000 "},
        {13, 0, -0.25, "double=-0.250000 "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.type);
        // CFNumberCreate reads a value of the type's own size.
        int8_t i8 = static_cast<int8_t>(c.integer);
        int16_t i16 = static_cast<int16_t>(c.integer);
        int32_t i32 = static_cast<int32_t>(c.integer);
        int64_t i64 = c.integer;
        float f = static_cast<float>(c.real);
        double d = c.real;
        const void *source = nullptr;
        switch (c.type) {
        case 1: case 7: source = &i8; break;
        case 2: case 8: source = &i16; break;
        case 3: case 9: case 10: case 14: case 15: source = &i32; break;
        case 4: case 11: source = &i64; break;
        case 5: case 12: case 16: source = &f; break;
        default: source = &d; break;
        }
        const CFTypeRef number = cf().number(c.type, source);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(setFields(ConvertCFValue(number)), c.expected);
        cf().release(number);
    }
}

TEST(ConvertCFValue, StringsDataBooleansAndOtherTypes)
{
    ASSERT_TRUE(cf().loaded()) << ::dlerror();
    const CFTypeRef iphone = cf().string(u"iPhone");
    const DeviceValue a = ConvertCFValue(iphone);
    EXPECT_EQ(a.bytesValue, std::string("i\0P\0h\0o\0n\0e\0", 12));
    EXPECT_EQ(a.textValue, "iPhone");
    EXPECT_EQ(a.int64Value, 0);

    const CFTypeRef chinese = cf().string(u"小明的iPhone");
    const DeviceValue b = ConvertCFValue(chinese);
    EXPECT_EQ(b.textValue, "小明的iPhone"); // GBK: two bytes per Chinese character
    EXPECT_EQ(b.textValue.size(), 12u);
    EXPECT_EQ(b.bytesValue.substr(0, 2), std::string("\x0F\x5C", 2)); // U+5C0F little-endian

    const CFTypeRef empty = cf().string(u"");
    EXPECT_EQ(setFields(ConvertCFValue(empty)), "");

    const CFTypeRef data = cf().data(std::string("\x00\xAB\x7F", 3));
    const DeviceValue c = ConvertCFValue(data);
    EXPECT_EQ(c.bytesValue, std::string("\x00\xAB\x7F", 3));
    EXPECT_EQ(c.textValue, "");

    EXPECT_EQ(setFields(ConvertCFValue(cf().boolean(true))), "bool=1 ");
    EXPECT_EQ(setFields(ConvertCFValue(cf().boolean(false))), "");

    const void *values[] = {iphone};
    const CFTypeRef array = cf().fn<CFTypeRef (*)(const void *, const void **, long, const void *)>("CFArrayCreate")(
        nullptr, values, 1, nullptr);
    EXPECT_EQ(setFields(ConvertCFValue(array)), "");
    EXPECT_EQ(setFields(ConvertCFValue(nullptr)), "");
    for (CFTypeRef object : {iphone, chinese, empty, data, array})
        cf().release(object);
}

TEST(ValueTexts, Utf16ToGbkAndHex)
{
    const struct {
        std::string utf16le;
        std::string gbk;
    } cases[] = {
        {"", ""},
        {std::string("\0\0A\0", 4), ""},                      // first unit zero
        {std::string("A\0B\0\0\0C\0", 8), "AB"},              // ends at the first zero unit
        {std::string("A\0B", 3), "AB"},                       // odd trailing byte with a zero byte
        {std::string("\x0F\x5C\x0E\x66", 4), "小明"},         // Chinese to two bytes each
        {std::string("\xAC\x20", 2), "\x80"},                 // euro sign: code page 936's 0x80
        {std::string("\x01\x0E" "A\0", 4), "?A"},            // Thai letter: no GBK form
        {std::string("\x3D\xD8\x00\xDE", 4), "?"},            // emoji (surrogate pair): the default character
        {std::string("\x00\xD8" "A\0", 4), "?A"},             // unpaired surrogate
    };
    for (const auto &c : cases)
        EXPECT_EQ(Utf16ToGbk(c.utf16le), c.gbk) << testing::PrintToString(c.utf16le);

    EXPECT_EQ(HexText(std::string("\x00\xAB\x7F", 3)), "00AB7F");
    EXPECT_EQ(HexText(""), "");
    EXPECT_EQ(HexText(std::string("\xFF\x10\x09", 3)), "FF1009");
}

} // namespace
