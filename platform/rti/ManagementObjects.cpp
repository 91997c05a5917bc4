#include "platform/rti/ManagementObjects.h"

#include "platform/hla/MomEncoding.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

namespace rti {

namespace {

namespace fa = hla::mom::federate;
namespace fn = hla::mom::federation;

constexpr const char* kRtiVersion = "Tandrel embedded run-time 1.0";
constexpr const char* kMimDesignator = "HLAstandardMIM";
constexpr const char* kTimeImplementation = "HLAfloat64Time";
constexpr const char* kFederationObject = "HLAfederation";
constexpr const char* kFederateObjectPrefix = "HLAfederate.";
constexpr std::size_t kHostNameSize = 256;

const std::string& hostName() {
    static const std::string host = [] {
        std::array<char, kHostNameSize> name{};
        if (gethostname(name.data(), name.size() - 1) != 0) return std::string();
        return std::string(name.data());
    }();
    return host;
}

std::vector<std::string> moduleNames(const FederationDescription& description) {
    std::set<std::string> seen;
    std::vector<std::string> names;
    const auto add = [&](const std::string& module) {
        if (!module.empty() && seen.insert(module).second) names.push_back(module);
    };
    for (std::size_t i = 0; i < description.objectClassCount(); ++i) {
        add(description.objectClass(static_cast<ObjectClassHandle>(i)).module);
    }
    for (std::size_t i = 0; i < description.interactionClassCount(); ++i) {
        add(description.interactionClass(static_cast<InteractionClassHandle>(i)).module);
    }
    return names;
}

std::int32_t milliseconds(std::chrono::steady_clock::duration duration) {
    return static_cast<std::int32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(duration).count());
}

}  // namespace

ManagementObjects::ManagementObjects(const std::string& federationName,
                                     const FederationDescription& description, Membership& members,
                                     ObjectRegistry& objects, ObjectRouting& routing,
                                     TimeCoordinator& time)
    : m_federationName(federationName),
      m_description(description),
      m_members(members),
      m_objects(objects),
      m_routing(routing),
      m_time(time) {
    registerFederation();
}

void ManagementObjects::registerFederation() {
    // A joiner's modules may bring the MIM to a federation created without it.
    if (m_federationObject) return;
    m_federationClass = m_description.findObjectClass(hla::mom::kFederationClass);
    m_federateClass = m_description.findObjectClass(hla::mom::kFederateClass);
    if (!m_federationClass || !m_federateClass) return;
    ObjectInstance& object =
        m_objects.create(*m_federationClass, kFederationObject, kRunTimeItself,
                         m_description.availableAttributes(*m_federationClass));
    for (auto& [attribute, owner] : object.owners) owner = kRunTimeItself;
    m_federationObject = object.handle;
}

void ManagementObjects::joined(Member& member) {
    registerFederation();
    if (!m_federateClass) return;
    ObjectInstance& object = m_objects.create(
        *m_federateClass, kFederateObjectPrefix + std::to_string(toUnderlying(member.handle)),
        kRunTimeItself, m_description.availableAttributes(*m_federateClass));
    for (auto& [attribute, owner] : object.owners) owner = kRunTimeItself;
    m_federates[member.handle] = FederateRecord{
        object.handle,       hla::mom::kTimeGranted,  std::chrono::steady_clock::now(),
        fixedValues(member), std::chrono::seconds{0}, {}};
    m_routing.discoverEverywhere(object);
    changed();
}

void ManagementObjects::leaving(FederateHandle federate) {
    m_watchers.erase(federate);
    const auto it = m_federates.find(federate);
    if (it == m_federates.end()) return;
    m_routing.removeRegistered(it->second.object);
    m_federates.erase(it);
    changed();
}

void ManagementObjects::changed() {
    ++m_generation;
    const auto now = std::chrono::steady_clock::now();
    for (auto& [handle, record] : m_federates) {
        const std::int32_t state =
            m_time.requestedTime(handle) ? hla::mom::kTimeAdvancing : hla::mom::kTimeGranted;
        if (state != record.timeState) {
            record.timeState = state;
            record.since = now;
        }
    }
    // Wake each federate that knows a management object and has nothing else to be handed.
    std::set<FederateHandle> watchers;
    const auto collect = [&](ObjectInstanceHandle handle) {
        for (const auto& [federate, known] : m_objects.get(handle).knownBy) {
            watchers.insert(federate);
        }
    };
    if (m_federationObject) collect(*m_federationObject);
    for (const auto& [handle, record] : m_federates) collect(record.object);
    for (FederateHandle federate : watchers) wake(federate, m_watchers[federate]);
}

