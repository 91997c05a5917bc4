#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/Sequence.h"
#include "platform/fedpro/protocol/SessionId.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>

using namespace fedpro;

TEST(FedProSequence, NumbersWrapAfterIntMaxToZero) {
    EXPECT_EQ(nextSequence(0), 1);
    EXPECT_EQ(nextSequence(INT32_MAX - 1), INT32_MAX);
    EXPECT_EQ(nextSequence(INT32_MAX), 0);
    EXPECT_EQ(nextSequence(kNoSequence), 0);
    EXPECT_EQ(nextSequence(-1), 0);
}

TEST(FedProSequence, NewerCountsAcrossTheWrap) {
    EXPECT_TRUE(isNewer(1, 0));
    EXPECT_FALSE(isNewer(0, 1));
    EXPECT_FALSE(isNewer(5, 5));
    EXPECT_TRUE(isNewer(0, INT32_MAX));
    EXPECT_FALSE(isNewer(INT32_MAX, 0));
    EXPECT_TRUE(isNewer(100, INT32_MAX - 100));
    // Just under half the range ahead is newer; half of it or more is behind.
    EXPECT_TRUE(isNewer(0x3fffffff, 0));
    EXPECT_FALSE(isNewer(0x40000000, 0));
    EXPECT_TRUE(isNewer(0, 0x40000001));
    // Nothing yet: everything is newer; a missing number never is.
    EXPECT_TRUE(isNewer(0, kNoSequence));
    EXPECT_FALSE(isNewer(kNoSequence, 0));
    EXPECT_FALSE(isNewer(-3, 7));
}

TEST(FedProSessionId, IdsAreNeverZeroAndDistinct) {
    constexpr int kDraws = 10000;
    std::set<std::uint64_t> seen;
    for (int i = 0; i < kDraws; ++i) {
        const std::uint64_t id = newSessionId();
        EXPECT_NE(id, 0U);
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kDraws));
    // Drawn from all 64 bits: some id has its top bit set.
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](auto id) { return id >> 63; }));
}
