#include "platform/provider/RunTimeChoice.h"

#include "cao/Error.h"
#include "platform/links/LinkLoader.h"
#include "platform/links/embedded/EmbeddedLink.h"

#include <QtGlobal>

namespace provider {

bool hla13RunTimeBuilt() {
    return !links::findLinkPlugin(links::kHla13Kind).empty();
}

RunTimeChoice runTimeChoiceFromEnvironment() {
    const QString kind = qEnvironmentVariable(kRunTimeVariable).trimmed();
    RunTimeChoice choice;
    if (kind.isEmpty() || kind.compare(QLatin1String("embedded"), Qt::CaseInsensitive) == 0) {
        return choice;
    }
    if (kind.compare(QLatin1String("hla13"), Qt::CaseInsensitive) != 0) {
        throw cao::Error(QStringLiteral("%1=\"%2\" is not a run-time of this provider: use "
                                        "\"embedded\" or \"hla13\"")
                             .arg(QLatin1String(kRunTimeVariable), kind),
                         cao::code::InvalidArg);
    }
    if (!hla13RunTimeBuilt()) {
        throw cao::Error(QStringLiteral("%1=hla13 asks for the HLA 1.3 run-time, but this build "
                                        "of the provider has none: build it with an HLA 1.3 "
                                        "RTI found by pkg-config (hla-rti13), or choose "
                                        "\"embedded\"")
                             .arg(QLatin1String(kRunTimeVariable)),
                         cao::code::InvalidArg);
    }
    const QString address = qEnvironmentVariable(kAddressVariable).trimmed();
    if (!address.contains(QLatin1String("://")) || address.endsWith(QLatin1String("://"))) {
        throw cao::Error(
            QStringLiteral("%1=hla13 needs %2, where the RTI is, as scheme://host:port "
                           "(e.g. rti://127.0.0.1:14321), not \"%3\"")
                .arg(QLatin1String(kRunTimeVariable), QLatin1String(kAddressVariable), address),
            cao::code::InvalidArg);
    }
    choice.kind = RunTimeChoice::Kind::Hla13;
    choice.address = address.toStdString();
    return choice;
}

std::unique_ptr<links::RunTimeLink> joinRunTime(const RunTimeChoice& choice,
                                                std::shared_ptr<links::RunTimeHost> host,
                                                const std::string& federation,
                                                const std::string& federate, const QString& fedPath,
                                                hla::FederationDescription description,
                                                hla::LogicalTime initialTime) {
    if (choice.kind == RunTimeChoice::Kind::Hla13) {
        links::LinkRequest request;
        request.address = choice.address;
        request.federation = federation;
        request.federate = federate;
        request.description = std::move(description);
        request.modules = {fedPath.toStdString()};
        request.initialTime = initialTime;
        return links::joinPlugin(links::kHla13Kind, choice.libraryHint, request);
    }
    return links::joinEmbedded(std::move(host), federation, federate, std::move(description),
                               initialTime);
}

}  // namespace provider
