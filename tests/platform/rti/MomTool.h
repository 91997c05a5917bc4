#pragma once

// A MOM tool in a test: a federate that records the management objects and the reports it is
// told of, and a federation of the chat room to watch, made from a FED file and an XML module.

#include "Scenario.h"
#include "platform/hla/FedReader.h"
#include "platform/hla/FomModules.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace rti::testing {

// Records the management objects a federate is told of, by name, with their latest values.
class MomTool : public FederateAmbassador {
public:
    MomTool(RunTime& rt, FederateHandle self) : m_rt(rt), m_self(self) {}

    void discoverObjectInstance(ObjectInstanceHandle object, ObjectClassHandle cls,
                                const std::string& name) override {
        names[object] = name;
        classes[name] = m_rt.description(m_self)->objectClass(cls).fullName;
    }
    void reflectAttributeValues(ObjectInstanceHandle object, const AttributeValues& values,
                                const std::string&, std::optional<LogicalTime>) override {
        const auto fom = m_rt.description(m_self);
        for (const auto& [attribute, bytes] : values) {
            objects[names.at(object)][fom->attribute(attribute).name] = bytes;
        }
        ++reflections;
    }
    void removeObjectInstance(ObjectInstanceHandle object, const std::string&,
                              std::optional<LogicalTime>) override {
        objects.erase(names.at(object));
        removed.push_back(names.at(object));
    }
    void receiveInteraction(InteractionClassHandle cls, const ParameterValues& values,
                            const std::string&, std::optional<LogicalTime>) override {
        const auto fom = m_rt.description(m_self);
        const std::string& name = fom->interactionClass(cls).fullName;
        auto& received = interactions[name];
        std::map<std::string, Bytes> named;
        for (const auto& [parameter, bytes] : values) {
            received[fom->parameter(parameter).name] = bytes;
            named[fom->parameter(parameter).name] = bytes;
        }
        order.emplace_back(name.substr(name.rfind('.') + 1), std::move(named));
    }
    void drain() {
        while (m_rt.evokeCallback(m_self, *this)) {
        }
    }
    const Bytes& value(const std::string& object, const std::string& attribute) {
        return objects.at(object).at(attribute);
    }

    std::map<ObjectInstanceHandle, std::string> names;
    std::map<std::string, std::string> classes;
    std::map<std::string, std::map<std::string, Bytes>> objects;
    std::vector<std::string> removed;
    std::map<std::string, std::map<std::string, Bytes>> interactions;  // the latest of each
    // Every interaction, by the last part of its class name, as it came.
    std::vector<std::pair<std::string, std::map<std::string, Bytes>>> order;
    int reflections = 0;

private:
    RunTime& m_rt;
    FederateHandle m_self;
};

inline void subscribeAll(RunTime& rt, FederateHandle federate, const char* cls) {
    const auto fom = rt.description(federate);
    const ObjectClassHandle handle = rt.getObjectClassHandle(federate, cls);
    AttributeSet all;
    for (AttributeHandle a : fom->availableAttributes(handle)) all.insert(a);
    rt.subscribeObjectClassAttributes(federate, handle, all);
}

inline std::string objectOf(FederateHandle federate) {
    return "HLAfederate." + std::to_string(toUnderlying(federate));
}

// A federation made from the chat room as a FED file and as an XML module.
class ManagementObjects : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        hla::FederationDescription fom =
            GetParam() ? hla::readFederationModules({TANDREL_SOURCE_DATA_DIR "/Chat.xml"})
                       : hla::parseFed(rti::testing::kScenarioFed);
        rt.createFederationExecution("ChatRoom", std::move(fom));
    }
    RunTime rt;
};

}  // namespace rti::testing
