#include "HlaFixture.h"

using namespace hlatest;
using cao::Variant;

namespace {

const QString kSync = "@SYNC_POINT";

// A controller with the time variables registered and its notices taken.
class HlaTime : public HlaTest {
protected:
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
};

}  // namespace

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

TEST_F(HlaTime, ReadOnlyVariablesRefuseWrites) {
    Side chat = timed("ChatRoom.Chat", kDefaultOptions);
    for (const char* name : {"@CURRENT_TIME", "@LBTS", "@NEXTEVENT_TIME"}) {
        EXPECT_EQ(refusal([&] { chat.put(name, Variant::fromR8(1)); }),
                  QString("%1 is read-only and cannot be written").arg(name));
    }
}
