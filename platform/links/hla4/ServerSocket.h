#pragma once

// One connection to a Federate Protocol server: a TCP socket, or a TLS one that verifies the
// server against the system's certificate authorities and those of a file. Blocking and
// single-threaded: it is made, used and destroyed on one thread, which never waits longer
// than the bound it gives.

#include "platform/links/hla4/ServerAddress.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

class QTcpSocket;

namespace links::hla4 {

class ServerSocket {
public:
    // caFile: PEM certificates trusted beside the system's, for tls:// only; may be empty.
    ServerSocket(ServerAddress server, std::string caFile);
    ~ServerSocket();
    ServerSocket(const ServerSocket&) = delete;
    ServerSocket& operator=(const ServerSocket&) = delete;

    // Connects, and for tls:// completes a verified handshake, within bound. Throws
    // std::runtime_error saying why not.
    void connect(std::chrono::milliseconds bound);

    // Queues the bytes and writes what the system takes now.
    void send(const std::string& bytes);
    // Waits at most wait for bytes (writing what is queued meanwhile) and gives what arrived,
    // at most limit bytes; empty when nothing did. A connection that ends is broken()
    // afterwards, once what came before its end has been read.
    std::string receive(std::chrono::milliseconds wait, std::size_t limit);
    // Bytes queued and not yet taken by the system.
    std::size_t unsent() const;

    bool broken() const;
    // The connection's socket, to wait on; -1 when not connected.
    int descriptor() const;
    // Why the connection broke, as a person reads it.
    std::string fault() const;
    // Writes what is queued for at most bound, then closes.
    void close(std::chrono::milliseconds bound);

private:
    void noteBroken();

    ServerAddress m_server;
    std::string m_caFile;
    std::unique_ptr<QTcpSocket> m_socket;
    bool m_broken = false;
    std::string m_fault;
};

}  // namespace links::hla4
