#include "platform/links/hla4/TimeCodec.h"

#include "platform/fedpro/protocol/Times.h"
#include "platform/hla/Types.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace links::hla4 {

namespace {

// The doubles that are whole int64 values: |t| below 2^63.
constexpr double kInteger64Limit = 9223372036854775808.0;

}  // namespace

TimeCodec::TimeCodec() : m_name(fedpro::kFloat64TimeName) {}

TimeCodec TimeCodec::named(const std::string& timeImplementation) {
    TimeCodec codec;
    // A server that does not say keeps the type this link asked for.
    if (timeImplementation.empty() || timeImplementation == fedpro::kFloat64TimeName) return codec;
    if (timeImplementation == fedpro::kInteger64TimeName) {
        codec.m_name = timeImplementation;
        codec.m_integer = true;
        return codec;
    }
    throw std::runtime_error("the federation keeps its logical time as " + timeImplementation +
                             ", which this link cannot carry (only " + fedpro::kFloat64TimeName +
                             " and " + fedpro::kInteger64TimeName + ")");
}

std::string TimeCodec::encode(double time) const {
    if (!m_integer) return fedpro::encodeFloat64Time(time);
    if (!std::isfinite(time) || time != std::floor(time) || std::fabs(time) >= kInteger64Limit) {
        throw std::runtime_error("the federation keeps its logical time as " + m_name + ": " +
                                 hla::formatTime(time) + " is not a whole number it can hold");
    }
    return fedpro::encodeInteger64Time(static_cast<std::int64_t>(time));
}

double TimeCodec::decode(const std::string& bytes) const {
    if (!m_integer) return fedpro::decodeFloat64Time(bytes);
    return static_cast<double>(fedpro::decodeInteger64Time(bytes));
}

}  // namespace links::hla4
