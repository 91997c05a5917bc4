#include "platform/bus/service/FedProOptions.h"

#include <QDir>
#include <QFileInfo>

#include <stdexcept>

namespace bus::service {

namespace {

const QString kServe = QStringLiteral("fedpro");

}  // namespace

FedProOptions::FedProOptions()
    : m_serve(kServe,
              QStringLiteral("Serve HLA 4's Federate Protocol on [ADDRESS:]PORT (default port "
                             "%1, on the loopbacks) while this command runs.")
                  .arg(fedpro::server::kDefaultPort),
              QStringLiteral("[address:]port")),
      m_noAuth(QStringLiteral("fedpro-no-auth"),
               QStringLiteral("Let any local process connect to the Federate Protocol, without "
                              "the token.")),
      m_fomDir(QStringLiteral("fedpro-fom-dir"),
               QStringLiteral("Look for FOM modules that clients name by file name in this "
                              "directory too."),
               QStringLiteral("directory")) {}

void FedProOptions::addTo(QCommandLineParser& parser) const {
    parser.addOptions({m_serve, m_noAuth, m_fomDir});
}

QStringList FedProOptions::withDefaults(const QStringList& arguments) {
    QStringList result;
    const QString option = QStringLiteral("--") + kServe;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        result << arguments[i];
        const bool last = i + 1 == arguments.size();
        if (arguments[i] == option && (last || arguments[i + 1].startsWith(QLatin1Char('-')))) {
            result << QString::number(fedpro::server::kDefaultPort);
        }
    }
    return result;
}

bool FedProOptions::requested(const QCommandLineParser& parser) const {
    return parser.isSet(m_serve);
}

QString FedProOptions::endpoint(const QCommandLineParser& parser) const {
    return parser.value(m_serve);
}

fedpro::server::ServerOptions FedProOptions::read(const QCommandLineParser& parser) const {
    fedpro::server::ServerOptions options;
    if (requested(parser)) {
        try {
            fedpro::server::readEndpoint(parser.value(m_serve), options);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument(std::string("--fedpro: ") + e.what());
        }
    }
    options.authenticate = !parser.isSet(m_noAuth);
    if (parser.isSet(m_fomDir)) {
        const QFileInfo directory(parser.value(m_fomDir));
        if (!directory.isDir()) {
            throw std::invalid_argument("--fedpro-fom-dir: \"" +
                                        parser.value(m_fomDir).toStdString() +
                                        "\" is not a directory");
        }
        options.fomDirectory = directory.absoluteFilePath();
    }
    if (!requested(parser) && (parser.isSet(m_noAuth) || parser.isSet(m_fomDir))) {
        throw std::invalid_argument("--fedpro-no-auth and --fedpro-fom-dir go with --fedpro");
    }
    return options;
}

}  // namespace bus::service
