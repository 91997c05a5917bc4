#include "platform/fedpro/server/SessionCalls.h"

#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/server/CallDispatch.h"
#include "platform/fedpro/server/CallbackTranslator.h"
#include "platform/fedpro/server/FederationCalls.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace fedpro::server {

namespace {

using Request = pb::CallRequest;

// What an IEEE 1516-2010 adapter puts first in the connect's additional settings.
constexpr const char* kApiVersionKey = "API.version";
constexpr const char* kApi2010 = "IEEE 1516-2010";

// The settings the server knows (the interface the client programs against); the others are
// ignored.
pb::ConfigurationResult readSettings(const pb::RtiConfiguration* configuration, Api& api) {
    pb::ConfigurationResult result;
    result.set_configurationused(false);
    result.set_addressused(false);
    result.set_additionalsettingsresultcode(pb::SETTINGS_IGNORED);
    if (configuration == nullptr) return result;
    const QString settings = QString::fromStdString(configuration->additionalsettings());
    for (const QString& line :
         settings.split(QRegularExpression(QStringLiteral("[\\r\\n;]")), Qt::SkipEmptyParts)) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || line.left(equals).trimmed() != QLatin1String(kApiVersionKey)) continue;
        if (line.mid(equals + 1).trimmed().startsWith(QLatin1String(kApi2010))) {
            api = Api::Ieee2010;
            result.set_additionalsettingsresultcode(pb::SETTINGS_APPLIED);
            result.set_message("served as an IEEE 1516-2010 federate over the protocol");
        }
    }
    return result;
}

}  // namespace

SessionCalls::SessionCalls(ServerServices& services, std::function<void()> wake)
    : m_services(services), m_wake(std::move(wake)) {}

SessionCalls::~SessionCalls() {
    if (m_woken) m_services.host->removeWaker(*m_woken);
}

std::string SessionCalls::answer(std::string_view payload) {
    Request request;
    if (!request.ParseFromArray(payload.data(), static_cast<int>(payload.size()))) {
        throw ProtocolError("a call request's payload is not a CallRequest message");
    }
    pb::CallResponse response;
    switch (request.callRequest_case()) {
        case Request::kConnectRequest:
        case Request::kConnectWithCredentialsRequest:
        case Request::kConnectWithConfigurationRequest:
        case Request::kConnectWithConfigurationAndCredentialsRequest:
            response = connect(request);
            break;
        case Request::kDisconnectRequest:
            response = m_connected
                           ? disconnect()
                           : exceptionResponse("NotConnected", "the session is not connected");
            break;
        default:
            if (!m_connected) {
                response = exceptionResponse(
                    "NotConnected",
                    memberName(request) + " before connect: a session connects before it calls");
                break;
            }
            CallContext context{
                *m_services.host, m_services.registry, m_services.foms, m_federate, m_api, m_made};
            response = dispatchCall(request, context);
            afterCall();
    }
    std::string bytes = response.SerializeAsString();
    if (bytes.size() + sizeof(std::int32_t) + kHeaderSize > m_services.options.maxPacketSize) {
        bytes = exceptionResponse("RTIinternalError", memberName(request) +
                                                          "'s answer is larger than the largest "
                                                          "packet the server sends")
                    .SerializeAsString();
    }
    return bytes;
}

pb::CallResponse SessionCalls::connect(const pb::CallRequest& r) {
    if (m_connected) return exceptionResponse("AlreadyConnected", "the session is connected");
    const pb::Credentials* credentials = nullptr;
    const pb::RtiConfiguration* configuration = nullptr;
    if (r.has_connectwithcredentialsrequest()) {
        credentials = &r.connectwithcredentialsrequest().credentials();
    } else if (r.has_connectwithconfigurationrequest()) {
        configuration = &r.connectwithconfigurationrequest().rticonfiguration();
    } else if (r.has_connectwithconfigurationandcredentialsrequest()) {
        credentials = &r.connectwithconfigurationandcredentialsrequest().credentials();
        configuration = &r.connectwithconfigurationandcredentialsrequest().rticonfiguration();
    }
    if (m_services.token &&
        (credentials == nullptr ||
         !m_services.token->accepts(credentials->type(), credentials->data()))) {
        return exceptionResponse(
            "Unauthorized",
            credentials == nullptr
                ? "the engine's server asks for HLAplainTextPassword credentials: " +
                      m_services.token->asked()
                : "the credentials are not " + m_services.token->asked() +
                      ", sent as HLAplainTextPassword");
    }
    Api api = Api::Hla4;
    const pb::ConfigurationResult result = readSettings(configuration, api);
    m_api = api;
    m_connected = true;
    m_authenticated = true;
    pb::CallResponse response;
    if (r.has_connectrequest()) {
        *response.mutable_connectresponse()->mutable_configurationresult() = result;
    } else if (r.has_connectwithcredentialsrequest()) {
        *response.mutable_connectwithcredentialsresponse()->mutable_configurationresult() = result;
    } else if (r.has_connectwithconfigurationrequest()) {
        *response.mutable_connectwithconfigurationresponse()->mutable_configurationresult() =
            result;
    } else {
        *response.mutable_connectwithconfigurationandcredentialsresponse()
             ->mutable_configurationresult() = result;
    }
    return response;
}

