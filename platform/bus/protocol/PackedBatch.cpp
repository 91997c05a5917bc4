#include "platform/bus/protocol/PackedBatch.h"

#include "cao/Error.h"

#include <QIODevice>
#include <QtEndian>

namespace bus {

namespace {

constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

void writeScalar(QDataStream& out, const cao::Variant& value) {
    switch (value.elementType()) {
        case cao::VT_BOOL:
            out << quint8(value.boolValue() ? 1 : 0);
            break;
        case cao::VT_UI1:
            out << quint8(value.ui1());
            break;
        case cao::VT_I2:
            out << qint16(value.i2());
            break;
        case cao::VT_I4:
            out << qint32(value.i4());
            break;
        case cao::VT_R4:
            out << value.r4();
            break;
        case cao::VT_R8:
            out << value.r8();
            break;
        case cao::VT_CY:
            out << qint64(value.currency());
            break;
        case cao::VT_DATE:
            out << value.date();
            break;
        case cao::VT_BSTR:
            out << value.string();
            break;
        case cao::VT_ERROR:
            out << qint32(value.errorCode());
            break;
        default:
            break;  // VT_EMPTY, VT_NULL: the code says it all
    }
}

}  // namespace

void writePackedValue(QDataStream& out, const cao::Variant& value) {
    out << quint16(value.type());
    if (!value.isArray()) {
        writeScalar(out, value);
        return;
    }
    out << quint32(value.elements().size());
    for (const cao::Variant& element : value.elements()) writeScalar(out, element);
}

namespace {

template <typename T>
T read(QDataStream& in) {
    T value{};
    in >> value;
    return value;
}

cao::Variant readScalar(QDataStream& in, uint16_t type) {
    switch (type) {
        case cao::VT_EMPTY:
            return {};
        case cao::VT_NULL:
            return cao::Variant::null();
        case cao::VT_BOOL:
            return cao::Variant::fromBool(read<quint8>(in) != 0);
        case cao::VT_UI1:
            return cao::Variant::fromUI1(read<quint8>(in));
        case cao::VT_I2:
            return cao::Variant::fromI2(read<qint16>(in));
        case cao::VT_I4:
            return cao::Variant::fromI4(read<qint32>(in));
        case cao::VT_R4:
            return cao::Variant::fromR4(read<float>(in));
        case cao::VT_R8:
            return cao::Variant::fromR8(read<double>(in));
        case cao::VT_CY:
            return cao::Variant::fromCurrency(read<qint64>(in));
        case cao::VT_DATE:
            return cao::Variant::fromDate(read<double>(in));
        case cao::VT_BSTR:
            return cao::Variant::fromString(read<QString>(in));
        case cao::VT_ERROR:
            return cao::Variant::fromError(read<qint32>(in));
        default:
            throw cao::Error(
                QStringLiteral("Type code %1 is not a type the engine carries").arg(type));
    }
}

}  // namespace

cao::Variant readPackedValue(QDataStream& in) {
    const auto type = read<quint16>(in);
    if ((type & cao::VT_ARRAY) == 0) return readScalar(in, type);
    const auto elementType = static_cast<cao::VarType>(type & ~cao::VT_ARRAY);
    const auto length = read<quint32>(in);
    // Every element takes at least a byte, so a length beyond what is left is a lie.
    if (length > static_cast<quint64>(in.device()->bytesAvailable())) {
        throw cao::Error(
            QStringLiteral("An array claims %1 elements, more than the batch holds").arg(length));
    }
    std::vector<cao::Variant> elements;
    elements.reserve(length);
    for (quint32 i = 0; i < length && in.status() == QDataStream::Ok; ++i) {
        elements.push_back(readScalar(in, elementType));
    }
    return cao::Variant::fromArray(elementType, std::move(elements));
}

PackedBatchWriter::PackedBatchWriter() : m_out(&m_bytes, QIODevice::WriteOnly) {
    begin();
}

void PackedBatchWriter::begin() {
    m_bytes.clear();
    m_out.device()->seek(0);
    m_out.setVersion(kStreamVersion);
    m_out << quint32(0);
    m_count = 0;
}

void PackedBatchWriter::add(int32_t number, const cao::Variant& value, const cao::Variant& time,
                            const QString& source, const QString& acknowledgePath) {
    m_out << qint32(number);
    writePackedValue(m_out, value);
    writePackedValue(m_out, time);
    m_out << source << acknowledgePath;
    ++m_count;
}

QByteArray PackedBatchWriter::take() {
    QByteArray batch;
    batch.swap(m_bytes);  // not shared, so the count below is written in place
    const auto count = quint32(m_count);
    begin();
    qToBigEndian(count, batch.data());
    return batch;
}

}  // namespace bus
