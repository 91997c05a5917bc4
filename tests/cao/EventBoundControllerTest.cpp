#include "cao/EventBoundController.h"
#include "support/CaoMocks.h"

#include <gmock/gmock.h>

using namespace cao;
using namespace cao::testing;
using ::testing::_;
using ::testing::InSequence;

namespace {
auto IsEmptyHandler() {
    return ::testing::Truly([](const MessageHandler& h) { return !h; });
}
auto IsSetHandler() {
    return ::testing::Truly([](const MessageHandler& h) { return static_cast<bool>(h); });
}
}  // namespace

TEST(EventBoundController, SubscribesOnSetMovesOnReassignAndEndsOnClear) {
    auto first = std::make_shared<MockController>();
    auto second = std::make_shared<MockController>();
    {
        InSequence order;
        EXPECT_CALL(*first, SetOnMessage(IsSetHandler()));
        EXPECT_CALL(*second, SetOnMessage(IsSetHandler()));
        EXPECT_CALL(*first, SetOnMessage(IsEmptyHandler()));
        EXPECT_CALL(*second, SetOnMessage(IsEmptyHandler()));
    }
    EventBoundController ref([](MessagePtr) {});
    EXPECT_FALSE(ref);
    ref.set(first);
    EXPECT_TRUE(ref);
    ref.set(second);
    ref.clear();
    EXPECT_FALSE(ref);
}

TEST(EventBoundController, HandlerReceivesTheControllersMessages) {
    auto ctrl = std::make_shared<MockController>();
    MessageHandler captured;
    EXPECT_CALL(*ctrl, SetOnMessage(_)).WillRepeatedly([&](MessageHandler h) { captured = h; });
    int delivered = 0;
    EventBoundController ref([&](MessagePtr m) { delivered += m ? 1 : 0; });
    ref.set(ctrl);
    captured(std::make_shared<MockMessage>());
    EXPECT_EQ(delivered, 1);
}

TEST(EventBoundController, DestructionEndsTheSubscriptionEvenWhenTheEngineRefuses) {
    auto ctrl = std::make_shared<MockController>();
    EXPECT_CALL(*ctrl, SetOnMessage(IsSetHandler()));
    EXPECT_CALL(*ctrl, SetOnMessage(IsEmptyHandler())).WillOnce(ThrowError("engine gone"));
    {
        EventBoundController ref([](MessagePtr) {});
        ref.set(ctrl);
    }
}
