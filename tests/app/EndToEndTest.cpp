// The window on the real embedded engine with the HLA provider, and a second controller of
// the same engine as a peer federate in the federation ChatRoom.

#include "WindowFixture.h"

#include "messages/MessageLogModel.h"
#include "platform/engine/Engine.h"
#include "platform/provider/HlaProvider.h"
#include "support/DefaultOptions.h"
#include "support/EngineUnderTest.h"
#include "support/TimerTick.h"

#include <QDeadlineTimer>

using namespace cao;
using testsupport::EngineKind;

namespace {

// Runs the event loop until the condition holds; false when it did not within the limit.
bool waitFor(const std::function<bool()>& condition, int limitMs = 10000) {
    QDeadlineTimer deadline(limitMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Every case runs on the engine in this program and on the same engine over the bus.
class EndToEnd : public ::testing::TestWithParam<EngineKind> {
protected:
    EndToEnd() : window(messages) {}
    void SetUp() override {
        TANDREL_SKIP_UNLESS_ENGINE_REACHABLE(GetParam());
        under = std::make_unique<testsupport::EngineUnderTest>(GetParam(), [] {
            engine::ProviderRegistry providers;
            provider::registerProvider(providers);
            return providers;
        });
        eng = under->engine();
        window.load([this] { return eng; });
    }
    ~EndToEnd() override {
        if (peer)
            eng->Workspaces()
                ->Item(Variant::fromI2(0))
                ->Controllers()
                ->Remove(Variant::fromI4(peer->Index()));
        window.close();
    }

    Ui::frmMain& form() { return window.form(); }
    void openWindow() {
        form().cmdOpen->click();
        ASSERT_TRUE(messages.shown.isEmpty()) << messages.shown.join("; ").toStdString();
    }
    void registerName(const QString& name) {
        form().cmbVarNames->setEditText(name);
        form().cmdGetVar->click();
        ASSERT_TRUE(messages.shown.isEmpty()) << messages.shown.join("; ").toStdString();
    }
    void select(const QString& name) {
        form().cmbVar->setCurrentIndex(form().cmbVar->findText(name));
    }
    void openPeer() {
        peer = eng->Workspaces()
                   ->Item(Variant::fromI2(0))
                   ->AddController("ChatRoom.Peer", "CaoProv.Zarn.HLA", "", kDefaultOptions);
        peer->SetOnMessage([this](MessagePtr m) {
            peerNumbers << m->Number();
            if (m->Number() == 1) m->Acknowledge();
        });
    }
    messages::MessageLogModel& log() {
        return *qobject_cast<messages::MessageLogModel*>(form().lstMessage->model());
    }
    QStringList lines() {
        QStringList all;
        for (qsizetype i = 0; i < log().lineCount(); ++i) all << log().line(i);
        return all;
    }
    bool hasLine(const QString& prefix) {
        const QStringList all = lines();
        return std::any_of(all.begin(), all.end(),
                           [&](const QString& l) { return l.startsWith(prefix); });
    }

    RecordingMessageBox messages;
    frmMain window;
    std::unique_ptr<testsupport::EngineUnderTest> under;
    EnginePtr eng;
    ControllerPtr peer;
    QList<int> peerNumbers;
};

}  // namespace

TEST_P(EndToEnd, TheTypicalRoadShowsTheCurrentTimeEverySecond) {
    openWindow();
    EXPECT_TRUE(window.timer().isActive());
    EXPECT_FALSE(form().cmdOpen->isEnabled());
    registerName("@CURRENT_TIME");
    EXPECT_TRUE(form().txtTime_0->isEnabled());
    form().txtTime_0->setText("stale");
    EXPECT_EQ(window.timer().interval(), 1000);
    ASSERT_TRUE(tickNow(window.timer()));
    EXPECT_EQ(form().txtTime_0->text(), "0");
    form().cmdClose->click();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(form().cmbVar->count(), 0);
    EXPECT_FALSE(window.timer().isActive());
}

TEST_P(EndToEnd, AnAdvanceWrittenAsADoubleIsReadBackAfterTheGrant) {
    openWindow();
    registerName("@CURRENT_TIME");
    registerName("@ADVANCE_TIME");
    form().txtPut->setText("3");
    form().cmbPutType->setCurrentIndex(5);
    form().cmdPut->click();
    ASSERT_TRUE(messages.shown.isEmpty()) << messages.shown.join("; ").toStdString();
    ASSERT_TRUE(waitFor([&] { return hasLine("5 : 3 (5) : Time="); }))
        << lines().join("\n").toStdString();

    select("@CURRENT_TIME");
    form().txtPut->clear();
    form().cmbPutType->setCurrentIndex(0);
    form().cmdGet->click();
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join("; ").toStdString();
    EXPECT_EQ(form().txtPut->text(), "3");
    EXPECT_EQ(form().cmbPutType->currentIndex(), 5);
}

TEST_P(EndToEnd, APeersCommunicationBecomesOneLogLine) {
    openWindow();
    registerName("InteractionRoot.Communication.Message");
    openPeer();
    peer->Variables()->Add("InteractionRoot.Communication.Message", "Option=0");
    peer->Variables()
        ->Item(Variant::fromString("InteractionRoot.Communication.Message"))
        ->put_Value(Variant::fromString("hello, federation"));
    const QString expected =
        "3 : hello, federation (7) : Time=0, Source=InteractionRoot.Communication.Message";
    ASSERT_TRUE(waitFor([&] { return lines().contains(expected); }))
        << lines().join("\n").toStdString();
    EXPECT_EQ(lines().count(expected), 1);
}

TEST_P(EndToEnd, APeersSynchronisationPointIsAnsweredAutomatically) {
    openWindow();
    ASSERT_TRUE(form().chkSync->isChecked());
    openPeer();
    peer->Variables()->Add("@SYNC_POINT", "Option=0");
    peer->Variables()
        ->Item(Variant::fromString("@SYNC_POINT"))
        ->put_Value(Variant::fromString("ready"));
    ASSERT_TRUE(waitFor([&] { return peerNumbers.contains(2); }))
        << "the federation was never synchronised; window log:\n"
        << lines().join("\n").toStdString();
    EXPECT_TRUE(waitFor([&] { return hasLine("2 : ready (7) : Time=0, Source=@SYNC_POINT"); }));
    EXPECT_TRUE(hasLine("1 : ready (7) : Time=0, Source=@SYNC_POINT"));
    EXPECT_TRUE(messages.shown.isEmpty()) << "no box while the answer is automatic";
}

TEST_P(EndToEnd, AFloodLeavesTheEventLoopFreeAndKeepsEveryLineInOrder) {
    openWindow();
    registerName("InteractionRoot.Communication.Message#I4");
    openPeer();
    const QString name = "InteractionRoot.Communication.Message#I4";
    peer->Variables()->Add(name, "Option=0");
    VariablePtr sender = peer->Variables()->Item(Variant::fromString(name));
    // Over the bus every write is a round trip of its own; fewer do.
    const int total = GetParam() == EngineKind::Embedded ? 100000 : 10000;
    for (int i = 0; i < total; ++i) sender->put_Value(Variant::fromI4(i));

    // Work queued behind the flood stands for painting and the window's own timer: it must get
    // its turn while the flood is being handed out, not only once it is over. It queues
    // itself again each time, so it takes every turn the event loop gives.
    int turnsDuringFlood = 0;
    bool probing = true;
    QObject context;
    std::function<void()> probe = [&] {
        const qsizetype n = log().lineCount();
        if (n > 0 && n < total) ++turnsDuringFlood;
        if (probing) QMetaObject::invokeMethod(&context, probe, Qt::QueuedConnection);
    };
    QMetaObject::invokeMethod(&context, probe, Qt::QueuedConnection);
    ASSERT_TRUE(waitFor([&] { return log().lineCount() >= total; }, 120000));
    probing = false;
    EXPECT_GE(turnsDuringFlood, 1) << "the whole flood was handed out in one go";

    QStringList received;
    for (const QString& line : lines()) {
        if (line.startsWith("3 : ")) received << line.section(' ', 2, 2);
    }
    ASSERT_EQ(received.size(), total);
    for (int i = 0; i < total; i += 999) EXPECT_EQ(received[i], QString::number(i));
    EXPECT_EQ(received.last(), QString::number(total - 1));
}

INSTANTIATE_TEST_SUITE_P(BothEngines, EndToEnd,
                         ::testing::Values(EngineKind::Embedded, EngineKind::Bus),
                         testsupport::engineKindName);
