#include "HlaFixture.h"

#include <limits>

using namespace hlatest;
using cao::Variant;

namespace {

const QString kSync = "@SYNC_POINT";
const QString kAdvance = "@ADVANCE_TIME";
const QString kCurrent = "@CURRENT_TIME";
const QString kTimestamped = "InteractionRoot.TSCommunication.Message";
const QString kReceiveOrder = "InteractionRoot.Communication.Message";
constexpr double kInfinity = std::numeric_limits<double>::infinity();

class HlaTime : public HlaTest {
protected:
    // A controller with the time variables registered and its notices taken.
    Side timed(const QString& name, const QString& options) {
        Side side = open(name, options);
        for (const char* v :
             {"@CURRENT_TIME", "@ADVANCE_TIME", "@LOOKAHEAD", "@LBTS", "@NEXTEVENT_TIME"}) {
            side.add(v);
        }
        deliver();
        side.takeAll();
        return side;
    }
    std::vector<double> grants(Side& side) {
        std::vector<double> times;
        for (const Received& r : side.take(5)) {
            EXPECT_EQ(r.source, kAdvance);
            times.push_back(r.value.r8());
        }
        side.log->clear();
        return times;
    }
};

}  // namespace

TEST_F(HlaTest, ASynchronizationPointIsAnnouncedToBothAndSynchronizedAfterBothAcknowledge) {
    Side chat = open("ChatRoom.Chat");
    Side peer = open("ChatRoom.Peer");
    chat.add(kSync);
    peer.add(kSync);
    EXPECT_EQ(chat.get(kSync), Variant::fromString(""));
    chat.put(kSync, Variant::fromString("ready"));
    deliver();
    std::vector<Received> announced[] = {chat.take(1), peer.take(1)};
    for (auto& a : announced) {
        ASSERT_EQ(a.size(), 1u);
        EXPECT_EQ(a[0].value, Variant::fromString("ready"));
        EXPECT_EQ(a[0].source, kSync);
    }
    EXPECT_EQ(peer.get(kSync), Variant::fromString("ready"));
    announced[0][0].message->Acknowledge();
    announced[0][0].message->Acknowledge();  // a second time does nothing
    deliver();
    EXPECT_TRUE(chat.take(2).empty());
    EXPECT_TRUE(peer.take(2).empty());
    announced[1][0].message->Acknowledge();
    deliver();
    for (Side* side : {&chat, &peer}) {
        const auto synchronized = side->take(2);
        ASSERT_EQ(synchronized.size(), 1u);
        EXPECT_EQ(synchronized[0].value, Variant::fromString("ready"));
        EXPECT_EQ(synchronized[0].source, kSync);
        EXPECT_EQ(side->get(kSync), Variant::fromString(""));
    }
}

TEST_F(HlaTest, RefusedSynchronizationPointsAreReported) {
    Side chat = open("ChatRoom.Chat");
    chat.add(kSync);
    EXPECT_TRUE(
        refusal([&] { chat.put(kSync, Variant::fromString("")); }).contains("needs a label"));
    chat.put(kSync, Variant::fromString("twice"));
    chat.put(kSync, Variant::fromString("twice"));
    deliver();
    const auto failures = chat.take(-1);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].source, kSync);
    EXPECT_TRUE(failures[0].value.string().startsWith(
        "The synchronization point \"twice\" could not be registered: "));
}

TEST_F(HlaTime, EachAdvancePolicyIsGrantedAndMovesTheCurrentTime) {
    for (int policy : {0, 1, 2}) {
        Side chat = timed("ChatRoom.Chat", optionsWith(3, policy, "1"));
        EXPECT_EQ(chat.time("@LBTS"), kInfinity);
        chat.put(kAdvance, Variant::fromString("5"));
        EXPECT_EQ(chat.time(kAdvance), 5.0);
        deliver();
        EXPECT_EQ(grants(chat), std::vector<double>{5.0}) << "TimeAdv=" << policy;
        EXPECT_EQ(chat.time(kCurrent), 5.0);
        EXPECT_EQ(chat.time(kAdvance), 5.0);
        EXPECT_TRUE(refusal([&] {
                        chat.put(kAdvance, Variant::fromR8(3));
                    }).contains("before the federate's logical time 5"));
        close(chat);
    }
}

