#pragma once

// Where a Federate Protocol server listens, as a client names it: tcp://host[:port] or
// tls://host[:port], an IPv6 address in brackets ([::1]).

#include <cstdint>
#include <string>

namespace links::hla4 {

enum class Transport { Tcp, Tls };

// The protocol's registered ports.
inline constexpr std::uint16_t kTcpPort = 15164;
inline constexpr std::uint16_t kTlsPort = 15165;

struct ServerAddress {
    Transport transport = Transport::Tcp;
    std::string host;  // a name, an IPv4 address or an IPv6 address without its brackets
    std::uint16_t port = kTcpPort;

    // As it was written, normalised: "tcp://127.0.0.1:15164", "tls://[::1]:15165".
    std::string text() const;
    // A host of this machine only: localhost, 127.0.0.0/8, ::1.
    bool loopback() const;
};

// Throws std::invalid_argument saying what is wrong with text and what is expected.
ServerAddress parseServerAddress(const std::string& text);

}  // namespace links::hla4
