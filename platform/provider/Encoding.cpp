#include "platform/provider/Encoding.h"

#include "cao/Error.h"

#include <QStringDecoder>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace provider {

namespace {

// Whether bytes in host order must be reversed to get the wanted wire order.
bool swapFor(bool bigEndian) {
    return bigEndian != (std::endian::native == std::endian::big);
}

template <typename T>
hla::Bytes bytesOf(T value, bool bigEndian) {
    hla::Bytes bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    if (swapFor(bigEndian)) std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

cao::Error undecodable(const QString& why) {
    return cao::Error(why, cao::code::TypeMismatch);
}

template <typename T>
T valueOf(const hla::Bytes& bytes, bool bigEndian, const char* typeName) {
    if (bytes.size() != sizeof(T)) {
        throw undecodable(QStringLiteral("received %1 bytes where a %2 takes %3")
                              .arg(bytes.size())
                              .arg(QLatin1String(typeName))
                              .arg(sizeof(T)));
    }
    hla::Bytes ordered = bytes;
    if (swapFor(bigEndian)) std::reverse(ordered.begin(), ordered.end());
    T value;
    std::memcpy(&value, ordered.data(), sizeof(T));
    return value;
}

cao::Variant decodeText(const hla::Bytes& bytes) {
    const auto nul = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    if (nul == bytes.end()) {
        throw undecodable(QStringLiteral("received %1 bytes of text without the closing NUL "
                                         "byte")
                              .arg(bytes.size()));
    }
    if (nul + 1 != bytes.end()) {
        throw undecodable(QStringLiteral("received text with a NUL byte at position %1 of %2")
                              .arg(nul - bytes.begin())
                              .arg(bytes.size()));
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text =
        decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size() - 1)));
    if (decoder.hasError()) throw undecodable(QStringLiteral("received text that is not UTF-8"));
    return cao::Variant::fromString(text);
}

}  // namespace

hla::Bytes encodeValue(const cao::Variant& value, bool bigEndian) {
    switch (value.type()) {
        case cao::VT_BOOL:
            return bytesOf<int16_t>(value.boolValue() ? -1 : 0, bigEndian);
        case cao::VT_UI1:
            return hla::Bytes{value.ui1()};
        case cao::VT_I2:
            return bytesOf(value.i2(), bigEndian);
        case cao::VT_I4:
            return bytesOf(value.i4(), bigEndian);
        case cao::VT_R4:
            return bytesOf(value.r4(), bigEndian);
        case cao::VT_R8:
            return bytesOf(value.r8(), bigEndian);
        case cao::VT_DATE:
            return bytesOf(value.date(), bigEndian);
        case cao::VT_BSTR: {
            if (value.string().contains(QChar(0))) {
                throw cao::Error(QStringLiteral("The text holds a NUL character, which cannot be "
                                                "sent: the text travels NUL-terminated"),
                                 cao::code::InvalidArg);
            }
            const QByteArray utf8 = value.string().toUtf8();
            hla::Bytes bytes(utf8.begin(), utf8.end());
            bytes.push_back(0);
            return bytes;
        }
        default:
            throw cao::Error::typeMismatch();
    }
}

cao::Variant decodeValue(const hla::Bytes& bytes, cao::VarType type, bool bigEndian) {
    switch (type) {
        case cao::VT_BOOL:
            return cao::Variant::fromBool(valueOf<int16_t>(bytes, bigEndian, "BOOL") != 0);
        case cao::VT_UI1:
            return cao::Variant::fromUI1(valueOf<uint8_t>(bytes, bigEndian, "UI1"));
        case cao::VT_I2:
            return cao::Variant::fromI2(valueOf<int16_t>(bytes, bigEndian, "I2"));
        case cao::VT_I4:
            return cao::Variant::fromI4(valueOf<int32_t>(bytes, bigEndian, "I4"));
        case cao::VT_R4:
            return cao::Variant::fromR4(valueOf<float>(bytes, bigEndian, "R4"));
        case cao::VT_R8:
            return cao::Variant::fromR8(valueOf<double>(bytes, bigEndian, "R8"));
        case cao::VT_DATE: {
            const double date = valueOf<double>(bytes, bigEndian, "DATE");
            if (!std::isfinite(date)) {
                throw undecodable(QStringLiteral("received a DATE that is not a finite number"));
            }
            return cao::Variant::fromDate(date);
        }
        case cao::VT_BSTR:
            return decodeText(bytes);
        default:
            throw cao::Error::typeMismatch();
    }
}

}  // namespace provider
