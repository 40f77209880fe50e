// Internal object model of libCoreFoundation: the common header every CF object starts with, the
// concrete value classes and the type ids. Not installed; nothing here is exported.
#pragma once

#include "corefoundation.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kelmcf {

// Our own type ids; distinct and nonzero is all callers may rely on.
enum class TypeId : CFTypeID {
    String = 1,
    Number = 2,
    Boolean = 3,
    Data = 4,
    Array = 5,
    Dictionary = 6,
    Date = 7,
    RunLoop = 8,
};

class Object {
public:
    Object(TypeId type, bool immortal) : type_(type), immortal_(immortal) {}
    virtual ~Object() = default;
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    TypeId type() const { return type_; }
    bool immortal() const { return immortal_; }
    std::atomic<long> refs{1};

private:
    const TypeId type_;
    const bool immortal_;
};

// The object behind a reference when it has the wanted type, else nullptr (also for NULL).
template <class T>
const T *as(CFTypeRef ref)
{
    if (ref == nullptr)
        return nullptr;
    const auto *object = static_cast<const Object *>(ref);
    return object->type() == T::kType ? static_cast<const T *>(object) : nullptr;
}

class String final : public Object {
public:
    static constexpr TypeId kType = TypeId::String;
    String(std::u16string units, bool immortal);
    const std::u16string &units() const { return units_; }
    const std::string &utf8() const { return utf8_; } // kept beside the units for cheap C-string access
    bool isAscii() const { return ascii_; }

private:
    std::u16string units_;
    std::string utf8_;
    bool ascii_;
};

class Number final : public Object {
public:
    static constexpr TypeId kType = TypeId::Number;
    Number(CFNumberType storageType, int64_t value) : Object(kType, false), type_(storageType), int_(value) {}
    Number(CFNumberType storageType, double value)
        : Object(kType, false), type_(storageType), isFloat_(true), float_(value)
    {
    }
    CFNumberType storageType() const { return type_; }
    bool isFloat() const { return isFloat_; }
    int64_t intValue() const { return int_; }
    double floatValue() const { return float_; }

private:
    CFNumberType type_;
    bool isFloat_ = false;
    int64_t int_ = 0;
    double float_ = 0.0;
};

class BooleanObject final : public Object {
public:
    static constexpr TypeId kType = TypeId::Boolean;
    explicit BooleanObject(bool value) : Object(kType, true), value_(value) {}
    bool value() const { return value_; }

private:
    bool value_;
};

class Data final : public Object {
public:
    static constexpr TypeId kType = TypeId::Data;
    explicit Data(std::vector<uint8_t> bytes) : Object(kType, false), bytes_(std::move(bytes)) {}
    const std::vector<uint8_t> &bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// Collections own one reference to each element.
class Array final : public Object {
public:
    static constexpr TypeId kType = TypeId::Array;
    explicit Array(std::vector<CFTypeRef> values);
    ~Array() override;
    const std::vector<CFTypeRef> &values() const { return values_; }

private:
    std::vector<CFTypeRef> values_;
};

class Dictionary final : public Object {
public:
    static constexpr TypeId kType = TypeId::Dictionary;
    explicit Dictionary(std::vector<std::pair<CFTypeRef, CFTypeRef>> entries);
    ~Dictionary() override;
    const std::vector<std::pair<CFTypeRef, CFTypeRef>> &entries() const { return entries_; }
    CFTypeRef find(CFTypeRef key) const;

private:
    std::vector<std::pair<CFTypeRef, CFTypeRef>> entries_;
};

class Date final : public Object {
public:
    static constexpr TypeId kType = TypeId::Date;
    explicit Date(CFAbsoluteTime at) : Object(kType, false), at_(at) {}
    CFAbsoluteTime at() const { return at_; }

private:
    CFAbsoluteTime at_;
};

// Hands an object out through the C API as an opaque reference.
constexpr CFTypeRef toRef(const Object *object) { return object; }

} // namespace kelmcf
