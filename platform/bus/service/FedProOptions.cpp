#include "platform/bus/service/FedProOptions.h"

#include <QFileInfo>

#include <stdexcept>

namespace bus::service {

namespace {

const QString kServe = QStringLiteral("fedpro");

QString absolute(const QCommandLineParser& parser, const QCommandLineOption& option) {
    const QString given = parser.value(option);
    return given.isEmpty() ? given : QFileInfo(given).absoluteFilePath();
}

}  // namespace

FedProOptions::FedProOptions()
    : m_serve(kServe,
              QStringLiteral("Serve HLA 4's Federate Protocol on [ADDRESS:]PORT (default port "
                             "%1, %2 over TLS, on the loopbacks) while this command runs.")
                  .arg(fedpro::server::kDefaultPort)
                  .arg(fedpro::server::kDefaultTlsPort),
              QStringLiteral("[address:]port")),
      m_noAuth(QStringLiteral("fedpro-no-auth"),
               QStringLiteral("Let any local process connect to the Federate Protocol, without "
                              "the token.")),
      m_fomDir(QStringLiteral("fedpro-fom-dir"),
               QStringLiteral("Look for FOM modules that clients name by file name in this "
                              "directory too."),
               QStringLiteral("directory")),
      m_certificate(QStringLiteral("fedpro-tls-cert"),
                    QStringLiteral("Serve the Federate Protocol over TLS, showing this PEM "
                                   "certificate (and its chain)."),
                    QStringLiteral("file")),
      m_key(QStringLiteral("fedpro-tls-key"),
            QStringLiteral("The unencrypted PEM private key of --fedpro-tls-cert."),
            QStringLiteral("file")),
      m_password(QStringLiteral("fedpro-password-file"),
                 QStringLiteral("Ask Federate Protocol clients for the password this file "
                                "holds (readable by its owner only), in place of the token."),
                 QStringLiteral("file")) {}

void FedProOptions::addTo(QCommandLineParser& parser) const {
    parser.addOptions({m_serve, m_noAuth, m_fomDir, m_certificate, m_key, m_password});
}

QStringList FedProOptions::withDefaults(const QStringList& arguments) {
    QStringList result;
    const QString option = QStringLiteral("--") + kServe;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        result << arguments[i];
        const bool last = i + 1 == arguments.size();
        if (arguments[i] == option && (last || arguments[i + 1].startsWith(QLatin1Char('-')))) {
            result << QString();
        }
    }
    return result;
}

bool FedProOptions::requested(const QCommandLineParser& parser) const {
    return parser.isSet(m_serve);
}

fedpro::server::ServeRequest FedProOptions::request(const QCommandLineParser& parser) const {
    if (!requested(parser)) {
        for (const QCommandLineOption* option :
             {&m_noAuth, &m_fomDir, &m_certificate, &m_key, &m_password}) {
            if (parser.isSet(*option)) {
                throw std::invalid_argument("--" + option->names().front().toStdString() +
                                            " goes with --fedpro");
            }
        }
        return {};
    }
    fedpro::server::ServeRequest request;
    request.endpoint = parser.value(m_serve);
    request.authenticate = !parser.isSet(m_noAuth);
    request.fomDirectory = absolute(parser, m_fomDir);
    request.certificateFile = absolute(parser, m_certificate);
    request.keyFile = absolute(parser, m_key);
    request.passwordFile = absolute(parser, m_password);
    return request;
}

}  // namespace bus::service
