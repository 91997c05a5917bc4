#pragma once

// What a federate shows a Federate Protocol server when it connects: HLA 4's credentials. The
// engine's own server on this machine writes a random token into the user's runtime directory,
// which only the user can read; a server elsewhere takes a password, read from a file.

#include "platform/fedpro/protocol/Password.h"
#include "platform/links/hla4/ServerAddress.h"

#include <cstdint>
#include <optional>
#include <string>

namespace links::hla4 {

using fedpro::kPlainTextPassword;

struct Credentials {
    std::string type;
    std::string data;  // a password as an HLAunicodeString
};

// Where the engine's server on this machine keeps the token of a port:
// <runtime directory>/tandrel/fedpro-<port>.token.
std::string tokenFilePath(std::uint16_t port);

// The password file's content when one is named; otherwise, for a server on this machine, its
// token when the token file exists; otherwise none (a plain connect). Throws
// std::runtime_error when a file cannot be read, is empty or too large, or when a password
// would travel unencrypted to another machine.
std::optional<Credentials> credentialsFor(const ServerAddress& server,
                                          const std::string& passwordFile);

}  // namespace links::hla4
