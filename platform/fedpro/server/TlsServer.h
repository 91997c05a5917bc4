#pragma once

// A listening socket whose connections speak TLS: each is handed on at once, its handshake
// still under way, so that it counts against the session bounds and the connect time from
// its first moment; what the client sends is read only once the handshake is done. The
// certificate and key come from the operator's PEM files, read when serving starts.

#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>

namespace fedpro::server {

class TlsServer : public QTcpServer {
    Q_OBJECT
public:
    TlsServer(QSslConfiguration configuration, QObject* parent);

    // The server's side of TLS from the certificate and key files; throws std::runtime_error
    // naming the file that cannot be read or holds no certificate or key. A key that is not
    // the certificate's fails each handshake, which the engine's log shows.
    static QSslConfiguration configurationFrom(const QString& certificateFile,
                                               const QString& keyFile);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QSslConfiguration m_configuration;
};

}  // namespace fedpro::server
