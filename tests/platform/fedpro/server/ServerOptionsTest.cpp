// What the engine's command may ask of its server: where it serves, and that no address other
// than a loopback is served without TLS and a password.

#include "platform/fedpro/server/ServerOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

using fedpro::server::optionsFor;
using fedpro::server::ServeRequest;
using fedpro::server::ServerOptions;
using ::testing::HasSubstr;

namespace {

ServeRequest at(const QString& endpoint) {
    ServeRequest request;
    request.endpoint = endpoint;
    return request;
}

std::string refusalOf(const ServeRequest& request) {
    try {
        optionsFor(request);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return {};
}

class ServeRequests : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        for (const char* name : {"server.pem", "server.key", "password"}) {
            QFile file(directory.filePath(QLatin1String(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    ServeRequest exposed(const QString& endpoint) const {
        ServeRequest request;
        request.endpoint = endpoint;
        request.certificateFile = directory.filePath(QStringLiteral("server.pem"));
        request.keyFile = directory.filePath(QStringLiteral("server.key"));
        request.passwordFile = directory.filePath(QStringLiteral("password"));
        return request;
    }

    QTemporaryDir directory;
};

}  // namespace

TEST(ServerEndpoints, AreReadAsThePortTheAddressOrBoth) {
    ServerOptions options = optionsFor(ServeRequest{});
    EXPECT_EQ(options.port, fedpro::server::kDefaultPort);
    EXPECT_TRUE(options.addresses.empty());

    options = optionsFor(at(QStringLiteral("15200")));
    EXPECT_EQ(options.port, 15200);
    EXPECT_TRUE(options.addresses.empty());

    options = optionsFor(at(QStringLiteral("[::1]:15201")));
    ASSERT_EQ(options.addresses.size(), 1u);
    EXPECT_EQ(options.addresses[0], QHostAddress(QHostAddress::LocalHostIPv6));
    EXPECT_EQ(options.port, 15201);

    options = optionsFor(at(QStringLiteral("localhost:15202")));
    EXPECT_TRUE(options.addresses.empty());
    EXPECT_EQ(fedpro::server::endpointText(QHostAddress(QHostAddress::LocalHostIPv6), 1),
              QStringLiteral("[::1]:1"));

    EXPECT_THAT(refusalOf(at(QStringLiteral("::1:15164"))), HasSubstr("in brackets"));
    EXPECT_THAT(refusalOf(at(QStringLiteral("127.0.0.1:70000"))), HasSubstr("is not a port"));
    EXPECT_THAT(refusalOf(at(QStringLiteral("example.org:1"))), HasSubstr("is not an IP address"));
    EXPECT_THAT(refusalOf(at(QStringLiteral("[::1"))), HasSubstr("no closing"));
}

TEST_F(ServeRequests, AnAddressBeyondTheLoopbacksNeedsTlsAndAPassword) {
    ServeRequest request = exposed(QStringLiteral("0.0.0.0"));
    const ServerOptions options = optionsFor(request);
    EXPECT_TRUE(options.tls());
    EXPECT_EQ(options.port, fedpro::server::kDefaultTlsPort);
    EXPECT_FALSE(options.passwordFile.isEmpty());

    request.passwordFile.clear();
    EXPECT_THAT(refusalOf(request), HasSubstr("0.0.0.0:15165"));
    EXPECT_THAT(refusalOf(request), HasSubstr("--fedpro-password-file"));
    request = exposed(QStringLiteral("[2001:db8::1]:16000"));
    request.certificateFile.clear();
    request.keyFile.clear();
    EXPECT_THAT(refusalOf(request), HasSubstr("[2001:db8::1]:16000: other machines"));
    EXPECT_THAT(refusalOf(request), HasSubstr("SSH tunnel"));
    request = exposed(QStringLiteral("192.0.2.7:16000"));
    request.authenticate = false;
    EXPECT_THAT(refusalOf(request), HasSubstr("--fedpro-no-auth"));

    // On a loopback, either alone is allowed.
    request = exposed(QStringLiteral("127.0.0.1:16000"));
    request.passwordFile.clear();
    EXPECT_TRUE(optionsFor(request).tls());
}

TEST_F(ServeRequests, FilesAreAbsoluteAndOfTheirKindAndTheKeyGoesWithItsCertificate) {
    ServeRequest request = exposed(QStringLiteral("127.0.0.1"));
    request.keyFile.clear();
    EXPECT_THAT(refusalOf(request), HasSubstr("go together"));

    request = exposed(QStringLiteral("127.0.0.1"));
    request.passwordFile = QStringLiteral("password");
    EXPECT_THAT(refusalOf(request), HasSubstr("\"password\" is not an absolute path"));

    request = exposed(QStringLiteral("127.0.0.1"));
    request.certificateFile = directory.path();
    EXPECT_THAT(refusalOf(request), HasSubstr("--fedpro-tls-cert"));
    EXPECT_THAT(refusalOf(request), HasSubstr("is not a file"));

    request = exposed(QStringLiteral("127.0.0.1"));
    request.fomDirectory = directory.filePath(QStringLiteral("password"));
    EXPECT_THAT(refusalOf(request), HasSubstr("is not a directory"));

    request = exposed(QStringLiteral("127.0.0.1"));
    request.authenticate = false;
    EXPECT_THAT(refusalOf(request), HasSubstr("contradict"));
}
