#include "platform/bus/protocol/ChannelMessages.h"

#include "cao/Error.h"
#include "platform/bus/protocol/PackedBatch.h"

#include "platform/bus/protocol/Frame.h"

#include <QDataStream>
#include <QtEndian>

#include <QIODevice>
#include <array>

namespace bus::channel {

namespace {

constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;
constexpr uint8_t kReplyDone = 0;
constexpr uint8_t kReplyValue = 1;
constexpr uint8_t kReplyError = 2;

class Out {
public:
    Out() : m_stream(&m_bytes, QIODevice::WriteOnly) { m_stream.setVersion(kStreamVersion); }
    QDataStream& stream() { return m_stream; }
    // A path as its UTF-8 length (2 bytes) and bytes.
    void path(const QString& path) {
        const QByteArray utf8 = path.toUtf8();
        if (utf8.size() > kMaxPathBytes) {
            throw cao::Error(QStringLiteral("The path %1 is too long for the channel").arg(path));
        }
        m_stream << quint16(utf8.size());
        m_stream.writeRawData(utf8.constData(), int(utf8.size()));
    }
    QByteArray take() { return m_bytes; }

private:
    QByteArray m_bytes;
    QDataStream m_stream;
};

class In {
public:
    In(QByteArrayView payload, const char* what)
        : m_payload(QByteArray::fromRawData(payload.data(), payload.size())),
          m_stream(m_payload),
          m_what(what) {
        m_stream.setVersion(kStreamVersion);
    }
    QDataStream& stream() { return m_stream; }
    template <typename T>
    T read() {
        T value{};
        m_stream >> value;
        check();
        return value;
    }
    QString path() {
        const auto length = read<quint16>();
        if (length > kMaxPathBytes) fail(QStringLiteral("names a path of %1 bytes").arg(length));
        QByteArray utf8(length, Qt::Uninitialized);
        if (m_stream.readRawData(utf8.data(), length) != length) fail(QStringLiteral("ends early"));
        return QString::fromUtf8(utf8);
    }
    cao::Variant value() {
        qsizetype at = position();
        cao::Variant read;
        try {
            read = readPackedValue(m_payload, at);
        } catch (const cao::Error& e) {
            fail(QStringLiteral("carries a value that is no value: %1").arg(e.description()));
        }
        m_stream.skipRawData(int(at - position()));
        return read;
    }
    qsizetype position() const { return m_stream.device()->pos(); }
    void end() {
        if (!m_stream.atEnd()) {
            fail(QStringLiteral("has %1 bytes after its end")
                     .arg(m_stream.device()->bytesAvailable()));
        }
    }
    [[noreturn]] void fail(const QString& why) const {
        throw cao::Error(QStringLiteral("A channel %1 of %2 bytes %3")
                             .arg(QLatin1String(m_what))
                             .arg(m_payload.size())
                             .arg(why));
    }

private:
    void check() const {
        if (m_stream.status() != QDataStream::Ok) fail(QStringLiteral("ends early"));
    }

    const QByteArray m_payload;  // not a copy: the bytes stay the caller's
    QDataStream m_stream;
    const char* m_what;
};

}  // namespace

QByteArray encodeCall(const Call& call) {
    Out out;
    out.stream() << quint32(call.id) << quint8(call.member);
    out.path(call.path);
    if (call.member == Member::PutValue) writePackedValue(out.stream(), call.value);
    return out.take();
}

Call decodeCall(QByteArrayView payload) {
    In in(payload, "call");
    Call call;
    call.id = in.read<quint32>();
    const auto member = in.read<quint8>();
    if (member != quint8(Member::GetValue) && member != quint8(Member::PutValue)) {
        in.fail(QStringLiteral("asks for member %1, which the channel does not carry").arg(member));
    }
    call.member = Member(member);
    call.path = in.path();
    if (call.member == Member::PutValue) call.value = in.value();
    in.end();
    return call;
}

QByteArray encodeReply(const Reply& reply) {
    Out out;
    out.stream() << quint32(reply.id);
    if (reply.failed()) {
        out.stream() << kReplyError << reply.errorName << reply.errorMessage;
    } else if (reply.value) {
        out.stream() << kReplyValue;
        writePackedValue(out.stream(), *reply.value);
    } else {
        out.stream() << kReplyDone;
    }
    return out.take();
}

Reply decodeReply(QByteArrayView payload) {
    In in(payload, "reply");
    Reply reply;
    reply.id = in.read<quint32>();
    const auto status = in.read<quint8>();
    if (status == kReplyValue) {
        reply.value = in.value();
    } else if (status == kReplyError) {
        reply.errorName = in.read<QString>();
        reply.errorMessage = in.read<QString>();
        if (reply.errorName.isEmpty()) in.fail(QStringLiteral("is an error without a name"));
    } else if (status != kReplyDone) {
        in.fail(QStringLiteral("has status %1, which the channel does not know").arg(status));
    }
    in.end();
    return reply;
}

QByteArray encodeBatch(const QString& path, const QByteArray& packed) {
    Out out;
    out.path(path);
    QByteArray bytes = out.take();
    bytes.append(packed);
    return bytes;
}

QByteArray batchFrame(const QString& path, const QByteArray& packed) {
    const QByteArray utf8 = path.toUtf8();
    if (utf8.size() > kMaxPathBytes) {
        throw cao::Error(QStringLiteral("The path %1 is too long for the channel").arg(path));
    }
    const qsizetype payload = qsizetype(sizeof(quint16)) + utf8.size() + packed.size();
    QByteArray bytes;
    bytes.reserve(kFrameHeaderBytes + payload);
    std::array<char, kFrameHeaderBytes + sizeof(quint16)> header{};
    qToBigEndian(quint32(payload), header.data());
    header[4] = char(FrameKind::Batch);
    qToBigEndian(quint16(utf8.size()), header.data() + kFrameHeaderBytes);
    bytes.append(header.data(), qsizetype(header.size()));
    bytes.append(utf8);
    bytes.append(packed);
    return bytes;
}

Batch decodeBatch(QByteArrayView payload) {
    In in(payload, "batch");
    Batch batch;
    batch.path = in.path();
    batch.packed = payload.sliced(in.position());
    if (batch.packed.isEmpty()) in.fail(QStringLiteral("carries no messages"));
    return batch;
}

}  // namespace bus::channel
