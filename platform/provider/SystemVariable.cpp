#include "platform/provider/SystemVariable.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"
#include "cao/text/ChangeType.h"
#include "platform/provider/Text.h"
#include "platform/provider/WaitWatch.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace provider {

namespace {

namespace sys = cao::contract::variable;

double timeFrom(const cao::Variant& value, const QString& variable) {
    const double time = cao::changeType(value, cao::VT_R8).r8();
    if (!std::isfinite(time)) {
        throw cao::Error(QStringLiteral("%1 must be written with a finite time, not %2")
                             .arg(variable, timeText(time)),
                         cao::code::InvalidArg);
    }
    return time;
}

void advance(Federate& federate, const cao::Variant& value) {
    const QString variable = QLatin1String(sys::kAdvanceTime);
    const double time = timeFrom(value, variable);
    if (federate.pendingAdvance()) {
        throw cao::Error(QStringLiteral("The advance to %1 is still pending; write %2 again "
                                        "after it has been granted")
                             .arg(timeText(*federate.pendingAdvance()), variable),
                         cao::code::InvalidArg);
    }
    links::RunTimeLink& rt = federate.link();
    const double now = rt.queryFederateTime();
    if (time < now) {
        throw cao::Error(QStringLiteral("Cannot advance to %1: it is before the federate's "
                                        "logical time %2")
                             .arg(timeText(time), timeText(now)),
                         cao::code::InvalidArg);
    }
    try {
        switch (federate.advancePolicy()) {
            case AdvancePolicy::NextEvent:
                rt.nextEventRequest(time);
                break;
            case AdvancePolicy::FlushQueue:
                rt.flushQueueRequest(time);
                break;
            case AdvancePolicy::TimeAdvance:
                rt.timeAdvanceRequest(time);
                break;
        }
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("Cannot advance to %1").arg(timeText(time)));
    }
    federate.advanceRequested(time);
}

void changeLookahead(Federate& federate, const cao::Variant& value) {
    const double lookahead = timeFrom(value, QLatin1String(sys::kLookahead));
    if (lookahead < 0) {
        throw cao::Error(QStringLiteral("The lookahead %1 is not valid: it must not be negative")
                             .arg(timeText(lookahead)),
                         cao::code::InvalidArg);
    }
    try {
        federate.link().modifyLookahead(lookahead);
    } catch (...) {
        rethrowAsCaoError(
            QStringLiteral("Cannot change the lookahead to %1").arg(timeText(lookahead)));
    }
}

void registerSyncPoint(Federate& federate, const cao::Variant& value) {
    const QString label = cao::changeType(value, cao::VT_BSTR).string();
    if (label.isEmpty()) {
        throw cao::Error(QStringLiteral("A synchronization point needs a label: write a "
                                        "non-empty text to %1")
                             .arg(QLatin1String(sys::kSyncPoint)),
                         cao::code::InvalidArg);
    }
    try {
        federate.link().registerSynchronizationPoint(label.toStdString());
    } catch (...) {
        rethrowAsCaoError(
            QStringLiteral("Cannot register the synchronization point \"%1\"").arg(label));
    }
}

using Reader = cao::Variant (*)(Federate&);
using Writer = void (*)(Federate&, const cao::Variant&);

}  // namespace

// A system variable: its name, how it is read, and how it is written (none: read-only).
struct SystemVariableRow {
    const char* name;
    Reader read;
    Writer write;
};

namespace {

constexpr std::array<SystemVariableRow, 8> kSystemVariables = {{
    {sys::kCurrentTime,
     [](Federate& f) { return cao::Variant::fromR8(f.link().queryFederateTime()); }, nullptr},
    {sys::kAdvanceTime,
     [](Federate& f) { return cao::Variant::fromR8(f.pendingAdvance().value_or(f.lastGranted())); },
     advance},
    {sys::kLookahead, [](Federate& f) { return cao::Variant::fromR8(f.link().queryLookahead()); },
     changeLookahead},
    {sys::kLbts, [](Federate& f) { return cao::Variant::fromR8(f.link().queryLBTS()); }, nullptr},
    {sys::kNextEventTime,
     [](Federate& f) { return cao::Variant::fromR8(f.link().queryMinNextEventTime()); }, nullptr},
    {sys::kSyncPoint,
     [](Federate& f) {
         return cao::Variant::fromString(QString::fromStdString(f.latestAnnouncedPoint()));
     },
     registerSyncPoint},
    {sys::kFederates, [](Federate& f) { return cao::Variant::fromString(federateTable(f)); },
     nullptr},
    {sys::kWaitingFor, [](Federate& f) { return cao::Variant::fromString(currentWait(f)); },
     nullptr},
}};

const SystemVariableRow& rowOf(const QString& name) {
    for (const SystemVariableRow& row : kSystemVariables) {
        if (name == QLatin1String(row.name)) return row;
    }
    QStringList known;
    for (const SystemVariableRow& row : kSystemVariables) known << QLatin1String(row.name);
    throw invalid(QStringLiteral("\"%1\" is not a system variable; the system variables are %2")
                      .arg(name, known.join(QStringLiteral(", "))));
}

}  // namespace

SystemVariable::SystemVariable(std::shared_ptr<Federate> federate, const QString& name)
    : m_federate(std::move(federate)), m_row(&rowOf(name)) {}

cao::Variant SystemVariable::read() {
    try {
        return m_row->read(*m_federate);
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("%1 could not be read").arg(QLatin1String(m_row->name)));
    }
}

void SystemVariable::write(const cao::Variant& value) {
    if (!m_row->write) {
        throw cao::Error(
            QStringLiteral("%1 is read-only and cannot be written").arg(QLatin1String(m_row->name)),
            cao::code::InvalidArg);
    }
    m_row->write(*m_federate, value);
}

}  // namespace provider
