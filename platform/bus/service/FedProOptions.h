#pragma once

// The engine's options for serving HLA 4's Federate Protocol: --fedpro [ADDRESS:]PORT (the
// port alone, or nothing, for the loopbacks), --fedpro-no-auth, --fedpro-fom-dir DIR, and for
// other machines --fedpro-tls-cert FILE, --fedpro-tls-key FILE, --fedpro-password-file FILE.

#include "platform/fedpro/server/ServerOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

namespace bus::service {

class FedProOptions {
public:
    FedProOptions();

    void addTo(QCommandLineParser& parser) const;
    // The arguments with an empty value after a --fedpro given none, since a parsed option
    // either always or never takes one.
    static QStringList withDefaults(const QStringList& arguments);

    bool requested(const QCommandLineParser& parser) const;
    // What the options ask for, every path made absolute. Throws std::invalid_argument
    // saying which option is wrong and how.
    fedpro::server::ServeRequest request(const QCommandLineParser& parser) const;

private:
    QCommandLineOption m_serve;
    QCommandLineOption m_noAuth;
    QCommandLineOption m_fomDir;
    QCommandLineOption m_certificate;
    QCommandLineOption m_key;
    QCommandLineOption m_password;
};

}  // namespace bus::service
