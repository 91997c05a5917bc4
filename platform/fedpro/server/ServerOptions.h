#pragma once

// How the engine's server is to serve: where, whether clients authenticate and how, over TLS
// or not, where bare FOM module names are looked for, and the session bounds (Bounds.h's
// unless set).

#include "platform/fedpro/protocol/Bounds.h"
#include "platform/fedpro/server/ServerBounds.h"

#include <QHostAddress>
#include <QString>

#include <chrono>
#include <cstdint>
#include <vector>

namespace fedpro::server {

struct ServerOptions {
    // Empty: the loopback addresses, IPv4 and IPv6.
    std::vector<QHostAddress> addresses;
    // 0: a free port the system chooses (for tests).
    std::uint16_t port = kDefaultPort;
    // Off: any local process may connect (--fedpro-no-auth).
    bool authenticate = true;
    // Where bare FOM module names are looked for beside the engine's data directories.
    QString fomDirectory;
    // TLS, when set: the certificate (PEM, the server's first, then any chain) and its private
    // key (PEM, unencrypted) the server shows every client.
    QString certificateFile;
    QString keyFile;
    // The password clients send, in place of the token; its file is its owner's alone.
    QString passwordFile;
    std::size_t maxPacketSize = bounds::kMaxPacketSize;
    std::chrono::milliseconds connectTime = bounds::kConnectTime;
    std::chrono::milliseconds sessionTimeout = bounds::kSessionTimeout;
    std::chrono::milliseconds resumeWindow = bounds::kResumeWindow;

    bool tls() const { return !certificateFile.isEmpty(); }
};

// What the engine's command asks for, as given on its command line or sent to an engine
// already running; every file and directory named by its absolute path.
struct ServeRequest {
    QString endpoint;  // "[ADDRESS:]PORT", or empty for the defaults
    bool authenticate = true;
    QString fomDirectory;
    QString certificateFile;
    QString keyFile;
    QString passwordFile;
};

// Why the options may not be served, or "": an address other than a loopback without TLS and a
// password (other machines' federates would reach the engine's federations unchecked and in
// the clear).
QString exposureRefusal(const ServerOptions& options);

// The options a request asks for, their files not yet read. Throws std::invalid_argument
// naming the option at fault: an endpoint that is none, a path that is not absolute, a
// directory or file that is not one, a certificate without its key, a password with no
// authentication, or what exposureRefusal refuses.
ServerOptions optionsFor(const ServeRequest& request);

// Reads "[ADDRESS:]PORT" into the options: "15164", "127.0.0.1:15164", "[::1]:15164",
// "localhost:15164" (both loopbacks), or an address alone for the port the options have. Throws
// std::invalid_argument saying what is wrong.
void readEndpoint(const QString& text, ServerOptions& options);

// "127.0.0.1:15164" or "[::1]:15164".
QString endpointText(const QHostAddress& address, std::uint16_t port);

}  // namespace fedpro::server
