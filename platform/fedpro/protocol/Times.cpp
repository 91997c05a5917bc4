#include "platform/fedpro/protocol/Times.h"

#include "platform/fedpro/protocol/BigEndian.h"
#include "platform/fedpro/protocol/ProtocolError.h"

#include <bit>

namespace fedpro {

namespace {

std::uint64_t readTimeBits(std::string_view bytes, const char* name) {
    if (bytes.size() != kEncodedTimeSize) {
        throw ProtocolError(std::string("an ") + name + " is " + std::to_string(kEncodedTimeSize) +
                            " bytes, not " + std::to_string(bytes.size()));
    }
    return bigendian::readUint64(bytes, 0);
}

}  // namespace

std::string encodeFloat64Time(double time) {
    std::string out;
    bigendian::appendUint64(out, std::bit_cast<std::uint64_t>(time));
    return out;
}

double decodeFloat64Time(std::string_view bytes) {
    return std::bit_cast<double>(readTimeBits(bytes, kFloat64TimeName));
}

std::string encodeInteger64Time(std::int64_t time) {
    std::string out;
    bigendian::appendUint64(out, static_cast<std::uint64_t>(time));
    return out;
}

std::int64_t decodeInteger64Time(std::string_view bytes) {
    return static_cast<std::int64_t>(readTimeBits(bytes, kInteger64TimeName));
}

}  // namespace fedpro
