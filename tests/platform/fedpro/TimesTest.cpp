#include "Bytes.h"

#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/protocol/Times.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace fedpro;
using fedpro::testing::hex;
using fedpro::testing::toHex;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

TEST(FedProTimes, Float64TimesAreBigEndianDoubles) {
    EXPECT_EQ(toHex(encodeFloat64Time(1.0)), "3f f0 00 00 00 00 00 00");
    EXPECT_EQ(toHex(encodeFloat64Time(-2.5)), "c0 04 00 00 00 00 00 00");
    EXPECT_EQ(decodeFloat64Time(hex("40 59 00 00 00 00 00 00")), 100.0);
    for (double t :
         {0.0, -0.0, 0.1, -1e300, 1e-310, std::numeric_limits<double>::max(),
          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
        const double back = decodeFloat64Time(encodeFloat64Time(t));
        EXPECT_EQ(back, t);
        EXPECT_EQ(std::signbit(back), std::signbit(t));
    }
    EXPECT_TRUE(std::isnan(decodeFloat64Time(encodeFloat64Time(std::nan("")))));
}

TEST(FedProTimes, Integer64TimesAreExactBeyondWhatADoubleHolds) {
    constexpr std::int64_t kBeyondDouble = (std::int64_t{1} << 53) + 1;
    EXPECT_EQ(toHex(encodeInteger64Time(kBeyondDouble)), "00 20 00 00 00 00 00 01");
    EXPECT_EQ(decodeInteger64Time(encodeInteger64Time(kBeyondDouble)), kBeyondDouble);
    EXPECT_EQ(toHex(encodeInteger64Time(-1)), "ff ff ff ff ff ff ff ff");
    for (std::int64_t t :
         {std::int64_t{0}, std::int64_t{-7}, kBeyondDouble + 2,
          std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()}) {
        EXPECT_EQ(decodeInteger64Time(encodeInteger64Time(t)), t);
    }
}

TEST(FedProTimes, OnlyEightBytesDecode) {
    EXPECT_THAT([] { decodeInteger64Time(hex("00 00 00 00 00 00 00")); },
                ThrowsMessage<ProtocolError>(HasSubstr("HLAinteger64Time is 8 bytes, not 7")));
    EXPECT_THAT([] { decodeFloat64Time(hex("00 00 00 00 00 00 00 00 00")); },
                ThrowsMessage<ProtocolError>(HasSubstr("HLAfloat64Time is 8 bytes, not 9")));
    EXPECT_THROW(decodeFloat64Time(""), ProtocolError);
}
