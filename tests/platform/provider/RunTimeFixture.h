#pragma once

// One scenario suite for every run-time of the provider; the exchange and object cases run
// with the chat room as a FED file and as an IEEE 1516-2010 XML module (a "+xml" instance).
// An instance on the HLA 1.3 or the IEEE 1516-2010 run-time needs a running RTI at
// TANDREL_TEST_RTI_ADDRESS (rti://127.0.0.1:PORT); without one, or in a build without that
// run-time's link, its cases are skipped, or fail when TANDREL_TEST_REQUIRE_HLA13=1
// (TANDREL_TEST_REQUIRE_HLA1516E=1). An instance on the HLA 4 link needs nothing: it starts
// the engine's Federate Protocol server in this process, on a free loopback port, in front of
// a run-time of its own, as another engine would be.

#include "HlaFixture.h"
#include "cao/ProviderContract.h"
#include "platform/fedpro/server/FedProServer.h"
#include "platform/provider/RunTimeChoice.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <unistd.h>

#include <string>

namespace hlatest {

inline const std::string kEmbedded = "embedded";
inline const std::string kHla13 = "hla13";
inline const std::string kHla1516e = "hla1516e";
inline const std::string kHla4 = "hla4";
inline const std::string kXml = "+xml";
inline const std::string kEmbeddedXml = kEmbedded + kXml;
inline const std::string kHla13Xml = kHla13 + kXml;
inline const std::string kHla1516eXml = kHla1516e + kXml;
inline const std::string kHla4Xml = kHla4 + kXml;

class RunTimeTest : public HlaTest, public ::testing::WithParamInterface<std::string> {
protected:
    // How long a case waits for what another process must send before it fails; a bound
    // against hanging, not a speed requirement.
    static constexpr int kWaitBoundMs = 10000;
    // How long an RTI in another process gets to deliver something that must not arrive.
    static constexpr int kStrayWindowMs = 300;

    void SetUp() override {
        if (onHla4()) {
            startServer();
            return;
        }
        if (!overNetwork()) return;
        const bool hla13 = onHla13();
        const auto kind =
            hla13 ? provider::RunTimeChoice::Kind::Hla13 : provider::RunTimeChoice::Kind::Hla1516e;
        const char* name = hla13 ? "HLA 1.3" : "IEEE 1516-2010";
        const QByteArray address = qgetenv("TANDREL_TEST_RTI_ADDRESS");
        std::string missing;
        if (!provider::runTimeBuilt(kind)) {
            missing = std::string("this build has no ") + name + " run-time link";
        } else if (address.isEmpty()) {
            missing =
                "TANDREL_TEST_RTI_ADDRESS is not set (e.g. rti://127.0.0.1:14321 of a "
                "running rtinode)";
        }
        if (!missing.empty()) {
            if (qgetenv(hla13 ? "TANDREL_TEST_REQUIRE_HLA13" : "TANDREL_TEST_REQUIRE_HLA1516E") ==
                "1") {
                FAIL() << "the " << name << " run-time is required, but " << missing;
            }
            GTEST_SKIP() << name << " run-time not tested: " << missing;
        }
        useClient({{cao::contract::environment::kRunTime,
                    QString::fromStdString(hla13 ? kHla13 : kHla1516e)},
                   {cao::contract::environment::kRunTimeAddress, QString::fromUtf8(address)}});
    }

    void TearDown() override {
        // Leave every federation before the next case, so the RTI keeps nothing of this one.
        while (ws && ws->Controllers()->Count() > 0) {
            ws->Controllers()->Remove(cao::Variant::fromI4(0));
        }
        m_server.reset();
    }

