#include "platform/links/hla4/ServerAddress.h"

#include <QHostAddress>
#include <QString>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace links::hla4 {

namespace {

constexpr const char* kTcpScheme = "tcp://";
constexpr const char* kTlsScheme = "tls://";
constexpr const char* kExpected = "expected tcp://host[:port] or tls://host[:port]";
// A host name's length at most, as DNS has it.
constexpr std::size_t kMaxHostLength = 253;
constexpr unsigned long kMaxPort = 65535;

[[noreturn]] void refuse(const std::string& text, const std::string& why) {
    throw std::invalid_argument("\"" + text + "\" is no Federate Protocol server address: " + why +
                                " (" + kExpected + ", an IPv6 address in brackets)");
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

bool nameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

std::uint16_t portOf(const std::string& text, const std::string& digits) {
    if (digits.empty() || digits.size() > 5 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        refuse(text, "the port \"" + digits + "\" is not a number from 1 to 65535");
    }
    const unsigned long port = std::stoul(digits);
    if (port == 0 || port > kMaxPort) {
        refuse(text, "the port " + digits + " is not from 1 to 65535");
    }
    return static_cast<std::uint16_t>(port);
}

}  // namespace

std::string ServerAddress::text() const {
    const std::string scheme = transport == Transport::Tls ? kTlsScheme : kTcpScheme;
    const bool v6 = host.find(':') != std::string::npos;
    return scheme + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

bool ServerAddress::loopback() const {
    std::string lower = host;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "localhost") return true;
    const QHostAddress address(QString::fromStdString(host));
    return !address.isNull() && address.isLoopback();
}

ServerAddress parseServerAddress(const std::string& text) {
    ServerAddress address;
    std::string rest;
    if (startsWithNoCase(text, kTcpScheme)) {
        address.transport = Transport::Tcp;
        address.port = kTcpPort;
        rest = text.substr(std::char_traits<char>::length(kTcpScheme));
    } else if (startsWithNoCase(text, kTlsScheme)) {
        address.transport = Transport::Tls;
        address.port = kTlsPort;
        rest = text.substr(std::char_traits<char>::length(kTlsScheme));
    } else {
        refuse(text, "the scheme is neither tcp:// nor tls://");
    }
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    std::string portText;
    bool hasPort = false;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string::npos) refuse(text, "the IPv6 address has no closing bracket");
        address.host = rest.substr(1, close - 1);
        const std::string after = rest.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') refuse(text, "only \":port\" may follow the IPv6 address");
            hasPort = true;
            portText = after.substr(1);
        }
        const QHostAddress v6(QString::fromStdString(address.host));
        if (v6.isNull() || v6.protocol() != QAbstractSocket::IPv6Protocol) {
            refuse(text, "\"" + address.host + "\" in brackets is not an IPv6 address");
        }
    } else {
        const auto colon = rest.find(':');
        address.host = rest.substr(0, colon);
        if (colon != std::string::npos) {
            hasPort = true;
            portText = rest.substr(colon + 1);
            if (portText.find(':') != std::string::npos) {
                refuse(text, "an IPv6 address is written in brackets, as tcp://[::1]:15164");
            }
        }
        if (address.host.empty()) refuse(text, "the host is missing");
        if (address.host.size() > kMaxHostLength ||
            !std::all_of(address.host.begin(), address.host.end(), nameCharacter)) {
            refuse(text, "\"" + address.host + "\" is not a host name or address");
        }
    }
    if (hasPort) address.port = portOf(text, portText);
    return address;
}

}  // namespace links::hla4
