#include "platform/provider/RunTimeChoice.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"
#include "platform/hla/FomModules.h"
#include "platform/links/LinkLoader.h"
#include "platform/links/embedded/EmbeddedLink.h"
#include "platform/links/hla4/Hla4Link.h"
#include "platform/provider/Hla4Choice.h"

#include <array>

namespace provider {

namespace {

namespace variable = cao::contract::environment;

// The run-times a client may choose, by the value of CAO_HLA_RTI.
struct RunTimeRow {
    const char* value;
    RunTimeChoice::Kind kind;
    const char* plugin;  // the link's plug-in; null for a link built in
};
constexpr const char* kHla4Kind = "hla4";
constexpr std::array<RunTimeRow, 4> kRunTimes = {{
    {"embedded", RunTimeChoice::Kind::Embedded, nullptr},
    {links::kHla13Kind, RunTimeChoice::Kind::Hla13, links::kHla13Kind},
    {links::kHla1516eKind, RunTimeChoice::Kind::Hla1516e, links::kHla1516eKind},
    {kHla4Kind, RunTimeChoice::Kind::Hla4, nullptr},
}};

const RunTimeRow& rowOf(RunTimeChoice::Kind kind) {
    for (const RunTimeRow& row : kRunTimes) {
        if (row.kind == kind) return row;
    }
    return kRunTimes.front();
}

QString valuesText() {
    QStringList values;
    for (const RunTimeRow& row : kRunTimes) values << QStringLiteral("\"%1\"").arg(row.value);
    return values.join(QStringLiteral(", "));
}

cao::Error refused(const QString& description) {
    return cao::Error(description, cao::code::InvalidArg);
}

}  // namespace

bool runTimeBuilt(RunTimeChoice::Kind kind) {
    const RunTimeRow& row = rowOf(kind);
    return !row.plugin || !links::findLinkPlugin(row.plugin).empty();
}

bool joinsOverNetwork(const engine::ClientContext& client) {
    const QString kind = client.variable(variable::kRunTime).trimmed();
    return !kind.isEmpty() && kind.compare(QLatin1String("embedded"), Qt::CaseInsensitive) != 0;
}

RunTimeChoice runTimeChoiceFor(const engine::ClientContext& client) {
    const QString value = client.variable(variable::kRunTime).trimmed();
    RunTimeChoice choice;
    if (value.isEmpty()) return choice;
    const RunTimeRow* chosen = nullptr;
    for (const RunTimeRow& row : kRunTimes) {
        if (value.compare(QLatin1String(row.value), Qt::CaseInsensitive) == 0) chosen = &row;
    }
    if (!chosen) {
        throw refused(QStringLiteral("%1=\"%2\" is not a run-time of this provider: use %3")
                          .arg(QLatin1String(variable::kRunTime), value, valuesText()));
    }
    choice.kind = chosen->kind;
    if (choice.kind == RunTimeChoice::Kind::Hla4) {
        choice.hla4 = hla4SettingsFor(client);
        choice.address = choice.hla4.server.text();
        return choice;
    }
    if (!chosen->plugin) return choice;
    const QString name = QString::fromStdString(links::runTimeNameOf(chosen->plugin));
    if (!runTimeBuilt(choice.kind)) {
        throw refused(
            QStringLiteral("%1=%2 asks for the %3, but its link (tandrel-link-%2.so) "
                           "is not installed: install the package with Tandrel's "
                           "RTI links, or build Tandrel with an RTI that pkg-config "
                           "finds (hla-rti13, hla-rti1516e); or choose \"embedded\"")
                .arg(QLatin1String(variable::kRunTime), QLatin1String(chosen->value), name));
    }
    const QString address = client.variable(variable::kRunTimeAddress).trimmed();
    if (!address.contains(QLatin1String("://")) || address.endsWith(QLatin1String("://"))) {
        throw refused(QStringLiteral("%1=%2 needs %3, where the RTI is, as scheme://host:port "
                                     "(e.g. rti://127.0.0.1:14321), not \"%4\"")
                          .arg(QLatin1String(variable::kRunTime), QLatin1String(chosen->value),
                               QLatin1String(variable::kRunTimeAddress), address));
    }
    choice.address = address.toStdString();
    const QString library = client.variable(variable::kRunTimeLibrary).trimmed();
    if (!library.isEmpty()) choice.libraryHint = client.absolutePath(library).toStdString();
    return choice;
}

std::unique_ptr<links::RunTimeLink> joinRunTime(
    const RunTimeChoice& choice, std::shared_ptr<links::RunTimeHost> host,
    const std::string& federation, const std::string& federate, const QStringList& modules,
    hla::FederationDescription description, hla::LogicalTime initialTime) {
    const RunTimeRow& row = rowOf(choice.kind);
    if (choice.kind == RunTimeChoice::Kind::Embedded) {
        return links::joinEmbedded(std::move(host), federation, federate, std::move(description),
                                   initialTime);
    }
    links::LinkRequest request;
    request.address = choice.address;
    request.federation = federation;
    request.federate = federate;
    // An HLA 4 server has the management objects in every federation: ours adds the MIM to
    // one made from a FED file, and the link finds their handles by these names.
    request.description = choice.kind == RunTimeChoice::Kind::Hla4
                              ? hla::withStandardMim(std::move(description))
                              : std::move(description);
    for (const QString& module : modules) request.modules.push_back(module.toStdString());
    request.initialTime = initialTime;
    if (choice.kind == RunTimeChoice::Kind::Hla4) {
        return links::hla4::joinHla4(std::move(request), choice.hla4);
    }
    return links::joinPlugin(row.plugin, choice.libraryHint, request);
}

}  // namespace provider
