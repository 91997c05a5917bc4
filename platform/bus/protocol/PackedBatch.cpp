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
