#pragma once

// One client connection: its socket, cut into frames by a bounded reader. It hands each
// frame to its owner and says when the connection is gone, and why; a connection whose
// bytes break the protocol is closed at once. It never blocks: it reads what has arrived,
// writes into the socket's buffer and reports how much the client has not yet taken.

#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/FrameReader.h"

#include <QObject>
#include <QString>
#include <QTcpSocket>

#include <functional>
#include <string>

namespace fedpro::server {

class Connection : public QObject {
    Q_OBJECT
public:
    using FrameHandler = std::function<void(Connection&, Frame&&)>;
    // malformed: the client broke the protocol (else the connection dropped or was closed).
    using GoneHandler = std::function<void(Connection&, const QString& reason, bool malformed)>;

    // Takes the socket over.
    Connection(QTcpSocket* socket, std::size_t maxPacketSize);
    ~Connection() override;

    void setHandlers(FrameHandler frame, GoneHandler gone);

    // The client's address, for log lines and the bound per address.
    const QString& address() const { return m_address; }
    void write(const std::string& bytes);
    // Bytes written and not yet taken by the client.
    qint64 unsent() const;
    // Ends the connection without telling the owner: closing sends what is written first and
    // then deletes the connection, aborting drops what is unsent.
    void close();
    void abort();
    bool isOpen() const { return !m_closed; }

private:
    void readSome();
    void readFrames(int most);
    void dropped();
    void fail(const QString& reason, bool malformed);

    QTcpSocket* m_socket;
    QString m_address;
    FrameReader m_reader;
    FrameHandler m_onFrame;
    GoneHandler m_onGone;
    bool m_closed = false;
    bool m_reading = false;
};

}  // namespace fedpro::server
