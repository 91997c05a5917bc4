#include "platform/provider/SystemVariable.h"

#include "cao/Error.h"
#include "cao/text/ChangeType.h"

#include <cmath>

namespace provider {

namespace {

double timeFrom(const cao::Variant& value, const QString& variable) {
    const double time = cao::changeType(value, cao::VT_R8).r8();
    if (!std::isfinite(time)) {
        throw cao::Error(QStringLiteral("%1 must be written with a finite time, not %2")
                             .arg(variable, timeText(time)),
                         cao::code::InvalidArg);
    }
    return time;
}

}  // namespace

cao::Variant SystemVariable::read() {
    links::RunTimeLink& rt = m_federate->link();
    try {
        switch (m_name) {
            case SystemName::CurrentTime:
                return cao::Variant::fromR8(rt.queryFederateTime());
            case SystemName::AdvanceTime:
                return cao::Variant::fromR8(
                    m_federate->pendingAdvance().value_or(m_federate->lastGranted()));
            case SystemName::Lookahead:
                return cao::Variant::fromR8(rt.queryLookahead());
            case SystemName::Lbts:
                return cao::Variant::fromR8(rt.queryLBTS());
            case SystemName::NextEventTime:
                return cao::Variant::fromR8(rt.queryMinNextEventTime());
            case SystemName::SyncPoint:
                return cao::Variant::fromString(
                    QString::fromStdString(m_federate->latestAnnouncedPoint()));
        }
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("%1 could not be read").arg(systemVariableText(m_name)));
    }
    return {};
}

void SystemVariable::write(const cao::Variant& value) {
    switch (m_name) {
        case SystemName::AdvanceTime:
            return advance(value);
        case SystemName::Lookahead:
            return changeLookahead(value);
        case SystemName::SyncPoint:
            return registerSyncPoint(value);
        case SystemName::CurrentTime:
        case SystemName::Lbts:
        case SystemName::NextEventTime:
            break;
    }
    throw cao::Error(
        QStringLiteral("%1 is read-only and cannot be written").arg(systemVariableText(m_name)),
        cao::code::InvalidArg);
}

void SystemVariable::advance(const cao::Variant& value) {
    const QString variable = systemVariableText(m_name);
    const double time = timeFrom(value, variable);
    if (m_federate->pendingAdvance()) {
        throw cao::Error(QStringLiteral("The advance to %1 is still pending; write %2 again "
                                        "after it has been granted")
                             .arg(timeText(*m_federate->pendingAdvance()), variable),
                         cao::code::InvalidArg);
    }
    links::RunTimeLink& rt = m_federate->link();
    const double now = rt.queryFederateTime();
    if (time < now) {
        throw cao::Error(QStringLiteral("Cannot advance to %1: it is before the federate's "
                                        "logical time %2")
                             .arg(timeText(time), timeText(now)),
                         cao::code::InvalidArg);
    }
    try {
        switch (m_federate->advancePolicy()) {
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
    m_federate->advanceRequested(time);
}

void SystemVariable::changeLookahead(const cao::Variant& value) {
    const double lookahead = timeFrom(value, systemVariableText(m_name));
    if (lookahead < 0) {
        throw cao::Error(QStringLiteral("The lookahead %1 is not valid: it must not be negative")
                             .arg(timeText(lookahead)),
                         cao::code::InvalidArg);
    }
    try {
        m_federate->link().modifyLookahead(lookahead);
    } catch (...) {
        rethrowAsCaoError(
            QStringLiteral("Cannot change the lookahead to %1").arg(timeText(lookahead)));
    }
}

void SystemVariable::registerSyncPoint(const cao::Variant& value) {
    const QString label = cao::changeType(value, cao::VT_BSTR).string();
    if (label.isEmpty()) {
        throw cao::Error(QStringLiteral("A synchronization point needs a label: write a "
                                        "non-empty text to @SYNC_POINT"),
                         cao::code::InvalidArg);
    }
    try {
        m_federate->link().registerSynchronizationPoint(label.toStdString());
    } catch (...) {
        rethrowAsCaoError(
            QStringLiteral("Cannot register the synchronization point \"%1\"").arg(label));
    }
}

}  // namespace provider
