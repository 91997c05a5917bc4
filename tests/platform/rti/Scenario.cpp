#include "Scenario.h"

#include "platform/hla/FedReader.h"

#include <utility>

namespace rti::testing {

const char* const kScenarioFed = R"((FED
  (Federation ChatRoom)
  (FEDversion v1.3)
  (objects
    (class ObjectRoot
      (attribute privilegeToDelete reliable timestamp)
      (class Participant
        (attribute Name reliable receive)
        (class Moderator (attribute Level reliable receive)))
      (class myClass (attribute myAttr reliable timestamp))))
  (interactions
    (class InteractionRoot reliable receive
      (class Communication reliable receive
        (parameter Message)
        (parameter Sender)
        (class Private reliable receive (parameter Recipient)))
      (class TSCommunication reliable timestamp
        (parameter Message)
        (parameter Sender)))))
)";

std::string bytesText(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

Bytes textBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

namespace {

std::string timeSuffix(std::optional<LogicalTime> time) {
    return time ? " @" + formatTime(*time) : std::string();
}

}  // namespace

class Recorder : public FederateAmbassador {
public:
    Recorder(RunTime& rt, FederateHandle self) : m_rt(rt), m_self(self) {}

    std::vector<std::string> lines;

    void synchronizationPointRegistrationSucceeded(const std::string& label) override {
        lines.push_back("registered " + label);
    }
    void synchronizationPointRegistrationFailed(const std::string& label,
                                                const std::string& reason) override {
        lines.push_back("refused " + label + ": " + reason);
    }
    void announceSynchronizationPoint(const std::string& label, const std::string&) override {
        lines.push_back("announce " + label);
    }
    void federationSynchronized(const std::string& label) override {
        lines.push_back("synchronized " + label);
    }
    void discoverObjectInstance(ObjectInstanceHandle object, ObjectClassHandle cls,
                                const std::string& name) override {
        m_names[object] = name;
        lines.push_back("discover " + name + " as " + fom().objectClass(cls).fullName);
    }
    void reflectAttributeValues(ObjectInstanceHandle object, const AttributeValues& values,
                                const std::string&, std::optional<LogicalTime> time) override {
        std::string line = "reflect " + name(object);
        for (const auto& [a, v] : values)
            line += " " + fom().attribute(a).name + "=" + bytesText(v);
        lines.push_back(line + timeSuffix(time));
    }
    void receiveInteraction(InteractionClassHandle cls, const ParameterValues& values,
                            const std::string&, std::optional<LogicalTime> time) override {
        std::string line = "receive " + fom().interactionClass(cls).name;
        for (const auto& [p, v] : values)
            line += " " + fom().parameter(p).name + "=" + bytesText(v);
        lines.push_back(line + timeSuffix(time));
    }
    void removeObjectInstance(ObjectInstanceHandle object, const std::string&,
                              std::optional<LogicalTime> time) override {
        lines.push_back("remove " + name(object) + timeSuffix(time));
    }
    void provideAttributeValueUpdate(ObjectInstanceHandle object, const AttributeSet& set,
                                     const std::string& tag) override {
        lines.push_back("provide? " + name(object) + attributeList(set) + " " + tag);
    }
    void requestAttributeOwnershipRelease(ObjectInstanceHandle object, const AttributeSet& set,
                                          const std::string&) override {
        lines.push_back("release? " + name(object) + attributeList(set));
    }
    void attributeOwnershipAcquisitionNotification(ObjectInstanceHandle object,
                                                   const AttributeSet& set) override {
        lines.push_back("acquired " + name(object) + attributeList(set));
    }
    void attributeOwnershipUnavailable(ObjectInstanceHandle object,
                                       const AttributeSet& set) override {
        lines.push_back("unavailable " + name(object) + attributeList(set));
    }
    void confirmAttributeOwnershipAcquisitionCancellation(ObjectInstanceHandle object,
                                                          const AttributeSet& set) override {
        lines.push_back("cancelled " + name(object) + attributeList(set));
    }
    void informAttributeOwnership(ObjectInstanceHandle object, AttributeHandle attribute,
                                  FederateHandle owner) override {
        lines.push_back("owner " + name(object) + " " + fom().attribute(attribute).name + " " +
                        toString(owner));
    }
    void attributeIsNotOwned(ObjectInstanceHandle object, AttributeHandle attribute) override {
        lines.push_back("unowned " + name(object) + " " + fom().attribute(attribute).name);
    }
    void timeRegulationEnabled(LogicalTime time) override {
        lines.push_back("regulating " + formatTime(time));
    }
    void timeConstrainedEnabled(LogicalTime time) override {
        lines.push_back("constrained " + formatTime(time));
    }
    void timeAdvanceGrant(LogicalTime time) override {
        lines.push_back("grant " + formatTime(time));
    }

private:
    const FederationDescription& fom() {
        if (!m_fom) m_fom = m_rt.description(m_self);
        return *m_fom;
    }
    std::string name(ObjectInstanceHandle object) {
        const auto it = m_names.find(object);
        if (it != m_names.end()) return it->second;
        return m_names[object] = m_rt.getObjectInstanceName(m_self, object);
    }
    std::string attributeList(const AttributeSet& set) {
        std::string text;
        for (AttributeHandle a : set) text += " " + fom().attribute(a).name;
        return text;
    }

    RunTime& m_rt;
    FederateHandle m_self;
    std::shared_ptr<const FederationDescription> m_fom;
    std::map<ObjectInstanceHandle, std::string> m_names;
};

Scenario::Scenario(const std::string& fedText) {
    rt.createFederationExecution("ChatRoom", hla::parseFed(fedText));
}

Scenario::~Scenario() = default;

FederateHandle Scenario::join(const std::string& type, LogicalTime initialTime) {
    const FederateHandle federate = rt.joinFederationExecution(type, "ChatRoom", initialTime);
    m_recorders[federate] = std::make_unique<Recorder>(rt, federate);
    if (m_recorders.size() == 1) probe = federate;
    return federate;
}

std::vector<std::string> Scenario::drain(FederateHandle federate) {
    Recorder& recorder = *m_recorders.at(federate);
    while (rt.evokeCallback(federate, recorder)) {
    }
    return std::exchange(recorder.lines, {});
}

ObjectClassHandle Scenario::objectClass(const std::string& fullName) {
    return rt.getObjectClassHandle(probe, fullName);
}

AttributeHandle Scenario::attribute(const std::string& cls, const std::string& name) {
    return rt.getAttributeHandle(probe, objectClass(cls), name);
}

InteractionClassHandle Scenario::interactionClass(const std::string& fullName) {
    return rt.getInteractionClassHandle(probe, fullName);
}

ParameterHandle Scenario::parameter(const std::string& cls, const std::string& name) {
    return rt.getParameterHandle(probe, interactionClass(cls), name);
}

ParameterValues Scenario::parameters(const std::string& cls,
                                     const std::map<std::string, std::string>& values) {
    ParameterValues result;
    for (const auto& [name, text] : values) result[parameter(cls, name)] = textBytes(text);
    return result;
}

AttributeValues Scenario::attributes(const std::string& cls,
                                     const std::map<std::string, std::string>& values) {
    AttributeValues result;
    for (const auto& [name, text] : values) result[attribute(cls, name)] = textBytes(text);
    return result;
}

void Scenario::publishAndSubscribe(FederateHandle federate, const std::string& cls) {
    rt.publishInteractionClass(federate, interactionClass(cls));
    rt.subscribeInteractionClass(federate, interactionClass(cls));
}

void Scenario::publishObjects(FederateHandle federate, const std::string& cls,
                              const std::vector<std::string>& names) {
    AttributeSet set;
    for (const auto& name : names) set.insert(attribute(cls, name));
    rt.publishObjectClass(federate, objectClass(cls), set);
}

void Scenario::subscribeObjects(FederateHandle federate, const std::string& cls,
                                const std::vector<std::string>& names) {
    AttributeSet set;
    for (const auto& name : names) set.insert(attribute(cls, name));
    rt.subscribeObjectClassAttributes(federate, objectClass(cls), set);
}

void Scenario::say(FederateHandle federate, const std::string& cls, const std::string& message,
                   std::optional<LogicalTime> time) {
    rt.sendInteraction(federate, interactionClass(cls), parameters(cls, {{"Message", message}}), {},
                       time);
}

void Scenario::makeTimed(FederateHandle federate, LogicalTime lookahead) {
    rt.enableTimeRegulation(federate, rt.queryFederateTime(federate), lookahead);
    rt.enableTimeConstrained(federate);
    drain(federate);
}

}  // namespace rti::testing