TEST_F(HlaTime, ReadOnlyVariablesRefuseWrites) {
    Side chat = timed("ChatRoom.Chat", kDefaultOptions);
    for (const char* name : {"@CURRENT_TIME", "@LBTS", "@NEXTEVENT_TIME"}) {
        EXPECT_EQ(refusal([&] { chat.put(name, Variant::fromR8(1)); }),
                  QString("%1 is read-only and cannot be written").arg(name));
    }
}

TEST_F(HlaTime, TheLookaheadCanChangeButNotBecomeNegative) {
    Side chat = timed("ChatRoom.Chat", optionsWith(1, 0, "0,5"));
    EXPECT_EQ(chat.time("@LOOKAHEAD"), 0.5);
    chat.put("@LOOKAHEAD", Variant::fromR8(2));
    EXPECT_EQ(chat.time("@LOOKAHEAD"), 2.0);
    EXPECT_TRUE(refusal([&] {
                    chat.put("@LOOKAHEAD", Variant::fromR8(-1));
                }).contains("must not be negative"));
    EXPECT_EQ(chat.time("@LOOKAHEAD"), 2.0);
}

TEST_F(HlaTime, TwoRegulatingConstrainedFederatesAdvanceInLockStep) {
    Side chat = timed("ChatRoom.Chat", optionsWith(3, 0, "1"));
    Side peer = timed("ChatRoom.Peer", optionsWith(3, 0, "1"));
    chat.add(kTimestamped);
    peer.add(kTimestamped);
    EXPECT_EQ(chat.time("@LBTS"), 1.0);
    EXPECT_EQ(peer.time("@LBTS"), 1.0);

    chat.put(kAdvance, Variant::fromR8(4));
    deliver();
    EXPECT_TRUE(grants(chat).empty());  // the peer may still send at 1
    EXPECT_TRUE(refusal([&] {
                    chat.put(kAdvance, Variant::fromR8(5));
                }).contains("The advance to 4 is still pending"));
    EXPECT_EQ(chat.time(kAdvance), 4.0);
    peer.put(kAdvance, Variant::fromR8(4));
    deliver();
    EXPECT_EQ(grants(chat), std::vector<double>{4.0});
    EXPECT_EQ(grants(peer), std::vector<double>{4.0});

    chat.put(kTimestamped, Variant::fromString("at five"));  // 4 + lookahead 1
    EXPECT_EQ(peer.time("@LBTS"), 5.0);
    EXPECT_EQ(peer.time("@NEXTEVENT_TIME"), 5.0);
    peer.put(kAdvance, Variant::fromR8(6));
    deliver();
    EXPECT_TRUE(peer.take(3).empty());
    EXPECT_TRUE(grants(peer).empty());
    chat.put(kAdvance, Variant::fromR8(6));
    deliver();
    const auto received = peer.take(3);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].value, Variant::fromString("at five"));
    EXPECT_EQ(received[0].time, Variant::fromR8(5));
    EXPECT_EQ(grants(peer), std::vector<double>{6.0});
    EXPECT_EQ(grants(chat), std::vector<double>{6.0});
    EXPECT_EQ(peer.time(kCurrent), 6.0);
}

TEST_F(HlaTime, AsynchronousDeliveryLetsAConstrainedFederateReceiveWithoutAdvancing) {
    Side chat = timed("ChatRoom.Chat", kDefaultOptions);
    Side held = timed("ChatRoom.Held", optionsWith(2, 0));
    Side async = timed("ChatRoom.Async", optionsWith(2, 0, "1", 1));
    for (Side* side : {&chat, &held, &async}) side->add(kReceiveOrder);
    chat.put(kReceiveOrder, Variant::fromString("now"));
    deliver();
    EXPECT_TRUE(held.take(3).empty());
    EXPECT_EQ(async.take(3).size(), 1u);
    held.put(kAdvance, Variant::fromR8(1));
    deliver();
    EXPECT_EQ(held.take(3).size(), 1u);
}
