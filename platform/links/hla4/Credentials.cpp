#include "platform/links/hla4/Credentials.h"

#include "platform/fedpro/protocol/Password.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <stdexcept>

namespace links::hla4 {

namespace {

// The secret in the file as HLA 4's password credentials carry it.
std::string credentialData(const QString& path, const std::string& what) {
    const std::string secret = fedpro::readSecretFile(path.toStdString(), what);
    return fedpro::passwordCredentialData(QString::fromStdString(secret).toStdU16String());
}

}  // namespace

std::string tokenFilePath(std::uint16_t port) {
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return (directory + QStringLiteral("/tandrel/fedpro-%1.token").arg(port)).toStdString();
}

std::optional<Credentials> credentialsFor(const ServerAddress& server,
                                          const std::string& passwordFile) {
    if (!passwordFile.empty()) {
        if (server.transport != Transport::Tls && !server.loopback()) {
            throw std::runtime_error(
                "a password is sent only over tls:// or to this machine, "
                "never unencrypted to " +
                server.text());
        }
        return Credentials{kPlainTextPassword, credentialData(QString::fromStdString(passwordFile),
                                                              "the password file")};
    }
    if (!server.loopback()) return std::nullopt;
    const QString token = QString::fromStdString(tokenFilePath(server.port));
    if (!QFileInfo::exists(token)) return std::nullopt;
    return Credentials{kPlainTextPassword, credentialData(token, "the server's token file")};
}

}  // namespace links::hla4
