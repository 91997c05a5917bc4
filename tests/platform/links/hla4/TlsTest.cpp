// tls:// is verified, never taken on trust: the server's chain against the system's
// authorities and those of CAO_HLA_RTI_CA_FILE, and its name against the address.

#include "platform/links/hla4/ServerSocket.h"

#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>
#include <string>
#include <thread>

using links::hla4::parseServerAddress;
using links::hla4::ServerSocket;
using namespace std::chrono_literals;

namespace {

const std::string kTls = TANDREL_HLA4_TLS_DIR;

// A TLS listener for one handshake, on a thread of its own, with the test authority's
// certificate for localhost and 127.0.0.1.
class TlsListener {
public:
    TlsListener() {
        std::promise<std::uint16_t> port;
        auto listening = port.get_future();
        m_thread = std::thread([this, &port] { serve(port); });
        m_port = listening.get();
    }
    ~TlsListener() { m_thread.join(); }
    std::uint16_t port() const { return m_port; }

private:
    class Server : public QTcpServer {
    public:
        qintptr descriptor = -1;

    protected:
        void incomingConnection(qintptr socket) override { descriptor = socket; }
    };

    static void serve(std::promise<std::uint16_t>& port) {
        Server server;
        server.listen(QHostAddress::LocalHost);
        port.set_value(server.serverPort());
        if (!server.waitForNewConnection(10000) || server.descriptor < 0) return;
        QSslSocket socket;
        socket.setSocketDescriptor(server.descriptor);
        socket.setLocalCertificate(QString::fromStdString(kTls + "/server.pem"));
        socket.setPrivateKey(QString::fromStdString(kTls + "/server.key"));
        socket.startServerEncryption();
        socket.waitForEncrypted(5000);
        // Until the client has seen the handshake through and gone.
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(5000)) {
            socket.readAll();
        }
    }

    std::uint16_t m_port = 0;
    std::thread m_thread;
};

std::string failureOf(const std::string& address, const std::string& caFile) {
    ServerSocket socket(parseServerAddress(address), caFile);
    try {
        socket.connect(5s);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return {};
}

class Hla4Tls : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QSslSocket::supportsSsl()) GTEST_SKIP() << "Qt has no TLS backend here";
    }
};

}  // namespace

TEST_F(Hla4Tls, AServerTheCaFileVouchesForIsReachedByAddressAndByName) {
    for (const char* host : {"127.0.0.1", "localhost"}) {
        TlsListener server;
        const std::string address =
            "tls://" + std::string(host) + ":" + std::to_string(server.port());
        EXPECT_EQ(failureOf(address, kTls + "/test-authority.pem"), "") << address;
    }
}

TEST_F(Hla4Tls, AServerNoAuthorityVouchesForIsRefused) {
    TlsListener server;
    const std::string address = "tls://127.0.0.1:" + std::to_string(server.port());
    const std::string failure = failureOf(address, "");
    EXPECT_NE(failure.find("the server at " + address + " could not be reached over TLS: "),
              std::string::npos)
        << failure;
}

TEST_F(Hla4Tls, ACaFileWithoutCertificatesIsRefusedBeforeConnecting) {
    const std::string failure = failureOf("tls://127.0.0.1:1", kTls + "/server.key");
    EXPECT_NE(failure.find("holds no PEM certificate"), std::string::npos) << failure;
}
