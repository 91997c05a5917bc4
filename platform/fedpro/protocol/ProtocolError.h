#pragma once

#include <stdexcept>

namespace fedpro {

// A described refusal of what a peer sent (or would have us send): a frame or payload that
// breaks the protocol, or a bound it would exceed. what() is fit for a log line and never holds
// a session id; the session it concerns is ended.
class ProtocolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace fedpro
