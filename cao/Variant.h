#pragma once

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace cao {

// OLE Automation type codes.
enum VarType : uint16_t {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
};

// A type code with a payload of that type. Values are copied; nothing refers into an engine.
// An array is one-dimensional; its elements are variants of the element type.
class Variant {
public:
    Variant() = default;  // VT_EMPTY

    static Variant null();
    static Variant fromBool(bool value);
    static Variant fromUI1(uint8_t value);
    static Variant fromI2(int16_t value);
    static Variant fromI4(int32_t value);
    static Variant fromR4(float value);
    static Variant fromR8(double value);
    static Variant fromCurrency(int64_t tenThousandths);
    static Variant fromDate(double oleDate);
    static Variant fromString(QString value);
    static Variant fromError(int32_t errorCode);
    // Elements must all have elementType; throws cao::Error otherwise.
    static Variant fromArray(VarType elementType, std::vector<Variant> elements);

    // The full type code, VT_ARRAY bit included.
    uint16_t type() const noexcept { return m_type; }
    bool isEmpty() const noexcept { return m_type == VT_EMPTY; }
    bool isNull() const noexcept { return m_type == VT_NULL; }
    bool isArray() const noexcept { return (m_type & VT_ARRAY) != 0; }
    VarType elementType() const noexcept { return static_cast<VarType>(m_type & ~VT_ARRAY); }

    // Typed access; each throws cao::Error "Type mismatch" when the type differs.
    bool boolValue() const;
    uint8_t ui1() const;
    int16_t i2() const;
    int32_t i4() const;
    float r4() const;
    double r8() const;
    int64_t currency() const;  // in units of 1/10000
    double date() const;       // days since 30 Dec 1899
    const QString& string() const;
    int32_t errorCode() const;
    const std::vector<Variant>& elements() const;

    friend bool operator==(const Variant& a, const Variant& b);
    friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }

private:
    using Payload = std::variant<std::monostate, int16_t, int32_t, float, double, int64_t, QString,
                                 uint8_t, std::vector<Variant>>;
    Variant(uint16_t type, Payload payload) : m_type(type), m_payload(std::move(payload)) {}
    template <typename T>
    const T& payloadAs(uint16_t expected) const;

    uint16_t m_type = VT_EMPTY;
    Payload m_payload;
};

// A readable name such as "VT_I4" or "VT_ARRAY|VT_UI1", for descriptions and test output.
QString typeName(uint16_t type);

}  // namespace cao