void ManagementObjects::wake(FederateHandle federate, Watcher& watcher) {
    // Once until it has been handed what there is: a burst of news costs one wake.
    if (watcher.woken) return;
    watcher.woken = true;
    m_members.wake(federate);
}

void ManagementObjects::updateRequested(FederateHandle federate, ObjectInstanceHandle object,
                                        const AttributeSet& attributes) {
    if (attributes.empty()) return;
    Watcher& watcher = m_watchers[federate];
    if (const auto told = watcher.told.find(object); told != watcher.told.end()) {
        for (AttributeHandle attribute : attributes) told->second.erase(attribute);
    }
    // This watcher alone looks again, at values worked out afresh; the others have nothing new.
    watcher.seen = 0;
    m_cache.erase(object);
    wake(federate, watcher);
}

void ManagementObjects::setReportPeriod(FederateHandle federate, std::chrono::seconds period) {
    const auto it = m_federates.find(federate);
    if (it == m_federates.end()) return;
    it->second.period = std::max(period, std::chrono::seconds{0});
    it->second.nextReport = std::chrono::steady_clock::now() + it->second.period;
}

void ManagementObjects::tick(std::chrono::steady_clock::time_point now) {
    bool due = false;
    for (auto& [handle, record] : m_federates) {
        if (record.period.count() == 0 || now < record.nextReport) continue;
        // A tick that came late is not made up for: the next is a period from now.
        record.nextReport = now + record.period;
        m_cache.erase(record.object);
        for (auto& [federate, watcher] : m_watchers) {
            watcher.told.erase(record.object);
            watcher.seen = 0;
        }
        due = true;
    }
    if (!due) return;
    for (auto& [federate, watcher] : m_watchers) wake(federate, watcher);
}

std::optional<std::chrono::steady_clock::time_point> ManagementObjects::nextTick() const {
    std::optional<std::chrono::steady_clock::time_point> next;
    for (const auto& [handle, record] : m_federates) {
        if (record.period.count() == 0) continue;
        if (!next || record.nextReport < *next) next = record.nextReport;
    }
    return next;
}

bool ManagementObjects::hasNews(const Member& member) const {
    const auto it = m_watchers.find(member.handle);
    return it != m_watchers.end() && it->second.seen != m_generation;
}

std::optional<Callback> ManagementObjects::nextReflection(Member& member) {
    const auto it = m_watchers.find(member.handle);
    if (it == m_watchers.end() || it->second.seen == m_generation) return std::nullopt;
    Watcher& watcher = it->second;
    for (ObjectInstanceHandle handle : member.view) {
        const AttributeValues* values = currentValues(handle);
        if (values == nullptr) continue;
        const ObjectInstance& object = m_objects.get(handle);
        const auto known = object.knownBy.find(member.handle);
        if (known == object.knownBy.end()) continue;
        const auto subscribed = member.declarations.subscribedClassFor(known->second);
        if (!subscribed) continue;
        const AttributeSet& wanted = *member.declarations.subscribedAttributes(*subscribed);
        AttributeValues& told = watcher.told[handle];
        AttributeValues news;
        for (const auto& [attribute, value] : *values) {
            if (wanted.count(attribute) == 0) continue;
            const auto before = told.find(attribute);
            if (before != told.end() && before->second == value) continue;
            told[attribute] = value;
            news.emplace(attribute, value);
        }
        if (!news.empty()) return cb::ReflectAttributeValues{handle, std::move(news), {}, {}};
    }
    watcher.seen = m_generation;
    watcher.woken = false;
    return std::nullopt;
}

const AttributeValues* ManagementObjects::currentValues(ObjectInstanceHandle object) {
    // Worked out once a generation, so the wall-clock durations hold still while watchers
    // are told.
    if (m_cacheGeneration != m_generation) {
        m_cache.clear();
        m_cacheGeneration = m_generation;
    }
    if (const auto cached = m_cache.find(object); cached != m_cache.end()) return &cached->second;
    if (m_federationObject && object == *m_federationObject) {
        return &m_cache.emplace(object, federationValues()).first->second;
    }
    for (auto& [handle, record] : m_federates) {
        if (record.object != object) continue;
        return &m_cache.emplace(object, federateValues(m_members.requireMember(handle), record))
                    .first->second;
    }
    return nullptr;
}

void ManagementObjects::put(AttributeValues& into, ObjectClassHandle cls, const char* attribute,
                            Bytes value) const {
    if (const auto handle = m_description.findAttribute(cls, attribute)) {
        into.emplace(*handle, std::move(value));
    }
}

