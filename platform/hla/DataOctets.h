#pragma once

// The octets of one basic representation: integers of 1, 2, 4 or 8 octets and IEEE 754 reals
// of 4 or 8, in either byte order.

#include "platform/hla/DataTypes.h"
#include "platform/hla/Types.h"

#include <cstdint>

namespace hla {

// A variable array's element count: an HLAinteger32BE.
inline constexpr int kCountOctets = 4;
// A real of this many octets is a float; of 8, a double.
inline constexpr int kSingleRealOctets = 4;

// `size` octets from `at` as an unsigned number.
std::uint64_t readOctets(const std::uint8_t* at, int size, Endian endian);
// The low `size` octets of `bits`, appended.
void writeOctets(Bytes& out, std::uint64_t bits, int size, Endian endian);

// The bits of a `size`-octet two's complement integer as its value.
std::int64_t signExtended(std::uint64_t bits, int size);
// The bits of a 4- or 8-octet real as its value, and back; a double written in 4 octets is
// rounded to the nearest float.
double realFromOctets(std::uint64_t bits, int size);
std::uint64_t octetsOfReal(double value, int size);

}  // namespace hla
