#include "cao/Variant.h"

#include "cao/Error.h"

namespace cao {

Variant Variant::null() {
    return Variant(VT_NULL, std::monostate{});
}
Variant Variant::fromBool(bool value) {
    return Variant(VT_BOOL, int16_t(value ? -1 : 0));
}
Variant Variant::fromUI1(uint8_t value) {
    return Variant(VT_UI1, value);
}
Variant Variant::fromI2(int16_t value) {
    return Variant(VT_I2, value);
}
Variant Variant::fromI4(int32_t value) {
    return Variant(VT_I4, value);
}
Variant Variant::fromR4(float value) {
    return Variant(VT_R4, value);
}
Variant Variant::fromR8(double value) {
    return Variant(VT_R8, value);
}
Variant Variant::fromCurrency(int64_t tenThousandths) {
    return Variant(VT_CY, tenThousandths);
}
Variant Variant::fromDate(double oleDate) {
    return Variant(VT_DATE, oleDate);
}
Variant Variant::fromString(QString value) {
    return Variant(VT_BSTR, std::move(value));
}
Variant Variant::fromError(int32_t errorCode) {
    return Variant(VT_ERROR, errorCode);
}

Variant Variant::fromArray(VarType elementType, std::vector<Variant> elements) {
    if ((elementType & VT_ARRAY) != 0 || elementType == VT_EMPTY || elementType == VT_NULL) {
        throw Error(
            QStringLiteral("An array cannot have elements of type %1").arg(typeName(elementType)),
            code::InvalidArg);
    }
    for (const Variant& element : elements) {
        if (element.type() != elementType) {
            throw Error(QStringLiteral("An array of %1 cannot hold a %2 element")
                            .arg(typeName(elementType), typeName(element.type())),
                        code::TypeMismatch);
        }
    }
    return Variant(uint16_t(VT_ARRAY | elementType), std::move(elements));
}

template <typename T>
const T& Variant::payloadAs(uint16_t expected) const {
    if (m_type != expected) throw Error::typeMismatch();
    return std::get<T>(m_payload);
}

bool Variant::boolValue() const {
    return payloadAs<int16_t>(VT_BOOL) != 0;
}
uint8_t Variant::ui1() const {
    return payloadAs<uint8_t>(VT_UI1);
}
int16_t Variant::i2() const {
    return payloadAs<int16_t>(VT_I2);
}
int32_t Variant::i4() const {
    return payloadAs<int32_t>(VT_I4);
}
float Variant::r4() const {
    return payloadAs<float>(VT_R4);
}
double Variant::r8() const {
    return payloadAs<double>(VT_R8);
}
int64_t Variant::currency() const {
    return payloadAs<int64_t>(VT_CY);
}
double Variant::date() const {
    return payloadAs<double>(VT_DATE);
}
const QString& Variant::string() const {
    return payloadAs<QString>(VT_BSTR);
}
int32_t Variant::errorCode() const {
    return payloadAs<int32_t>(VT_ERROR);
}

const std::vector<Variant>& Variant::elements() const {
    if (!isArray()) throw Error::typeMismatch();
    return std::get<std::vector<Variant>>(m_payload);
}

bool operator==(const Variant& a, const Variant& b) {
    return a.m_type == b.m_type && a.m_payload == b.m_payload;
}

QString typeName(uint16_t type) {
    QString base;
    switch (type & ~VT_ARRAY) {
        case VT_EMPTY:
            base = QStringLiteral("VT_EMPTY");
            break;
        case VT_NULL:
            base = QStringLiteral("VT_NULL");
            break;
        case VT_I2:
            base = QStringLiteral("VT_I2");
            break;
        case VT_I4:
            base = QStringLiteral("VT_I4");
            break;
        case VT_R4:
            base = QStringLiteral("VT_R4");
            break;
        case VT_R8:
            base = QStringLiteral("VT_R8");
            break;
        case VT_CY:
            base = QStringLiteral("VT_CY");
            break;
        case VT_DATE:
            base = QStringLiteral("VT_DATE");
            break;
        case VT_BSTR:
            base = QStringLiteral("VT_BSTR");
            break;
        case VT_ERROR:
            base = QStringLiteral("VT_ERROR");
            break;
        case VT_BOOL:
            base = QStringLiteral("VT_BOOL");
            break;
        case VT_UI1:
            base = QStringLiteral("VT_UI1");
            break;
        default:
            base = QStringLiteral("type %1").arg(type & ~VT_ARRAY);
            break;
    }
    return (type & VT_ARRAY) != 0 ? QStringLiteral("VT_ARRAY|") + base : base;
}

}  // namespace cao
