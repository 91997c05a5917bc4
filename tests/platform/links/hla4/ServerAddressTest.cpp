// Where a Federate Protocol server is, as CAO_HLA_RTI_ADDRESS names it; and the credentials a
// federate shows it.

#include "platform/links/hla4/Credentials.h"
#include "platform/links/hla4/ServerAddress.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using links::hla4::parseServerAddress;
using links::hla4::ServerAddress;
using links::hla4::Transport;

namespace {

struct Parsed {
    const char* text;
    Transport transport;
    const char* host;
    std::uint16_t port;
    const char* normal;
};

class ServerAddresses : public ::testing::TestWithParam<Parsed> {};

struct Refused {
    const char* text;
    const char* why;  // what the refusal says, in part
};

class ServerAddressRefusals : public ::testing::TestWithParam<Refused> {};

}  // namespace

TEST_P(ServerAddresses, AreReadWithTheirDefaultPorts) {
    const Parsed& p = GetParam();
    const ServerAddress address = parseServerAddress(p.text);
    EXPECT_EQ(address.transport, p.transport);
    EXPECT_EQ(address.host, p.host);
    EXPECT_EQ(address.port, p.port);
    EXPECT_EQ(address.text(), p.normal);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ServerAddresses,
    ::testing::Values(
        Parsed{"tcp://127.0.0.1", Transport::Tcp, "127.0.0.1", 15164, "tcp://127.0.0.1:15164"},
        Parsed{"tcp://127.0.0.1:4000", Transport::Tcp, "127.0.0.1", 4000, "tcp://127.0.0.1:4000"},
        Parsed{"TLS://rti.example.org", Transport::Tls, "rti.example.org", 15165,
               "tls://rti.example.org:15165"},
        Parsed{"tls://rti.example.org:443/", Transport::Tls, "rti.example.org", 443,
               "tls://rti.example.org:443"},
        Parsed{"tcp://[::1]", Transport::Tcp, "::1", 15164, "tcp://[::1]:15164"},
        Parsed{"tcp://[fe80::1]:9", Transport::Tcp, "fe80::1", 9, "tcp://[fe80::1]:9"}));

TEST_P(ServerAddressRefusals, SayWhatIsWrongAndWhatIsExpected) {
    const Refused& r = GetParam();
    try {
        parseServerAddress(r.text);
        ADD_FAILURE() << r.text << " was accepted";
    } catch (const std::invalid_argument& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find(r.why), std::string::npos) << text;
        EXPECT_NE(text.find("expected tcp://host[:port] or tls://host[:port]"), std::string::npos)
            << text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, ServerAddressRefusals,
    ::testing::Values(Refused{"rti://127.0.0.1:14321", "the scheme is neither tcp:// nor tls://"},
                      Refused{"127.0.0.1:15164", "the scheme is neither"},
                      Refused{"tcp://", "the host is missing"},
                      Refused{"tcp://:15164", "the host is missing"},
                      Refused{"tcp://host:0", "the port 0 is not from 1 to 65535"},
                      Refused{"tcp://host:65536", "the port 65536 is not from 1 to 65535"},
                      Refused{"tcp://host:http", "the port \"http\" is not a number"},
                      Refused{"tcp://host:", "the port \"\" is not a number"},
                      Refused{"tcp://::1:15164", "an IPv6 address is written in brackets"},
                      Refused{"tcp://[::1:15164", "no closing bracket"},
                      Refused{"tcp://[::1]15164", "only \":port\" may follow"},
                      Refused{"tcp://[rti]:1", "\"rti\" in brackets is not an IPv6 address"},
                      Refused{"tcp://bad host:1", "\"bad host\" is not a host name"},
                      Refused{"tcp://host/path", "\"host/path\" is not a host name"}));

TEST(ServerAddress, LoopbackIsThisMachineOnly) {
    for (const char* text : {"tcp://localhost", "tcp://127.0.0.1", "tcp://127.1.2.3", "tcp://[::1]",
                             "tls://LOCALHOST:1"}) {
        EXPECT_TRUE(parseServerAddress(text).loopback()) << text;
    }
    for (const char* text : {"tcp://192.168.1.1", "tcp://rti.example.org", "tcp://[fe80::1]",
                             "tcp://localhost.example.org"}) {
        EXPECT_FALSE(parseServerAddress(text).loopback()) << text;
    }
}

// The engine's token for a server on this machine, as HLA 4's password credentials carry a
// password: a big-endian count, then UTF-16BE units.
TEST(Hla4Credentials, TheEnginesTokenGoesToItsOwnPortOnThisMachineOnly) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    ASSERT_TRUE(QDir(runtime.path()).mkpath("tandrel"));
    const ServerAddress local = parseServerAddress("tcp://127.0.0.1:4711");
    EXPECT_EQ(links::hla4::tokenFilePath(4711),
              (runtime.path() + "/tandrel/fedpro-4711.token").toStdString());
    EXPECT_FALSE(links::hla4::credentialsFor(local, ""));  // no token file: a plain connect
    QFile token(runtime.path() + "/tandrel/fedpro-4711.token");
    ASSERT_TRUE(token.open(QIODevice::WriteOnly));
    token.write("ab12\n");
    token.close();
    const auto shown = links::hla4::credentialsFor(local, "");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->type, "HLAplainTextPassword");
    EXPECT_EQ(shown->data, std::string("\0\0\0\4\0a\0b\0001\0002", 12));
    EXPECT_FALSE(links::hla4::credentialsFor(parseServerAddress("tcp://127.0.0.1:4712"), ""));
    EXPECT_FALSE(links::hla4::credentialsFor(parseServerAddress("tcp://192.0.2.1:4711"), ""));
    if (saved.isEmpty()) {
        qunsetenv("XDG_RUNTIME_DIR");
    } else {
        qputenv("XDG_RUNTIME_DIR", saved);
    }
}

TEST(Hla4Credentials, APasswordNeverTravelsUnencryptedToAnotherMachine) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString path = directory.filePath("password");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("s\xc3\xa9");  // "sé"
    file.close();
    try {
        links::hla4::credentialsFor(parseServerAddress("tcp://192.0.2.1"), path.toStdString());
        ADD_FAILURE() << "a password went over tcp:// to another machine";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("only over tls:// or to this machine"),
                  std::string::npos)
            << e.what();
    }
    const auto shown =
        links::hla4::credentialsFor(parseServerAddress("tls://192.0.2.1"), path.toStdString());
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->data, std::string("\0\0\0\2\0s\0\xe9", 8));
    const QString empty = directory.filePath("empty");
    QFile(empty).open(QIODevice::WriteOnly);
    EXPECT_THROW(
        links::hla4::credentialsFor(parseServerAddress("tls://192.0.2.1"), empty.toStdString()),
        std::runtime_error);
}
