#pragma once

// HLA 4's password credentials, as both ends of a connection read and carry them: the type
// HLAplainTextPassword, and the password as an HLAunicodeString (a big-endian count of UTF-16
// code units, then the units, big-endian). A password is read from a file, never from a
// command line, where other users of the machine could see it.

#include <string>
#include <string_view>

namespace fedpro {

inline constexpr const char* kPlainTextPassword = "HLAplainTextPassword";

// A token or password longer than this is no token nor password.
inline constexpr std::size_t kMaxSecretBytes = 4096;

// The password's credential data, from its UTF-16 code units.
std::string passwordCredentialData(std::u16string_view units);

// Who may read a secret's file besides its owner.
enum class SecretAccess { AnyMode, OwnerOnly };

// The file's content without the line end an editor adds. Throws std::runtime_error naming
// the file as `what`: not a regular file, unreadable, larger than kMaxSecretBytes, empty, or
// (OwnerOnly) open to other users.
std::string readSecretFile(const std::string& path, const std::string& what,
                           SecretAccess access = SecretAccess::AnyMode);

}  // namespace fedpro
