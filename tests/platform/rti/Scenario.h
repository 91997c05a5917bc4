#pragma once

// A run-time with one federation and any number of federates whose callbacks are recorded as
// short readable lines, so scenario tests can state exactly what each federate was told.

#include "platform/hla/FederateAmbassador.h"
#include "platform/rti/RunTime.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace rti::testing {

// Chat's classes plus a subclass of each, for routing to superclass subscribers.
extern const char* const kScenarioFed;

class Recorder;

class Scenario {
public:
    explicit Scenario(const std::string& fedText = kScenarioFed);
    ~Scenario();

    FederateHandle join(const std::string& type, LogicalTime initialTime = 0);
    // Evokes every waiting callback of the federate and gives them as lines.
    std::vector<std::string> drain(FederateHandle federate);

    ObjectClassHandle objectClass(const std::string& fullName);
    AttributeHandle attribute(const std::string& classFullName, const std::string& name);
    InteractionClassHandle interactionClass(const std::string& fullName);
    ParameterHandle parameter(const std::string& classFullName, const std::string& name);
    ParameterValues parameters(const std::string& classFullName,
                               const std::map<std::string, std::string>& values);
    AttributeValues attributes(const std::string& classFullName,
                               const std::map<std::string, std::string>& values);

    // Publish and subscribe whole classes.
    void publishAndSubscribe(FederateHandle federate, const std::string& interactionClass);
    void publishObjects(FederateHandle federate, const std::string& cls,
                        const std::vector<std::string>& attributes);
    void subscribeObjects(FederateHandle federate, const std::string& cls,
                          const std::vector<std::string>& attributes);
    void say(FederateHandle federate, const std::string& interactionClass,
             const std::string& message, std::optional<LogicalTime> time = std::nullopt);
    // Regulating with the lookahead and constrained, both enabled and drained.
    void makeTimed(FederateHandle federate, LogicalTime lookahead);

    RunTime rt;
    FederateHandle probe{};  // the first federate joined, used for handle look-ups

private:
    std::map<FederateHandle, std::unique_ptr<Recorder>> m_recorders;
};

std::string bytesText(const Bytes& bytes);
Bytes textBytes(const std::string& text);

}  // namespace rti::testing
