#include "FakeProvider.h"
#include "platform/engine/Dispatcher.h"
#include "platform/engine/Engine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

using namespace cao;

namespace {

class MessageDelivery : public ::testing::Test {
protected:
    MessageDelivery() {
        engine::ProviderRegistry registry;
        registry.add("P", fakeFactory(log));
        eng = std::make_shared<engine::Engine>(std::move(registry));
        ws = eng->Workspaces()->Item(Variant::fromI2(0));
        ctrl = ws->AddController("c", "P", "", "");
        ctrl->SetOnMessage([this](MessagePtr m) { received << m->Number(); });
    }
    void raise(int number, std::function<void()> ack = {}) {
        log.context->raise({number, Variant::fromI4(number), Variant::fromR8(0), "src", ack});
    }

    FakeProviderLog log;
    std::shared_ptr<engine::Engine> eng;
    WorkspacePtr ws;
    ControllerPtr ctrl;
    QList<int> received;
};

}  // namespace

TEST_F(MessageDelivery, NothingIsDeliveredInsideTheCallThatRaisedIt) {
    raise(1);
    raise(2);
    EXPECT_TRUE(received.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(received, QList<int>({1, 2}));
}

TEST_F(MessageDelivery, ARemovedControllersMessagesAreDropped) {
    raise(1);
    ws->Controllers()->Remove(Variant::fromI4(0));
    eng->deliverPending();
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(MessageDelivery, ReplacingTheHandlerMovesAndClearingEndsDelivery) {
    QList<int> other;
    raise(1);
    ctrl->SetOnMessage([&](MessagePtr m) { other << m->Number(); });
    eng->deliverPending();
    raise(2);
    ctrl->SetOnMessage(nullptr);
    eng->deliverPending();
    EXPECT_TRUE(received.isEmpty());
    EXPECT_EQ(other, QList<int>({1}));
}

TEST_F(MessageDelivery, AcknowledgeReachesTheProviderOnce) {
    int acks = 0;
    MessagePtr kept;
    ctrl->SetOnMessage([&](MessagePtr m) { kept = m; });
    raise(1, [&] { ++acks; });
    eng->deliverPending();
    ASSERT_TRUE(kept);
    kept->Acknowledge();
    kept->Acknowledge();
    EXPECT_EQ(acks, 1);
    EXPECT_EQ(kept->Source(), "src");
    EXPECT_EQ(kept->Value(), Variant::fromI4(1));
}

TEST_F(MessageDelivery, AHandlerInANestedEventLoopHoldsBackTheNextMessage) {
    QList<QString> events;
    ctrl->SetOnMessage([&](MessagePtr m) {
        events << QString("begin %1").arg(m->Number());
        if (m->Number() == 1) {
            // Stands for a modal box: a nested loop that runs for a while.
            QEventLoop loop;
            QTimer::singleShot(30, &loop, &QEventLoop::quit);
            loop.exec();
        }
        events << QString("end %1").arg(m->Number());
    });
    raise(1);
    raise(2);
    QEventLoop wait;
    QTimer::singleShot(200, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_EQ(events, QStringList({"begin 1", "end 1", "begin 2", "end 2"}));
}

TEST(Dispatcher, ReturnsToTheEventLoopBetweenSlices) {
    engine::Dispatcher dispatcher(0);  // every item its own slice
    QList<QString> order;
    dispatcher.post([&] { order << "work 1"; });
    dispatcher.post([&] { order << "work 2"; });
    QTimer::singleShot(0, [&] { order << "timer"; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(order.size(), 3);
    EXPECT_NE(order.indexOf("timer"), 2) << "the timer waited for the whole queue";
}

TEST(Dispatcher, WorkThatThrowsDoesNotStopTheQueue) {
    engine::Dispatcher dispatcher;
    bool ran = false;
    dispatcher.post([] { throw Error("provider fault"); });
    dispatcher.post([&] { ran = true; });
    dispatcher.runAll();
    EXPECT_TRUE(ran);
}
