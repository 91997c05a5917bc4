// The engine's server opened to other machines: over TLS, with the operator's password in
// place of the token. The hla4 link reaches it by tls:// with the test authority, and is
// refused with Unauthorized for a wrong password and at the handshake without TLS; a password
// file others can read is refused when serving starts.

#include "Hla4TestSupport.h"

#include "platform/fedpro/server/FedProServer.h"

#include <QFile>
#include <QSslSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace hla4test;

namespace {

const QString kTls = QStringLiteral(TANDREL_HLA4_TLS_DIR);

class Hla4TlsServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QSslSocket::supportsSsl()) GTEST_SKIP() << "Qt has no TLS backend here";
        ASSERT_TRUE(directory.isValid());
        password = secretFile("password", "correct horse\n", QFile::ReadOwner | QFile::WriteOwner);
    }
    std::string secretFile(const QString& name, const QByteArray& content,
                           QFile::Permissions permissions) {
        QFile file(directory.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        EXPECT_TRUE(file.setPermissions(permissions));
        return file.fileName().toStdString();
    }
    fedpro::server::ServerOptions options() const {
        fedpro::server::ServerOptions served;
        served.port = 0;
        served.certificateFile = kTls + QStringLiteral("/server.pem");
        served.keyFile = kTls + QStringLiteral("/server.key");
        served.passwordFile = QString::fromStdString(password);
        return served;
    }
    void serve(const fedpro::server::ServerOptions& served) {
        server = std::make_unique<fedpro::server::FedProServer>(
            std::make_shared<links::RunTimeHost>(std::make_shared<rti::RunTime>()), served);
        server->start();
    }
    std::string address(const char* scheme) const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(server->port());
    }
    std::unique_ptr<Hla4Federate> join(const std::string& federate, const std::string& passwordFile,
                                       const char* scheme = "tls") {
        links::LinkRequest request = chatRequest(federation, federate, chatXml());
        request.bounds = quickBounds();
        links::hla4::Hla4Settings settings = quickSettings(address(scheme));
        settings.caFile = (kTls + QStringLiteral("/test-authority.pem")).toStdString();
        settings.passwordFile = passwordFile;
        return std::make_unique<Hla4Federate>(request, settings);
    }
    std::string refusalOf(const std::string& passwordFile, const char* scheme = "tls") {
        try {
            join("Refused", passwordFile, scheme);
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }

    QTemporaryDir directory;
    std::string password;
    const std::string federation = linktest::uniqueFederation();
    std::unique_ptr<fedpro::server::FedProServer> server;
};

}  // namespace

TEST_F(Hla4TlsServer, FederatesWithThePasswordMeetOverTlsAndNoTokenIsWritten) {
    serve(options());
    EXPECT_TRUE(server->tokenPath().isEmpty());
    auto chat = join("Chat", password);
    auto peer = join("Peer", password);
    const auto cls = chat->interaction("InteractionRoot.Communication");
    for (Hla4Federate* federate : {chat.get(), peer.get()}) {
        federate->link().publishInteractionClass(cls);
        federate->link().subscribeInteractionClass(cls);
    }
    ASSERT_TRUE(chat->sendUntil(*peer, "receive InteractionRoot.Communication Message=sealed", [&] {
        chat->link().sendInteraction(
            cls, {{chat->parameter(cls, "Message"), linktest::bytes("sealed")}}, std::nullopt);
    }));
    peer->leave();
    chat->leave();
}

TEST_F(Hla4TlsServer, AWrongOrMissingPasswordOrAPlainConnectionIsRefused) {
    serve(options());
    const std::string wrong = secretFile("wrong", "battery staple", QFile::ReadOwner);
    std::string refusal = refusalOf(wrong);
    EXPECT_NE(refusal.find("refused to connect: Unauthorized"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("the password its operator gave it"), std::string::npos) << refusal;

    refusal = refusalOf("");
    EXPECT_NE(refusal.find("Unauthorized"), std::string::npos) << refusal;

    // Plain bytes at a TLS port fail its handshake: refused within the open bound.
    refusal = refusalOf(password, "tcp");
    EXPECT_FALSE(refusal.empty());
}

TEST_F(Hla4TlsServer, AServerWhosePasswordOrKeyCannotServeRefusesToStartSayingWhy) {
    fedpro::server::ServerOptions served = options();
    served.passwordFile = QString::fromStdString(
        secretFile("shared", "everyone knows", QFile::ReadOwner | QFile::ReadOther));
    try {
        serve(served);
        ADD_FAILURE() << "served with a password others can read";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("chmod 600"), std::string::npos) << e.what();
    }

    served = options();
    served.keyFile = kTls + QStringLiteral("/test-authority.pem");
    try {
        serve(served);
        ADD_FAILURE() << "served with a certificate for a key";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("holds no unencrypted PEM"), std::string::npos)
            << e.what();
    }
}
