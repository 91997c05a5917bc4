#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fedpro {

// The two standard time representations a LogicalTime or LogicalTimeInterval message carries:
// 8 bytes, big-endian, of an IEEE 754 double or of a two's complement int64.
inline constexpr const char* kFloat64TimeName = "HLAfloat64Time";
inline constexpr const char* kInteger64TimeName = "HLAinteger64Time";
inline constexpr std::size_t kEncodedTimeSize = 8;

std::string encodeFloat64Time(double time);
// Every bit pattern decodes, NaN and infinities included; the caller judges the value.
// Throws ProtocolError unless exactly 8 bytes are given.
double decodeFloat64Time(std::string_view bytes);

std::string encodeInteger64Time(std::int64_t time);
// Throws ProtocolError unless exactly 8 bytes are given.
std::int64_t decodeInteger64Time(std::string_view bytes);

}  // namespace fedpro
