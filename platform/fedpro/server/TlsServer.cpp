#include "platform/fedpro/server/TlsServer.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>

#include <unistd.h>

#include <stdexcept>

namespace fedpro::server {

namespace {

// PEM files of a certificate chain or a key are small; a larger one is not what was meant.
constexpr qint64 kMaxPemBytes = 1024 * 1024;

QByteArray readPem(const QString& path, const char* what) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error(std::string("the TLS ") + what + " " + path.toStdString() +
                                 " cannot be read: " + file.errorString().toStdString());
    }
    QByteArray content = file.read(kMaxPemBytes + 1);
    if (content.size() > kMaxPemBytes) {
        throw std::runtime_error(std::string("the TLS ") + what + " " + path.toStdString() +
                                 " is larger than a PEM file of one is (1 MiB)");
    }
    return content;
}

}  // namespace

TlsServer::TlsServer(QSslConfiguration configuration, QObject* parent)
    : QTcpServer(parent), m_configuration(std::move(configuration)) {}

QSslConfiguration TlsServer::configurationFrom(const QString& certificateFile,
                                               const QString& keyFile) {
    if (!QSslSocket::supportsSsl()) {
        throw std::runtime_error(
            "cannot serve over TLS: Qt finds no TLS library on this machine (install "
            "libssl3)");
    }
    const QList<QSslCertificate> chain =
        QSslCertificate::fromData(readPem(certificateFile, "certificate"), QSsl::Pem);
    if (chain.isEmpty() || chain.front().isNull()) {
        throw std::runtime_error("the TLS certificate " + certificateFile.toStdString() +
                                 " holds no PEM certificate");
    }
    const QByteArray keyBytes = readPem(keyFile, "key");
    QSslKey key(keyBytes, QSsl::Rsa, QSsl::Pem);
    if (key.isNull()) key = QSslKey(keyBytes, QSsl::Ec, QSsl::Pem);
    if (key.isNull()) {
        throw std::runtime_error("the TLS key " + keyFile.toStdString() +
                                 " holds no unencrypted PEM RSA or EC private key");
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    // Clients show credentials inside the session, not a certificate.
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    return configuration;
}

void TlsServer::incomingConnection(qintptr descriptor) {
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(static_cast<int>(descriptor));
        return;
    }
    socket->setSslConfiguration(m_configuration);
    socket->startServerEncryption();
    addPendingConnection(socket);
}

}  // namespace fedpro::server
