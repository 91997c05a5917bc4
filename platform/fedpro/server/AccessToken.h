#pragma once

// The secret that lets the user's own federates connect on a loopback address: a random
// token the engine writes where only the user can read it,
// $XDG_RUNTIME_DIR/tandrel/fedpro-<port>.token (the directory 0700, the file 0600), and
// removes when it stops serving. Or, where other machines connect, the password its operator
// gave it in a file only the operator can read. A client sends either as HLA 4 credentials of
// the type HLAplainTextPassword: the secret's bytes, or the secret as an HLAunicodeString, as
// the standard's password credentials encode a password.

#include <QString>

#include <cstdint>
#include <memory>
#include <string>

namespace fedpro::server {

class AccessToken {
public:
    // Makes the token and writes its file; throws std::runtime_error saying why it cannot.
    explicit AccessToken(std::uint16_t port);
    // The password in the file, which must be its owner's alone; throws std::runtime_error
    // saying why it cannot be read.
    static std::unique_ptr<AccessToken> fromPasswordFile(const QString& file);
    ~AccessToken();
    AccessToken(const AccessToken&) = delete;
    AccessToken& operator=(const AccessToken&) = delete;

    // Where the token of the port lies.
    static QString pathFor(std::uint16_t port);

    // The token's file; empty for a password.
    const QString& path() const { return m_path; }
    bool accepts(const std::string& type, const std::string& data) const;
    // What a client must send, as a refusal names it.
    const std::string& asked() const { return m_asked; }

private:
    AccessToken(std::string secret, std::string asked);

    std::string m_secret;
    // The secret as an HLAunicodeString, as password credentials carry it.
    std::string m_encoded;
    std::string m_asked;
    QString m_path;
};

}  // namespace fedpro::server
