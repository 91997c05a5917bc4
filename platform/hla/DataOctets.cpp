#include "platform/hla/DataOctets.h"

#include <bit>

namespace hla {

namespace {

constexpr int kBitsPerOctet = 8;
constexpr std::uint64_t kOctetMask = 0xFF;

}  // namespace

std::uint64_t readOctets(const std::uint8_t* at, int size, Endian endian) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        const std::uint8_t octet = endian == Endian::Big ? at[i] : at[size - 1 - i];
        value = (value << kBitsPerOctet) | octet;
    }
    return value;
}

void writeOctets(Bytes& out, std::uint64_t bits, int size, Endian endian) {
    for (int i = 0; i < size; ++i) {
        const int shift = kBitsPerOctet * (endian == Endian::Big ? size - 1 - i : i);
        out.push_back(static_cast<std::uint8_t>((bits >> shift) & kOctetMask));
    }
}

std::int64_t signExtended(std::uint64_t bits, int size) {
    const int width = kBitsPerOctet * size;
    if (width < 64 && (bits >> (width - 1)) != 0) bits |= ~std::uint64_t{0} << width;
    return static_cast<std::int64_t>(bits);
}

double realFromOctets(std::uint64_t bits, int size) {
    if (size == kSingleRealOctets) return std::bit_cast<float>(static_cast<std::uint32_t>(bits));
    return std::bit_cast<double>(bits);
}

std::uint64_t octetsOfReal(double value, int size) {
    if (size == kSingleRealOctets) return std::bit_cast<std::uint32_t>(static_cast<float>(value));
    return std::bit_cast<std::uint64_t>(value);
}

}  // namespace hla
