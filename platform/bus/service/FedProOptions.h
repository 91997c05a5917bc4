#pragma once

// The engine's options for serving HLA 4's Federate Protocol: --fedpro [ADDRESS:]PORT (the
// port alone, or nothing, for the loopbacks), --fedpro-no-auth, --fedpro-fom-dir DIR.

#include "platform/fedpro/server/ServerOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

namespace bus::service {

class FedProOptions {
public:
    FedProOptions();

    void addTo(QCommandLineParser& parser) const;
    // The arguments with the default port after a --fedpro given no value, since a parsed
    // option either always or never takes one.
    static QStringList withDefaults(const QStringList& arguments);

    bool requested(const QCommandLineParser& parser) const;
    // The "[ADDRESS:]PORT" given.
    QString endpoint(const QCommandLineParser& parser) const;
    // Throws std::invalid_argument saying which option is wrong and how.
    fedpro::server::ServerOptions read(const QCommandLineParser& parser) const;

private:
    QCommandLineOption m_serve;
    QCommandLineOption m_noAuth;
    QCommandLineOption m_fomDir;
};

}  // namespace bus::service