    bool onHla13() const { return GetParam().rfind(kHla13, 0) == 0; }
    bool onHla1516e() const { return GetParam().rfind(kHla1516e, 0) == 0; }
    bool onHla4() const { return GetParam().rfind(kHla4, 0) == 0; }
    // On an RTI in other processes, reached over a network.
    bool overNetwork() const { return onHla13() || onHla1516e() || onHla4(); }
    // Through an RTI's library that lacks the ownership services the embedded run-time has;
    // the engine's server has them.
    bool lacksOwnership() const { return onHla13() || onHla1516e(); }
    bool withXml() const { return GetParam().ends_with(kXml); }
    // The window's defaults, with the chat room in the instance's format.
    QString defaultOptions() const {
        QString options = kDefaultOptions;
        if (withXml()) options.replace(QStringLiteral("Chat.fed"), QStringLiteral("Chat.xml"));
        return options;
    }

    // A federation of this case alone: an RTI server outlives a case and serves others.
    QString federation() const {
        static int counter = 0;
        if (m_federation.isEmpty()) {
            m_federation = QStringLiteral("ChatRoom%1n%2").arg(::getpid()).arg(++counter);
        }
        return m_federation;
    }
    // Later joins go to a federation of their own: with OpenRTI, a create that follows the
    // destruction of the same execution at once was once seen to block for good.
    void moveToNewFederation() { m_federation.clear(); }
    Side join(const QString& federate) {
        return open(federation() + "." + federate, defaultOptions());
    }
    Side join(const QString& federate, const QString& options) {
        return open(federation() + "." + federate, options);
    }

    // Runs the event loop until the condition holds; false when the bound passes first.
    template <typename Condition>
    bool waitFor(Condition condition) {
        QDeadlineTimer bound(kWaitBoundMs);
        for (;;) {
            eng->deliverPending();
            if (condition()) return true;
            if (bound.hasExpired()) return false;
            spin(5);
        }
    }
    // Lets whatever is under way arrive, so a case can say that something did not.
    void settle() {
        eng->deliverPending();
        if (!overNetwork()) return;
        spin(kStrayWindowMs);
        eng->deliverPending();
    }
    static bool has(Side& side, int number, size_t count = 1) {
        size_t n = 0;
        for (const Received& r : *side.log) n += r.number == number ? 1 : 0;
        return n >= count;
    }

    // The engine's server, and the link's variables that reach it.
    void startServer(bool authenticate = true) {
        m_server.reset();
        fedpro::server::ServerOptions options;
        options.port = 0;
        options.authenticate = authenticate;
        m_server = std::make_unique<fedpro::server::FedProServer>(
            std::make_shared<links::RunTimeHost>(std::make_shared<rti::RunTime>()), options);
        m_server->start();
        useClient(hla4Variables(m_server->port()));
    }
    static engine::ClientContext::Environment hla4Variables(int port) {
        return {{cao::contract::environment::kRunTime, QString::fromStdString(kHla4)},
                {cao::contract::environment::kRunTimeAddress,
                 QStringLiteral("tcp://127.0.0.1:%1").arg(port)}};
    }
    fedpro::server::FedProServer& server() { return *m_server; }

private:
    static void spin(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    mutable QString m_federation;
    std::unique_ptr<fedpro::server::FedProServer> m_server;
};

// Two controllers, Chat and Peer, joined to one federation with their notices taken.
class TwoSideRunTimeTest : public RunTimeTest {
protected:
    void SetUp() override {
        RunTimeTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        chat = join("Chat");
        peer = join("Peer");
        ASSERT_TRUE(waitFor([&] { return has(chat, 0) && has(peer, 0); }));
        chat.takeAll();
        peer.takeAll();
    }
    Side chat;
    Side peer;
};

inline std::string runTimeName(const ::testing::TestParamInfo<std::string>& info) {
    const std::string& p = info.param;
    const char* name = p.rfind(kHla1516e, 0) == 0 ? "Hla1516e"
                       : p.rfind(kHla13, 0) == 0  ? "Hla13"
                       : p.rfind(kHla4, 0) == 0   ? "Hla4"
                                                  : "Embedded";
    return std::string(name) + (p.ends_with(kXml) ? "ChatXml" : "");
}

}  // namespace hlatest
