#pragma once

#include <cstdint>

namespace fedpro {

// A new session's id, drawn from the kernel's cryptographic random source (getrandom(2)),
// never 0 (0 means no session). Whoever holds it may resume the session: never log it.
// Throws std::runtime_error, described, when the source fails.
std::uint64_t newSessionId();

}  // namespace fedpro
