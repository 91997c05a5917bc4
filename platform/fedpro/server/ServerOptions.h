#pragma once

// How the engine's server is to serve: where, whether clients authenticate, where bare FOM
// module names are looked for, and the session bounds (Bounds.h's unless set).

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
    std::size_t maxPacketSize = bounds::kMaxPacketSize;
    std::chrono::milliseconds connectTime = bounds::kConnectTime;
    std::chrono::milliseconds sessionTimeout = bounds::kSessionTimeout;
    std::chrono::milliseconds resumeWindow = bounds::kResumeWindow;
};

// Reads "[ADDRESS:]PORT" into the options: "15164", "127.0.0.1:15164", "[::1]:15164",
// "localhost:15164" (both loopbacks), or an address alone for the default port. Throws
// std::invalid_argument saying what is wrong.
void readEndpoint(const QString& text, ServerOptions& options);

// "127.0.0.1:15164" or "[::1]:15164".
QString endpointText(const QHostAddress& address, std::uint16_t port);

}  // namespace fedpro::server
