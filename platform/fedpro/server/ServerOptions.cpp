#include "platform/fedpro/server/ServerOptions.h"

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

}  // namespace

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
