#pragma once

// The secret that lets the user's own federates connect on a loopback address: a random
// token the engine writes where only the user can read it,
// $XDG_RUNTIME_DIR/tandrel/fedpro-<port>.token (the directory 0700, the file 0600), and
// removes when it stops serving. A client sends it as HLA 4 credentials of the type
// HLAplainTextPassword: the token's bytes, or the token as an HLAunicodeString, as the
// standard's password credentials encode a password.

#include <QString>

#include <cstdint>
#include <string>

namespace fedpro::server {

inline constexpr const char* kPasswordCredentials = "HLAplainTextPassword";

class AccessToken {
public:
    // Makes the token and writes its file; throws std::runtime_error saying why it cannot.
    explicit AccessToken(std::uint16_t port);
    ~AccessToken();
    AccessToken(const AccessToken&) = delete;
    AccessToken& operator=(const AccessToken&) = delete;

    // Where the token of the port lies.
    static QString pathFor(std::uint16_t port);

    const QString& path() const { return m_path; }
    bool accepts(const std::string& type, const std::string& data) const;

private:
    std::string m_token;
    QString m_path;
};

}  // namespace fedpro::server