pb::CallResponse SessionCalls::disconnect() {
    if (m_federate.handle) {
        return exceptionResponse("FederateIsExecutionMember",
                                 "the federate is joined to " + m_federate.federation +
                                     "; it resigns before it disconnects");
    }
    m_connected = false;
    pb::CallResponse response;
    response.mutable_disconnectresponse();
    return response;
}

void SessionCalls::afterCall() {
    if (m_federate.handle != m_woken) {
        if (m_woken) m_services.host->removeWaker(*m_woken);
        if (m_federate.handle) m_services.host->setWaker(*m_federate.handle, m_wake);
        m_woken = m_federate.handle;
        // What waited before the waker was set is taken too.
        if (m_woken) m_wake();
    }
    if (!m_made.empty()) m_wake();
}

std::vector<std::string> SessionCalls::takeCallbacks(std::size_t room, bool& more) {
    std::vector<std::string> out;
    while (!m_made.empty() && out.size() < room) {
        out.push_back(m_made.front().SerializeAsString());
        m_made.pop_front();
    }
    more = !m_made.empty();
    if (!m_federate.handle || out.size() >= room) return out;
    const hla::FederateHandle self = *m_federate.handle;
    std::vector<pb::CallbackRequest> translated;
    const std::size_t limit =
        std::min(room - out.size(), static_cast<std::size_t>(kCallbacksPerPass));
    try {
        const links::RunTimeHost::Access rt = m_services.host->access();
        CallbackTranslator translator(m_federate.time, rt->description(self), translated);
        while (translated.size() < limit && rt->evokeCallback(self, translator)) {
        }
        more = rt->pendingCallbackCount(self) > 0;
    } catch (const hla::Error& e) {
        logLine(QStringLiteral("a federate's callbacks could not be taken: %1").arg(e.what()));
        more = false;
    }
    for (const pb::CallbackRequest& callback : translated) {
        out.push_back(callback.SerializeAsString());
    }
    return out;
}

std::size_t SessionCalls::queuedCallbacks() {
    if (!m_federate.handle) return 0;
    try {
        return m_services.host->access()->pendingCallbackCount(*m_federate.handle);
    } catch (const hla::Error&) {
        return 0;
    }
}

QString SessionCalls::resignLost(const QString& reason) {
    if (!m_federate.handle) return {};
    CallContext context{
        *m_services.host, m_services.registry, m_services.foms, m_federate, m_api, m_made};
    QString problem;
    try {
        context.host.access()->reportFederateLost(*m_federate.handle, reason.toStdString());
    } catch (const std::exception& e) {
        problem = QStringLiteral("it could not be reported lost: %1").arg(e.what());
    }
    try {
        resignFederate(context, m_federate.resignDirective);
    } catch (const std::exception& e) {
        // A directive the run-time refuses (no action while owning attributes) must not
        // leave a federate behind that nobody can resign: its attributes go unowned.
        problem = QStringLiteral(
                      "its resign directive was refused (%1); its attributes were "
                      "divested instead")
                      .arg(e.what());
        try {
            resignFederate(context, pb::UNCONDITIONALLY_DIVEST_ATTRIBUTES);
        } catch (const std::exception& again) {
            problem = QStringLiteral("its federate could not be resigned: %1").arg(again.what());
        }
    }
    afterCall();
    return problem;
}

}  // namespace fedpro::server
