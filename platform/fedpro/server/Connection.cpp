#include "platform/fedpro/server/Connection.h"

#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/server/ServerBounds.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace fedpro::server {

Connection::Connection(QTcpSocket* socket, std::size_t maxPacketSize)
    : m_socket(socket), m_reader(maxPacketSize) {
    m_socket->setParent(this);
    m_address = m_socket->peerAddress().toString();
    // Calls and callbacks are small and each waits on the other side: no Nagle delay.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::readyRead, this, &Connection::readSome);
    connect(m_socket, &QTcpSocket::disconnected, this, &Connection::dropped);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (m_socket->error() != QAbstractSocket::RemoteHostClosedError) dropped();
    });
}

Connection::~Connection() {
    m_closed = true;
    m_socket->disconnect(this);
}

void Connection::setHandlers(FrameHandler frame, GoneHandler gone) {
    m_onFrame = std::move(frame);
    m_onGone = std::move(gone);
    // Frames that arrived before there was an owner for them.
    if (m_socket->bytesAvailable() > 0) {
        QTimer::singleShot(0, this, &Connection::readSome);
    }
}

void Connection::write(const std::string& bytes) {
    if (m_closed) return;
    m_socket->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

qint64 Connection::unsent() const {
    return m_socket->bytesToWrite();
}

void Connection::close() {
    if (m_closed) return;
    m_closed = true;
    // Goes once what was written has been sent, or after a bound.
    connect(m_socket, &QAbstractSocket::disconnected, this, &QObject::deleteLater);
    QTimer::singleShot(kCloseBound, this, &QObject::deleteLater);
    m_socket->disconnectFromHost();
    if (m_socket->state() == QAbstractSocket::UnconnectedState) deleteLater();
}

void Connection::abort() {
    if (m_closed) return;
    m_closed = true;
    m_socket->abort();
}

void Connection::readSome() {
    readFrames(kFramesPerPass);
}

void Connection::readFrames(int most) {
    if (m_closed || m_reading || !m_onFrame) return;
    m_reading = true;
    const QPointer<Connection> alive(this);
    int handled = 0;
    try {
        while (alive && !m_closed && handled < most) {
            if (std::optional<Frame> frame = m_reader.next()) {
                ++handled;
                m_onFrame(*this, std::move(*frame));
                continue;
            }
            const qint64 room = std::min<qint64>(static_cast<qint64>(m_reader.room()), kReadChunk);
            if (room <= 0 || m_socket->bytesAvailable() == 0) break;
            const QByteArray bytes = m_socket->read(room);
            if (bytes.isEmpty()) break;
            m_reader.append(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        }
    } catch (const ProtocolError& e) {
        if (alive) {
            m_reading = false;
            fail(QString::fromStdString(e.what()), true);
        }
        return;
    }
    if (!alive) return;
    m_reading = false;
    // Other sessions get their turn before the rest is read.
    if (!m_closed && (handled >= most || m_socket->bytesAvailable() > 0)) {
        QTimer::singleShot(0, this, &Connection::readSome);
    }
}

void Connection::dropped() {
    if (m_closed) return;
    if (m_reading) {
        QTimer::singleShot(0, this, &Connection::dropped);
        return;
    }
    // What the client sent before it went is still handled (a terminate, a last call).
    const QPointer<Connection> alive(this);
    readFrames(std::numeric_limits<int>::max());
    if (!alive || m_closed) return;
    const QString reason =
        m_socket->error() == QAbstractSocket::RemoteHostClosedError ||
                m_socket->error() == QAbstractSocket::UnknownSocketError
            ? QStringLiteral("the connection was closed by the client")
            : QStringLiteral("the connection failed: %1").arg(m_socket->errorString());
    fail(reason, false);
}

void Connection::fail(const QString& reason, bool malformed) {
    if (m_closed) return;
    m_closed = true;
    m_socket->abort();
    if (m_onGone) m_onGone(*this, reason, malformed);
}

}  // namespace fedpro::server
