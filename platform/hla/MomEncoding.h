#pragma once

// The Management Object Model's names and the octets of the MIM data types its objects carry
// (IEEE 1516.1-2010 clause 11): what the run-time registers and what a federate reads back.
// The run-time's handles and times travel as an HLAhandle and an HLAlogicalTime: a variable
// array of octets holding a 32-bit big-endian handle, or an HLAfloat64BE time.

#include "platform/hla/Types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hla::mom {

inline constexpr const char* kFederationClass = "HLAobjectRoot.HLAmanager.HLAfederation";
inline constexpr const char* kFederateClass = "HLAobjectRoot.HLAmanager.HLAfederate";

namespace federate {
inline constexpr const char* kHandle = "HLAfederateHandle";
inline constexpr const char* kName = "HLAfederateName";
inline constexpr const char* kType = "HLAfederateType";
inline constexpr const char* kHost = "HLAfederateHost";
inline constexpr const char* kRtiVersion = "HLARTIversion";
inline constexpr const char* kModules = "HLAFOMmoduleDesignatorList";
inline constexpr const char* kConstrained = "HLAtimeConstrained";
inline constexpr const char* kRegulating = "HLAtimeRegulating";
inline constexpr const char* kAsynchronous = "HLAasynchronousDelivery";
inline constexpr const char* kState = "HLAfederateState";
inline constexpr const char* kTimeState = "HLAtimeManagerState";
inline constexpr const char* kLogicalTime = "HLAlogicalTime";
inline constexpr const char* kLookahead = "HLAlookahead";
inline constexpr const char* kGalt = "HLAGALT";
inline constexpr const char* kLits = "HLALITS";
inline constexpr const char* kReceiveQueue = "HLAROlength";
inline constexpr const char* kTimestampQueue = "HLATSOlength";
inline constexpr const char* kReflectionsReceived = "HLAreflectionsReceived";
inline constexpr const char* kUpdatesSent = "HLAupdatesSent";
inline constexpr const char* kInteractionsReceived = "HLAinteractionsReceived";
inline constexpr const char* kInteractionsSent = "HLAinteractionsSent";
inline constexpr const char* kInstancesDeletable = "HLAobjectInstancesThatCanBeDeleted";
inline constexpr const char* kInstancesUpdated = "HLAobjectInstancesUpdated";
inline constexpr const char* kInstancesReflected = "HLAobjectInstancesReflected";
inline constexpr const char* kInstancesDeleted = "HLAobjectInstancesDeleted";
inline constexpr const char* kInstancesRemoved = "HLAobjectInstancesRemoved";
inline constexpr const char* kInstancesRegistered = "HLAobjectInstancesRegistered";
inline constexpr const char* kInstancesDiscovered = "HLAobjectInstancesDiscovered";
inline constexpr const char* kGrantedTime = "HLAtimeGrantedTime";
inline constexpr const char* kAdvancingTime = "HLAtimeAdvancingTime";
inline constexpr const char* kConveyRegions = "HLAconveyRegionDesignatorSets";
inline constexpr const char* kConveyProducer = "HLAconveyProducingFederate";
}  // namespace federate

namespace federation {
inline constexpr const char* kName = "HLAfederationName";
inline constexpr const char* kFederates = "HLAfederatesInFederation";
inline constexpr const char* kRtiVersion = "HLARTIversion";
inline constexpr const char* kMimDesignator = "HLAMIMdesignator";
inline constexpr const char* kModules = "HLAFOMmoduleDesignatorList";
inline constexpr const char* kTimeImplementation = "HLAtimeImplementationName";
inline constexpr const char* kAutoProvide = "HLAautoProvide";
}  // namespace federation

// Synchronisation points: a federate asks, the run-time reports to the subscribers.
inline constexpr const char* kRequestSyncPoints =
    "HLAinteractionRoot.HLAmanager.HLAfederation.HLArequest.HLArequestSynchronizationPoints";
inline constexpr const char* kReportSyncPoints =
    "HLAinteractionRoot.HLAmanager.HLAfederation.HLAreport.HLAreportSynchronizationPoints";
inline constexpr const char* kRequestSyncPointStatus =
    "HLAinteractionRoot.HLAmanager.HLAfederation.HLArequest."
    "HLArequestSynchronizationPointStatus";
inline constexpr const char* kReportSyncPointStatus =
    "HLAinteractionRoot.HLAmanager.HLAfederation.HLAreport.HLAreportSynchronizationPointStatus";
inline constexpr const char* kSyncPointName = "HLAsyncPointName";
inline constexpr const char* kSyncPointFederates = "HLAsyncPointFederates";
inline constexpr const char* kSyncPoints = "HLAsyncPoints";
// HLAsynchPointStatus: announced and not achieved; achieved, the others awaited.
inline constexpr std::int32_t kMovingToSyncPoint = 2;
inline constexpr std::int32_t kWaitingForRestOfFederation = 3;

// A federate the run-time lost (its process or session gone), reported before it is resigned.
inline constexpr const char* kReportFederateLost =
    "HLAinteractionRoot.HLAmanager.HLAfederate.HLAreport.HLAreportFederateLost";
inline constexpr const char* kLostFederateName = "HLAfederateName";
inline constexpr const char* kLostTimeStamp = "HLAtimeStamp";
inline constexpr const char* kFaultDescription = "HLAfaultDescription";

