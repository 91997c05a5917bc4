#include "platform/provider/Hla4Choice.h"

#include "platform/provider/SecondsSetting.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"

#include <QFileInfo>

#include <chrono>
#include <stdexcept>

namespace provider {

namespace {

namespace variable = cao::contract::environment;
using std::chrono::milliseconds;

constexpr double kMillisecondsPerSecond = 1000;

cao::Error refused(const QString& description) {
    return cao::Error(description, cao::code::InvalidArg);
}

// A file the client names: absolute, and there to read.
std::string fileOf(const engine::ClientContext& client, const char* name) {
    const QString text = client.variable(name).trimmed();
    if (text.isEmpty()) return {};
    const QString path = client.absolutePath(text);
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        throw refused(QStringLiteral("%1=\"%2\": %3 is not a file this user can read")
                          .arg(QLatin1String(name), text, path));
    }
    return path.toStdString();
}

}  // namespace

links::hla4::Hla4Settings hla4SettingsFor(const engine::ClientContext& client) {
    links::hla4::Hla4Settings settings;
    const QString address = client.variable(variable::kRunTimeAddress).trimmed();
    if (address.isEmpty()) {
        throw refused(
            QStringLiteral("%1=hla4 needs %2, where the Federate Protocol server is, as "
                           "tcp://host[:port] or tls://host[:port] (e.g. "
                           "tcp://127.0.0.1:15164)")
                .arg(QLatin1String(variable::kRunTime), QLatin1String(variable::kRunTimeAddress)));
    }
    try {
        settings.server = links::hla4::parseServerAddress(address.toStdString());
    } catch (const std::invalid_argument& e) {
        throw refused(QStringLiteral("%1: %2").arg(QLatin1String(variable::kRunTimeAddress),
                                                   QString::fromUtf8(e.what())));
    }
    links::hla4::SessionTiming& timing = settings.timing;
    timing.heartbeat = secondsSetting(client, variable::kHeartbeat, timing.heartbeat, false);
    timing.timeout = secondsSetting(client, variable::kTimeout, timing.timeout, false);
    timing.resumeWindow =
        secondsSetting(client, variable::kResumeWindow, timing.resumeWindow, true);
    if (timing.timeout <= timing.heartbeat) {
        // A server that answers every heartbeat would count as silent before it is sent one.
        throw refused(
            QStringLiteral("%1 (%2 s) must be longer than %3 (%4 s)")
                .arg(QLatin1String(variable::kTimeout))
                .arg(static_cast<double>(timing.timeout.count()) / kMillisecondsPerSecond)
                .arg(QLatin1String(variable::kHeartbeat))
                .arg(static_cast<double>(timing.heartbeat.count()) / kMillisecondsPerSecond));
    }
    settings.caFile = fileOf(client, variable::kRunTimeCaFile);
    settings.passwordFile = fileOf(client, variable::kRunTimePasswordFile);
    return settings;
}

}  // namespace provider
