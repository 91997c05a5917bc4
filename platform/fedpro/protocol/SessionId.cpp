#include "platform/fedpro/protocol/SessionId.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace fedpro {

namespace {

// A source that keeps yielding zero ids, or keeps being interrupted, is broken; give up
// rather than spin.
constexpr int kMaxDraws = 64;

}  // namespace

std::uint64_t newSessionId() {
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        std::uint64_t id = 0;
        auto* bytes = reinterpret_cast<unsigned char*>(&id);
        std::size_t got = 0;
        while (got < sizeof id) {
            const ssize_t n = getrandom(bytes + got, sizeof id - got, 0);
            if (n < 0) {
                if (errno == EINTR) {
                    break;
                }
                throw std::runtime_error(
                    std::string("cannot draw a session id from the system's random source: ") +
                    std::strerror(errno));
            }
            got += static_cast<std::size_t>(n);
        }
        if (got == sizeof id && id != 0) {
            return id;
        }
    }
    throw std::runtime_error("cannot draw a session id: the system's random source gave " +
                             std::to_string(kMaxDraws) +
                             " draws in a row that were interrupted or zero");
}

}  // namespace fedpro