AttributeValues ManagementObjects::fixedValues(const Member& member) const {
    using namespace hla::mom;
    const ObjectClassHandle cls = *m_federateClass;
    AttributeValues values;
    put(values, cls, fa::kHandle, encodeHandle(member.handle));
    put(values, cls, fa::kName, encodeText(member.name));
    put(values, cls, fa::kType, encodeText(member.type));
    put(values, cls, fa::kHost, encodeText(hostName()));
    put(values, cls, fa::kRtiVersion, encodeText(kRtiVersion));
    put(values, cls, fa::kModules, encodeTextList(moduleNames(*member.description)));
    return values;
}

AttributeValues ManagementObjects::federateValues(const Member& member,
                                                  FederateRecord& record) const {
    using namespace hla::mom;
    const ObjectClassHandle cls = *m_federateClass;
    const FederateHandle f = member.handle;
    const auto spent = milliseconds(std::chrono::steady_clock::now() - record.since);
    AttributeValues values = record.fixed;
    put(values, cls, fa::kConstrained, encodeBoolean(m_time.isConstrained(f)));
    put(values, cls, fa::kRegulating, encodeBoolean(m_time.isRegulating(f)));
    put(values, cls, fa::kAsynchronous, encodeBoolean(m_time.isAsynchronousDelivery(f)));
    put(values, cls, fa::kState, encodeInteger(kActiveFederate));
    put(values, cls, fa::kTimeState, encodeInteger(record.timeState));
    put(values, cls, fa::kLogicalTime, encodeTime(m_time.logicalTime(f)));
    put(values, cls, fa::kLookahead, encodeTime(m_time.lookahead(f)));
    put(values, cls, fa::kGalt, encodeTime(m_time.lbts(f)));
    put(values, cls, fa::kLits, encodeTime(m_time.minNextEventTime(f)));
    put(values, cls, fa::kReceiveQueue,
        encodeCount(static_cast<std::int64_t>(member.callbacks.size())));
    put(values, cls, fa::kTimestampQueue,
        encodeCount(static_cast<std::int64_t>(m_time.queuedTimestampOrder(f))));
    const MemberCounts& counts = member.counts;
    put(values, cls, fa::kReflectionsReceived, encodeCount(counts.reflectionsReceived));
    put(values, cls, fa::kUpdatesSent, encodeCount(counts.updatesSent));
    put(values, cls, fa::kInteractionsReceived, encodeCount(counts.interactionsReceived));
    put(values, cls, fa::kInteractionsSent, encodeCount(counts.interactionsSent));
    put(values, cls, fa::kInstancesDeletable,
        encodeCount(static_cast<std::int64_t>(m_routing.deletableBy(f))));
    put(values, cls, fa::kInstancesUpdated,
        encodeCount(static_cast<std::int64_t>(counts.updated.size())));
    put(values, cls, fa::kInstancesReflected,
        encodeCount(static_cast<std::int64_t>(counts.reflected.size())));
    put(values, cls, fa::kInstancesDeleted, encodeCount(counts.deleted));
    put(values, cls, fa::kInstancesRemoved, encodeCount(counts.removed));
    put(values, cls, fa::kInstancesRegistered, encodeCount(counts.registered));
    put(values, cls, fa::kInstancesDiscovered, encodeCount(counts.discovered));
    put(values, cls, fa::kGrantedTime, encodeInteger(record.timeState == kTimeGranted ? spent : 0));
    put(values, cls, fa::kAdvancingTime,
        encodeInteger(record.timeState == kTimeAdvancing ? spent : 0));
    put(values, cls, fa::kConveyRegions, encodeBoolean(false));
    put(values, cls, fa::kConveyProducer, encodeBoolean(false));
    return values;
}

AttributeValues ManagementObjects::federationValues() const {
    using namespace hla::mom;
    const ObjectClassHandle cls = *m_federationClass;
    std::vector<FederateHandle> federates;
    for (const auto& [handle, record] : m_federates) federates.push_back(handle);
    AttributeValues values;
    put(values, cls, fn::kName, encodeText(m_federationName));
    put(values, cls, fn::kFederates, encodeHandleList(federates));
    put(values, cls, fn::kRtiVersion, encodeText(kRtiVersion));
    put(values, cls, fn::kMimDesignator, encodeText(kMimDesignator));
    put(values, cls, fn::kModules, encodeTextList(moduleNames(m_description)));
    put(values, cls, fn::kTimeImplementation, encodeText(kTimeImplementation));
    put(values, cls, fn::kAutoProvide, encodeBoolean(false));
    return values;
}

}  // namespace rti
