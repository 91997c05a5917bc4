#include "platform/provider/Ambassador.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"
#include "platform/provider/AttributeVariable.h"
#include "platform/provider/InteractionVariable.h"
#include "platform/provider/Text.h"
#include "platform/provider/VariableName.h"

#include <algorithm>

namespace provider {

namespace {

cao::Variant notice(const QString& s) {
    return cao::Variant::fromString(s);
}

}  // namespace

QString Ambassador::objectName(hla::ObjectInstanceHandle object) const {
    const auto name = m_federate->objectName(object);
    return name ? text(*name) : text(hla::toString(object));
}

void Ambassador::synchronizationPointRegistrationSucceeded(const std::string& label) {
    m_federate->raise(
        cao::contract::message::Notice,
        notice(QStringLiteral("Synchronization point \"%1\" registered").arg(text(label))),
        QLatin1String(cao::contract::variable::kSyncPoint));
}

void Ambassador::synchronizationPointRegistrationFailed(const std::string& label,
                                                        const std::string& reason) {
    m_federate->raise(cao::contract::message::Failure,
                      notice(QStringLiteral("The synchronization point \"%1\" could not be "
                                            "registered: %2")
                                 .arg(text(label), text(reason))),
                      QLatin1String(cao::contract::variable::kSyncPoint));
}

void Ambassador::announceSynchronizationPoint(const std::string& label, const std::string&) {
    m_federate->pointAnnounced(label);
    std::weak_ptr<Federate> weak = m_federate;
    const auto acknowledge = [weak, label] {
        const auto federate = weak.lock();
        if (!federate || !federate->isOpen()) return;
        try {
            federate->link().synchronizationPointAchieved(label);
        } catch (...) {
            rethrowAsCaoError(QStringLiteral("The synchronization point \"%1\" could not be "
                                             "reported as achieved")
                                  .arg(text(label)));
        }
    };
    m_federate->raise(cao::contract::message::PointAnnounced, notice(text(label)),
                      QLatin1String(cao::contract::variable::kSyncPoint), std::nullopt,
                      acknowledge);
}

void Ambassador::federationSynchronized(const std::string& label) {
    m_federate->pointSynchronized(label);
    m_federate->raise(cao::contract::message::FederationSynchronized, notice(text(label)),
                      QLatin1String(cao::contract::variable::kSyncPoint));
}

void Ambassador::discoverObjectInstance(hla::ObjectInstanceHandle object,
                                        hla::ObjectClassHandle cls, const std::string& name) {
    // The run-time's own objects tell of the federation, not of a variable: no notice.
    if (m_federate->view().discovered(object, cls)) return;
    m_federate->objectInView(object, name);
    m_federate->raise(
        cao::contract::message::Notice,
        notice(QStringLiteral("Object \"%1\" of class %2 discovered")
                   .arg(text(name), text(m_federate->description().objectClass(cls).fullName))),
        text(name));
}

void Ambassador::reflectAttributeValues(hla::ObjectInstanceHandle object,
                                        const hla::AttributeValues& values, const std::string&,
                                        std::optional<hla::LogicalTime> time) {
    if (m_federate->view().reflected(object, values)) return;
    const auto name = m_federate->objectName(object);
    if (!name) return;
    for (AttributeVariable* variable : m_federate->attributeVariables()) {
        if (variable->objectName() == *name) variable->reflect(values, time);
    }
}

void Ambassador::receiveInteraction(hla::InteractionClassHandle cls,
                                    const hla::ParameterValues& values, const std::string&,
                                    std::optional<hla::LogicalTime> time) {
    if (m_federate->view().received(cls, values)) return;
    if (m_federate->subscriptions().received(cls, values)) return;
    for (InteractionVariable* variable : m_federate->interactionVariables()) {
        variable->receive(cls, values, time);
    }
}

void Ambassador::removeObjectInstance(hla::ObjectInstanceHandle object, const std::string&,
                                      std::optional<hla::LogicalTime> time) {
    if (m_federate->view().removed(object)) return;
    const QString name = objectName(object);
    m_federate->objectOutOfView(object);
    m_federate->raise(cao::contract::message::Notice,
                      notice(QStringLiteral("Object \"%1\" removed").arg(name)), name, time);
}

void Ambassador::requestAttributeOwnershipRelease(hla::ObjectInstanceHandle object,
                                                  const hla::AttributeSet& attributes,
                                                  const std::string&) {
    const QString name = objectName(object);
    // Only attributes that a variable stands for are given away, and none a variable keeps.
    hla::AttributeSet release;
    for (hla::AttributeHandle attribute : attributes) {
        bool wanted = false;
        bool kept = false;
        for (const AttributeVariable* variable : m_federate->attributeVariables()) {
            if (variable->objectName() != name.toStdString() ||
                variable->attribute() != attribute) {
                continue;
            }
            wanted = true;
            kept = kept || variable->keepsOwnership();
        }
        if (wanted && !kept) release.insert(attribute);
    }
    if (release.empty()) return;
    try {
        const hla::AttributeSet moved =
            m_federate->link().attributeOwnershipReleaseResponse(object, release);
        ownershipNotice(object, moved, QStringLiteral("released to another federate"));
    } catch (const std::exception& e) {
        m_federate->raise(cao::contract::message::Failure,
                          notice(QStringLiteral("Ownership in object \"%1\" could not be "
                                                "released: %2")
                                     .arg(name, text(e.what()))),
                          name);
    }
}

void Ambassador::attributeOwnershipAcquisitionNotification(hla::ObjectInstanceHandle object,
                                                           const hla::AttributeSet& attributes) {
    ownershipNotice(object, attributes, QStringLiteral("gained"));
}

void Ambassador::attributeOwnershipUnavailable(hla::ObjectInstanceHandle object,
                                               const hla::AttributeSet& attributes) {
    ownershipNotice(object, attributes, QStringLiteral("not available: another federate owns it"));
}

void Ambassador::ownershipNotice(hla::ObjectInstanceHandle object,
                                 const hla::AttributeSet& attributes, const QString& what) {
    const QString name = objectName(object);
    for (hla::AttributeHandle attribute : attributes) {
        QString source = name;
        for (const AttributeVariable* variable : m_federate->attributeVariables()) {
            if (variable->objectName() == name.toStdString() &&
                variable->attribute() == attribute) {
                source = variable->name();
                break;
            }
        }
        m_federate->raise(
            cao::contract::message::Notice,
            notice(QStringLiteral("Ownership of attribute %1 of object \"%2\" %3")
                       .arg(text(m_federate->description().attribute(attribute).name), name, what)),
            source);
    }
}

void Ambassador::timeRegulationEnabled(hla::LogicalTime time) {
    m_federate->timeReached(time);
    m_federate->raise(
        cao::contract::message::Notice,
        notice(QStringLiteral("Time regulation enabled at time %1").arg(timeText(time))),
        QLatin1String(cao::contract::variable::kCurrentTime));
}

void Ambassador::timeConstrainedEnabled(hla::LogicalTime time) {
    m_federate->timeReached(time);
    m_federate->raise(
        cao::contract::message::Notice,
        notice(QStringLiteral("Time constraint enabled at time %1").arg(timeText(time))),
        QLatin1String(cao::contract::variable::kCurrentTime));
}

void Ambassador::timeAdvanceGrant(hla::LogicalTime time) {
    m_federate->advanceGranted(time);
    m_federate->raise(cao::contract::message::AdvanceGranted, cao::Variant::fromR8(time),
                      QLatin1String(cao::contract::variable::kAdvanceTime));
}

void Ambassador::connectionLost(const std::string& reason) {
    m_federate->raise(cao::contract::message::Failure,
                      notice(QStringLiteral("The connection to the %1 was lost: %2; close the "
                                            "controller and open it again")
                                 .arg(text(m_federate->link().runTimeName()), text(reason))),
                      text(m_federate->federationName()));
}

}  // namespace provider
