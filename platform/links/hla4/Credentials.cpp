#include "platform/links/hla4/Credentials.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <stdexcept>

namespace links::hla4 {

namespace {

// A token or password longer than this is no token nor password.
constexpr qint64 kMaxSecretBytes = 4096;

// The file's content without the line end an editor adds; throws naming what the file is.
std::string readSecret(const QString& path, const std::string& what) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        throw std::runtime_error(what + " " + path.toStdString() + " is not a readable file");
    }
    if (info.size() > kMaxSecretBytes) {
        throw std::runtime_error(what + " " + path.toStdString() + " is larger than " +
                                 std::to_string(kMaxSecretBytes) + " bytes");
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error(what + " " + path.toStdString() +
                                 " cannot be read: " + file.errorString().toStdString());
    }
    QByteArray secret = file.read(kMaxSecretBytes + 1);
    while (!secret.isEmpty() && (secret.endsWith('\n') || secret.endsWith('\r'))) secret.chop(1);
    if (secret.isEmpty()) throw std::runtime_error(what + " " + path.toStdString() + " is empty");
    return secret.toStdString();
}

// A password as HLA 4's password credentials carry it: an HLAunicodeString, a big-endian
// count of UTF-16 code units and then the units, big-endian.
std::string unicodeString(const std::string& utf8) {
    const std::u16string units = QString::fromStdString(utf8).toStdU16String();
    std::string encoded;
    encoded.reserve(4 + 2 * units.size());
    const auto count = static_cast<std::uint32_t>(units.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        encoded += static_cast<char>((count >> shift) & 0xFFu);
    }
    for (const char16_t unit : units) {
        encoded += static_cast<char>(unit >> 8);
        encoded += static_cast<char>(unit & 0xFFu);
    }
    return encoded;
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
        return Credentials{
            kPlainTextPassword,
            unicodeString(readSecret(QString::fromStdString(passwordFile), "the password file"))};
    }
    if (!server.loopback()) return std::nullopt;
    const QString token = QString::fromStdString(tokenFilePath(server.port));
    if (!QFileInfo::exists(token)) return std::nullopt;
    return Credentials{kPlainTextPassword,
                       unicodeString(readSecret(token, "the server's token file"))};
}

}  // namespace links::hla4