// What a federate publishes and subscribes: a request names the federate by its HLAfederate
// parameter, and the run-time answers with the reports, each naming the federate the same way.
inline constexpr const char* kRequestPublications =
    "HLAinteractionRoot.HLAmanager.HLAfederate.HLArequest.HLArequestPublications";
inline constexpr const char* kRequestSubscriptions =
    "HLAinteractionRoot.HLAmanager.HLAfederate.HLArequest.HLArequestSubscriptions";
inline constexpr const char* kReportObjectClassPublication =
    "HLAinteractionRoot.HLAmanager.HLAfederate.HLAreport.HLAreportObjectClassPublication";
inline constexpr const char* kReportObjectClassSubscription =
    "HLAinteractionRoot.HLAmanager.HLAfederate.HLAreport.HLAreportObjectClassSubscription";
inline constexpr const char* kReportInteractionPublication =
    "HLAinteractionRoot.HLAmanager.HLAfederate.HLAreport.HLAreportInteractionPublication";
inline constexpr const char* kReportInteractionSubscription =
    "HLAinteractionRoot.HLAmanager.HLAfederate.HLAreport.HLAreportInteractionSubscription";
// How often the run-time updates a federate's HLAfederate object (HLAseconds; 0: only as its
// values change, the default).
inline constexpr const char* kSetTiming =
    "HLAinteractionRoot.HLAmanager.HLAfederate.HLAadjust.HLAsetTiming";
inline constexpr const char* kReportPeriod = "HLAreportPeriod";
// A request the run-time cannot serve, as it was given.
inline constexpr const char* kReportMomException =
    "HLAinteractionRoot.HLAmanager.HLAfederate.HLAreport.HLAreportMOMexception";
inline constexpr const char* kFederateParameter = "HLAfederate";
inline constexpr const char* kNumberOfClasses = "HLAnumberOfClasses";
inline constexpr const char* kObjectClass = "HLAobjectClass";
inline constexpr const char* kAttributeList = "HLAattributeList";
inline constexpr const char* kActive = "HLAactive";
inline constexpr const char* kMaxUpdateRate = "HLAmaxUpdateRate";
inline constexpr const char* kInteractionClassList = "HLAinteractionClassList";
inline constexpr const char* kService = "HLAservice";
inline constexpr const char* kException = "HLAexception";
inline constexpr const char* kParameterError = "HLAparameterError";

// One federate's part in a synchronisation point (HLAsynchPointFederate).
struct SyncPointFederate {
    Bytes federate;  // the handle's own octets
    std::int32_t status = 0;
};

// HLAfederateState's ActiveFederate; HLAtimeState's two values.
inline constexpr std::int32_t kActiveFederate = 1;
inline constexpr std::int32_t kTimeGranted = 0;
inline constexpr std::int32_t kTimeAdvancing = 1;

Bytes encodeInteger(std::int32_t value);    // HLAinteger32BE and the enumerations on it
Bytes encodeCount(std::int64_t value);      // HLAcount, held at its largest value
Bytes encodeBoolean(bool value);            // HLAboolean
Bytes encodeText(const std::string& utf8);  // HLAunicodeString
Bytes encodeTextList(const std::vector<std::string>& utf8);  // HLAmoduleDesignatorList
// HLAhandle and HLAhandleList of the run-time's handles of any kind: their 32-bit values.
Bytes encodeHandle(std::uint32_t handle);
Bytes encodeHandleList(const std::vector<std::uint32_t>& handles);
inline Bytes encodeHandle(FederateHandle handle) {
    return encodeHandle(toUnderlying(handle));
}
Bytes encodeHandleList(const std::vector<FederateHandle>& handles);
// The HLAhandle of a handle's own octets, as decodeHandle gives them: another run-time's too.
Bytes encodeHandleOctets(const Bytes& octets);
// HLAinteractionSubList: each class with whether its subscription is active.
Bytes encodeInteractionSubscriptions(const std::vector<std::pair<std::uint32_t, bool>>& list);
Bytes encodeTime(LogicalTime time);  // HLAlogicalTime and HLAtimeInterval
// HLAsynchPointFederateList
Bytes encodeSyncPointFederates(const std::vector<std::pair<FederateHandle, std::int32_t>>& list);

// Empty when the octets are not a value of the type, whole.
std::optional<std::int32_t> decodeInteger(const Bytes& bytes);
std::optional<bool> decodeBoolean(const Bytes& bytes);
std::optional<std::string> decodeText(const Bytes& bytes);
std::optional<Bytes> decodeHandle(const Bytes& bytes);  // the handle's own octets
// A handle of the run-time's own: four octets.
std::optional<std::uint32_t> decodeHandleValue(const Bytes& bytes);
std::optional<std::vector<Bytes>> decodeHandleList(const Bytes& bytes);
// HLAinteractionSubList: each class's own octets with whether it is active.
std::optional<std::vector<std::pair<Bytes, bool>>> decodeInteractionSubscriptions(
    const Bytes& bytes);
std::optional<LogicalTime> decodeTime(const Bytes& bytes);
std::optional<std::vector<SyncPointFederate>> decodeSyncPointFederates(const Bytes& bytes);

}  // namespace hla::mom
