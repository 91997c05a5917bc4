#include "platform/fedpro/server/ServerOptions.h"

#include <QFileInfo>
#include <QStringList>

#include <stdexcept>

namespace fedpro::server {

namespace {

constexpr int kMaxPort = 65535;

std::uint16_t portOf(const QString& text, const QString& whole) {
    bool numeric = false;
    const int port = text.toInt(&numeric);
    if (!numeric || port < 0 || port > kMaxPort) {
        throw std::invalid_argument(QStringLiteral("\"%1\" is not a port (0 to 65535) in \"%2\"")
                                        .arg(text, whole)
                                        .toStdString());
    }
    return static_cast<std::uint16_t>(port);
}

std::vector<QHostAddress> addressesOf(const QString& text, const QString& whole) {
    if (text.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return {};
    QHostAddress address;
    if (!address.setAddress(text)) {
        throw std::invalid_argument(
            QStringLiteral("\"%1\" is not an IP address in \"%2\"; write [ADDRESS:]PORT, with "
                           "an IPv6 address in brackets")
                .arg(text, whole)
                .toStdString());
    }
    return {address};
}

// The path, when it is absolute and names a directory or a file as asked.
QString checkedPath(const QString& path, const char* option, bool directory) {
    const QFileInfo info(path);
    if (!info.isAbsolute()) {
        throw std::invalid_argument(QStringLiteral("%1: \"%2\" is not an absolute path")
                                        .arg(QLatin1String(option), path)
                                        .toStdString());
    }
    if (directory ? !info.isDir() : !info.isFile()) {
        throw std::invalid_argument(
            QStringLiteral("%1: \"%2\" is not a %3")
                .arg(QLatin1String(option), path, QLatin1String(directory ? "directory" : "file"))
                .toStdString());
    }
    return info.absoluteFilePath();
}

bool onLoopbacksOnly(const ServerOptions& options) {
    for (const QHostAddress& address : options.addresses) {
        if (!address.isLoopback()) return false;
    }
    return true;
}

}  // namespace

QString exposureRefusal(const ServerOptions& options) {
    if (onLoopbacksOnly(options) ||
        (options.tls() && !options.passwordFile.isEmpty() && options.authenticate)) {
        return {};
    }
    QStringList where;
    for (const QHostAddress& address : options.addresses) {
        where << endpointText(address, options.port);
    }
    return QStringLiteral(
               "cannot serve the Federate Protocol on %1: other machines' federates "
               "would reach the engine's federations there, so it needs TLS and a "
               "password: give --fedpro-tls-cert, --fedpro-tls-key and "
               "--fedpro-password-file (and not --fedpro-no-auth), or serve on a "
               "loopback and reach it through an SSH tunnel")
        .arg(where.join(QStringLiteral(", ")));
}

ServerOptions optionsFor(const ServeRequest& request) {
    ServerOptions options;
    if (!request.certificateFile.isEmpty()) {
        options.certificateFile = checkedPath(request.certificateFile, "--fedpro-tls-cert", false);
    }
    if (!request.keyFile.isEmpty()) {
        options.keyFile = checkedPath(request.keyFile, "--fedpro-tls-key", false);
    }
    if (options.certificateFile.isEmpty() != options.keyFile.isEmpty()) {
        throw std::invalid_argument("--fedpro-tls-cert and --fedpro-tls-key go together");
    }
    if (!request.passwordFile.isEmpty()) {
        options.passwordFile = checkedPath(request.passwordFile, "--fedpro-password-file", false);
    }
    if (!request.fomDirectory.isEmpty()) {
        options.fomDirectory = checkedPath(request.fomDirectory, "--fedpro-fom-dir", true);
    }
    options.authenticate = request.authenticate;
    if (!options.authenticate && !options.passwordFile.isEmpty()) {
        throw std::invalid_argument(
            "--fedpro-no-auth and --fedpro-password-file contradict each other");
    }
    options.port = options.tls() ? kDefaultTlsPort : kDefaultPort;
    if (!request.endpoint.trimmed().isEmpty()) {
        try {
            readEndpoint(request.endpoint, options);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument(std::string("--fedpro: ") + e.what());
        }
    }
    const QString refused = exposureRefusal(options);
    if (!refused.isEmpty()) throw std::invalid_argument(refused.toStdString());
    return options;
}

void readEndpoint(const QString& text, ServerOptions& options) {
    const QString given = text.trimmed();
    if (given.isEmpty()) {
        throw std::invalid_argument("the address to serve on is empty; write [ADDRESS:]PORT");
    }
    if (given.startsWith(QLatin1Char('['))) {
        const qsizetype close = given.indexOf(QLatin1Char(']'));
        if (close < 0) {
            throw std::invalid_argument(
                QStringLiteral("\"%1\" has no closing \"]\"").arg(given).toStdString());
        }
        options.addresses = addressesOf(given.mid(1, close - 1), given);
        const QString rest = given.mid(close + 1);
        if (rest.isEmpty()) return;
        if (!rest.startsWith(QLatin1Char(':'))) {
            throw std::invalid_argument(
                QStringLiteral("\"%1\" has text after the address that is not :PORT")
                    .arg(given)
                    .toStdString());
        }
        options.port = portOf(rest.mid(1), given);
        return;
    }
    const qsizetype colon = given.lastIndexOf(QLatin1Char(':'));
    if (colon < 0) {
        bool numeric = false;
        given.toInt(&numeric);
        if (numeric) {
            options.port = portOf(given, given);
        } else {
            options.addresses = addressesOf(given, given);
        }
        return;
    }
    if (given.indexOf(QLatin1Char(':')) != colon) {
        throw std::invalid_argument(
            QStringLiteral("\"%1\": write an IPv6 address in brackets, as [::1]:15164")
                .arg(given)
                .toStdString());
    }
    options.addresses = addressesOf(given.left(colon), given);
    options.port = portOf(given.mid(colon + 1), given);
}

QString endpointText(const QHostAddress& address, std::uint16_t port) {
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        return QStringLiteral("[%1]:%2").arg(address.toString()).arg(port);
    }
    return QStringLiteral("%1:%2").arg(address.toString()).arg(port);
}

}  // namespace fedpro::server
