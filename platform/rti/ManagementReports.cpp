#include "platform/rti/ManagementReports.h"

#include "platform/hla/MomEncoding.h"

#include <cstdint>
#include <vector>

namespace rti {

namespace mom = hla::mom;

namespace {

// The run-time keeps no update rates: every subscription is at the full rate.
constexpr const char* kNoUpdateRate = "";

std::vector<std::uint32_t> handleValues(const AttributeSet& attributes) {
    std::vector<std::uint32_t> handles;
    handles.reserve(attributes.size());
    for (AttributeHandle attribute : attributes) handles.push_back(toUnderlying(attribute));
    return handles;
}

}  // namespace

ManagementReports::ManagementReports(const FederationDescription& description, Membership& members,
                                     ObjectRouting& routing, TimeCoordinator& time,
                                     const SyncPointService& syncPoints, ManagementObjects& objects)
    : m_description(description),
      m_members(members),
      m_routing(routing),
      m_time(time),
      m_syncPoints(syncPoints),
      m_objects(objects) {}

std::optional<InteractionClassHandle> ManagementReports::interaction(const char* name) const {
    return m_description.findInteractionClass(name);
}

void ManagementReports::put(ParameterValues& into, InteractionClassHandle cls,
                            const char* parameter, Bytes value) const {
    if (const auto handle = m_description.findParameter(cls, parameter)) {
        into.emplace(*handle, std::move(value));
    }
}

void ManagementReports::interactionSent(InteractionClassHandle cls, const ParameterValues& values) {
    if (cls == interaction(mom::kRequestSyncPointStatus)) {
        reportSyncPointStatus(values);
    } else if (cls == interaction(mom::kRequestSyncPoints)) {
        reportSyncPoints();
    } else if (cls == interaction(mom::kRequestPublications)) {
        reportDeclarations(cls, values, false);
    } else if (cls == interaction(mom::kRequestSubscriptions)) {
        reportDeclarations(cls, values, true);
    } else if (cls == interaction(mom::kSetTiming)) {
        setTiming(cls, values);
    }
}

void ManagementReports::federateLost(FederateHandle federate, const std::string& fault) {
    const auto report = interaction(mom::kReportFederateLost);
    const auto member = m_members.all().find(federate);
    if (!report || member == m_members.all().end()) return;
    ParameterValues values;
    put(values, *report, mom::kFederateParameter, mom::encodeHandle(federate));
    put(values, *report, mom::kLostFederateName, mom::encodeText(member->second->name));
    put(values, *report, mom::kLostTimeStamp, mom::encodeTime(m_time.logicalTime(federate)));
    put(values, *report, mom::kFaultDescription, mom::encodeText(fault));
    m_routing.sendFromRunTime(*report, values);
}

void ManagementReports::reportSyncPoints() {
    const auto report = interaction(mom::kReportSyncPoints);
    if (!report) return;
    ParameterValues values;
    put(values, *report, mom::kSyncPoints, mom::encodeTextList(m_syncPoints.points().labels()));
    m_routing.sendFromRunTime(*report, values);
}

void ManagementReports::reportSyncPointStatus(const ParameterValues& request) {
    const auto asked = interaction(mom::kRequestSyncPointStatus);
    const auto report = interaction(mom::kReportSyncPointStatus);
    if (!asked || !report) return;
    const auto name = m_description.findParameter(*asked, mom::kSyncPointName);
    const auto it = name ? request.find(*name) : request.end();
    // A request without a readable label is answered for no point, as a tool can tell.
    const std::string label =
        it == request.end() ? std::string() : mom::decodeText(it->second).value_or("");
    std::vector<std::pair<FederateHandle, std::int32_t>> federates;
    if (const auto status = m_syncPoints.points().status(label)) {
        for (const auto& [federate, achieved] : *status) {
            federates.emplace_back(
                federate, achieved ? mom::kWaitingForRestOfFederation : mom::kMovingToSyncPoint);
        }
    }
    ParameterValues values;
    put(values, *report, mom::kSyncPointName, mom::encodeText(label));
    put(values, *report, mom::kSyncPointFederates, mom::encodeSyncPointFederates(federates));
    m_routing.sendFromRunTime(*report, values);
}

const Member* ManagementReports::namedFederate(InteractionClassHandle request,
                                               const ParameterValues& values) {
    const auto parameter = m_description.findParameter(request, mom::kFederateParameter);
    const auto given = parameter ? values.find(*parameter) : values.end();
    if (given == values.end()) {
        reportException(request, {}, "the request names no federate: its HLAfederate is missing");
        return nullptr;
    }
    const bool isHandle = mom::decodeHandle(given->second).has_value();
    const auto value = mom::decodeHandleValue(given->second);
    const auto member =
        value ? m_members.all().find(static_cast<FederateHandle>(*value)) : m_members.all().end();
    if (member == m_members.all().end()) {
        reportException(request, given->second,
                        isHandle ? "no federate of this federation has the HLAfederate handle"
                                 : "HLAfederate is not an HLAhandle");
        return nullptr;
    }
    return member->second.get();
}

void ManagementReports::reportDeclarations(InteractionClassHandle request,
                                           const ParameterValues& values, bool subscriptions) {
    const Member* member = namedFederate(request, values);
    if (member == nullptr) return;
    const Bytes federate = mom::encodeHandle(member->handle);
    reportObjectClasses(*member, federate, subscriptions);
    reportInteractionClasses(*member, federate, subscriptions);
}

void ManagementReports::setTiming(InteractionClassHandle request, const ParameterValues& values) {
    const Member* member = namedFederate(request, values);
    if (member == nullptr) return;
    const auto parameter = m_description.findParameter(request, mom::kReportPeriod);
    const auto given = parameter ? values.find(*parameter) : values.end();
    const auto seconds = given == values.end() ? std::nullopt : mom::decodeInteger(given->second);
    if (!seconds || *seconds < 0) {
        reportException(request, mom::encodeHandle(member->handle),
                        "HLAreportPeriod is not a number of seconds of 0 or more");
        return;
    }
    m_objects.setReportPeriod(member->handle, std::chrono::seconds{*seconds});
}

void ManagementReports::reportObjectClasses(const Member& member, const Bytes& federate,
                                            bool subscriptions) {
    const auto report = interaction(subscriptions ? mom::kReportObjectClassSubscription
                                                  : mom::kReportObjectClassPublication);
    if (!report) return;
    const auto& classes = subscriptions ? member.declarations.subscribedObjectClasses()
                                        : member.declarations.publishedObjectClasses();
    const Bytes count = mom::encodeInteger(static_cast<std::int32_t>(classes.size()));
    // One report a class; a federate that declares none is told of as such, with a count of 0.
    if (classes.empty()) {
        ParameterValues values;
        put(values, *report, mom::kFederateParameter, federate);
        put(values, *report, mom::kNumberOfClasses, count);
        m_routing.sendFromRunTime(*report, values);
        return;
    }
    for (const auto& [cls, attributes] : classes) {
        ParameterValues values;
        put(values, *report, mom::kFederateParameter, federate);
        put(values, *report, mom::kNumberOfClasses, count);
        put(values, *report, mom::kObjectClass, mom::encodeHandle(toUnderlying(cls)));
        put(values, *report, mom::kAttributeList, mom::encodeHandleList(handleValues(attributes)));
        if (subscriptions) {
            put(values, *report, mom::kActive, mom::encodeBoolean(true));
            put(values, *report, mom::kMaxUpdateRate, mom::encodeText(kNoUpdateRate));
        }
        m_routing.sendFromRunTime(*report, values);
    }
}

void ManagementReports::reportInteractionClasses(const Member& member, const Bytes& federate,
                                                 bool subscriptions) {
    const auto report = interaction(subscriptions ? mom::kReportInteractionSubscription
                                                  : mom::kReportInteractionPublication);
    if (!report) return;
    const auto classes = subscriptions ? member.declarations.subscribedInteractionClasses()
                                       : member.declarations.publishedInteractionClasses();
    ParameterValues values;
    put(values, *report, mom::kFederateParameter, federate);
    if (subscriptions) {
        std::vector<std::pair<std::uint32_t, bool>> list;
        list.reserve(classes.size());
        for (InteractionClassHandle cls : classes) list.emplace_back(toUnderlying(cls), true);
        put(values, *report, mom::kInteractionClassList, mom::encodeInteractionSubscriptions(list));
    } else {
        std::vector<std::uint32_t> list;
        list.reserve(classes.size());
        for (InteractionClassHandle cls : classes) list.push_back(toUnderlying(cls));
        put(values, *report, mom::kInteractionClassList, mom::encodeHandleList(list));
    }
    m_routing.sendFromRunTime(*report, values);
}

void ManagementReports::reportException(InteractionClassHandle request, const Bytes& federate,
                                        const std::string& exception) {
    const auto report = interaction(mom::kReportMomException);
    if (!report) return;
    ParameterValues values;
    if (!federate.empty()) put(values, *report, mom::kFederateParameter, federate);
    put(values, *report, mom::kService,
        mom::encodeText(m_description.interactionClass(request).fullName));
    put(values, *report, mom::kException, mom::encodeText(exception));
    put(values, *report, mom::kParameterError, mom::encodeBoolean(true));
    m_routing.sendFromRunTime(*report, values);
}

}  // namespace rti
