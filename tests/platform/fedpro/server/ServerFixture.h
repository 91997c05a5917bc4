#pragma once

// A server on a free loopback port in front of a run-time of its own, its token in a
// temporary runtime directory; stopped after every test.

#include "RawClient.h"

#include "platform/fedpro/server/FedProServer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace fedpro::testing {

class ServerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_runtimeDir.isValid());
        m_oldRuntimeDir = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", m_runtimeDir.path().toLocal8Bit());
        host = std::make_shared<links::RunTimeHost>();
        server::ServerOptions options;
        options.addresses = {QHostAddress(QHostAddress::LocalHost)};
        options.port = 0;
        adjust(options);
        server = std::make_unique<server::FedProServer>(host, options);
        server->start();
        port = server->port();
        if (!server->tokenPath().isEmpty()) {
            QFile file(server->tokenPath());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            token = file.readAll().trimmed().toStdString();
        }
    }

    void TearDown() override {
        const QString tokenPath = server->tokenPath();
        server->stop();
        if (!tokenPath.isEmpty()) {
            EXPECT_FALSE(QFile::exists(tokenPath));
        }
        qputenv("XDG_RUNTIME_DIR", m_oldRuntimeDir);
    }

    virtual void adjust(server::ServerOptions&) {}

    // A client with a session, connected with the token.
    std::unique_ptr<RawClient> connected(const std::string& settings = {}) {
        auto client = std::make_unique<RawClient>(port);
        const pb::CallResponse response = client->open(token, settings);
        EXPECT_FALSE(response.has_exceptiondata()) << response.exceptiondata().details();
        return client;
    }

    std::shared_ptr<links::RunTimeHost> host;
    std::unique_ptr<server::FedProServer> server;
    std::uint16_t port = 0;
    std::string token;

private:
    QTemporaryDir m_runtimeDir;
    QByteArray m_oldRuntimeDir;
};

// The exception a response carries, "" for none.
inline std::string exceptionOf(const pb::CallResponse& response) {
    return response.has_exceptiondata() ? response.exceptiondata().exceptionname() : std::string();
}

}  // namespace fedpro::testing
