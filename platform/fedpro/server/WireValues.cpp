#include "platform/fedpro/server/WireValues.h"

#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/protocol/Times.h"

#include <cmath>

namespace fedpro::server {

namespace {

constexpr std::size_t kHandleSize = 4;

template <typename Wire, typename Handle>
Wire wireHandle(Handle handle) {
    Wire result;
    result.set_data(handleBytes(hla::toUnderlying(handle)));
    return result;
}

template <typename Handle, typename Wire>
Handle handleOf(const Wire& wire, const char* exceptionName, const char* what) {
    return static_cast<Handle>(handleValue(wire.data(), exceptionName, what));
}

double integerTime(std::int64_t value, const char* exceptionName) {
    if (value > kMaxExactInteger || value < -kMaxExactInteger) {
        throw CallError(exceptionName,
                        "the integer time " + std::to_string(value) +
                            " is beyond 2^53: the engine's run-time keeps times as 64-bit "
                            "floating point numbers, which hold integers exactly only up to "
                            "2^53 (9007199254740992)");
    }
    return static_cast<double>(value);
}

hla::LogicalTime timeOf(const std::string& bytes, TimeKind kind, const char* exceptionName,
                        const char* what) {
    try {
        if (kind == TimeKind::Integer64) {
            return integerTime(decodeInteger64Time(bytes), exceptionName);
        }
        const double value = decodeFloat64Time(bytes);
        if (std::isnan(value)) {
            throw CallError(exceptionName, std::string("the ") + what + " is not a number");
        }
        return value;
    } catch (const ProtocolError& e) {
        throw CallError(exceptionName, std::string("the ") + what + " is not an " +
                                           timeKindName(kind) + ": " + e.what());
    }
}

std::string timeBytes(hla::LogicalTime time, TimeKind kind) {
    if (kind == TimeKind::Float64) return encodeFloat64Time(time);
    // Times of an integer federation come from integers and sums of them, so stay whole.
    if (std::isinf(time)) {
        return encodeInteger64Time(time > 0 ? INT64_MAX : INT64_MIN);
    }
    return encodeInteger64Time(static_cast<std::int64_t>(std::llround(time)));
}

}  // namespace

const char* timeKindName(TimeKind kind) {
    return kind == TimeKind::Integer64 ? kInteger64TimeName : kFloat64TimeName;
}

TimeKind timeKindNamed(const std::string& name) {
    if (name.empty() || name == kFloat64TimeName) return TimeKind::Float64;
    if (name == kInteger64TimeName) return TimeKind::Integer64;
    throw CallError("CouldNotCreateLogicalTimeFactory",
                    "the logical time implementation \"" + name +
                        "\" is not known; the "
                        "engine's server offers " +
                        kFloat64TimeName + " and " + kInteger64TimeName);
}

std::string handleBytes(std::uint32_t value) {
    std::string bytes(kHandleSize, '\0');
    for (std::size_t i = 0; i < kHandleSize; ++i) {
        bytes[i] = static_cast<char>((value >> (8 * (kHandleSize - 1 - i))) & 0xFFu);
    }
    return bytes;
}

std::uint32_t handleValue(const std::string& bytes, const char* exceptionName, const char* what) {
    if (bytes.size() != kHandleSize) {
        throw CallError(exceptionName, std::string("the ") + what + " handle is " +
                                           std::to_string(bytes.size()) +
                                           " bytes long; this server's handles are 4 bytes");
    }
    std::uint32_t value = 0;
    for (char c : bytes) value = (value << 8) | static_cast<unsigned char>(c);
    return value;
}

pb::FederateHandle wire(hla::FederateHandle h) {
    return wireHandle<pb::FederateHandle>(h);
}
pb::ObjectClassHandle wire(hla::ObjectClassHandle h) {
    return wireHandle<pb::ObjectClassHandle>(h);
}
pb::AttributeHandle wire(hla::AttributeHandle h) {
    return wireHandle<pb::AttributeHandle>(h);
}
pb::InteractionClassHandle wire(hla::InteractionClassHandle h) {
    return wireHandle<pb::InteractionClassHandle>(h);
}
pb::ParameterHandle wire(hla::ParameterHandle h) {
    return wireHandle<pb::ParameterHandle>(h);
}
pb::ObjectInstanceHandle wire(hla::ObjectInstanceHandle h) {
    return wireHandle<pb::ObjectInstanceHandle>(h);
}

pb::AttributeHandleSet wire(const hla::AttributeSet& attributes) {
    pb::AttributeHandleSet set;
    for (hla::AttributeHandle a : attributes) *set.add_attributehandle() = wire(a);
    return set;
}

pb::AttributeHandleValueMap wire(const hla::AttributeValues& values) {
    pb::AttributeHandleValueMap map;
    for (const auto& [handle, value] : values) {
        pb::AttributeHandleValue* entry = map.add_attributehandlevalue();
        *entry->mutable_attributehandle() = wire(handle);
        entry->set_value(textOf(value));
    }
    return map;
}

pb::ParameterHandleValueMap wire(const hla::ParameterValues& values) {
    pb::ParameterHandleValueMap map;
    for (const auto& [handle, value] : values) {
        pb::ParameterHandleValue* entry = map.add_parameterhandlevalue();
        *entry->mutable_parameterhandle() = wire(handle);
        entry->set_value(textOf(value));
    }
    return map;
}

hla::FederateHandle fromWire(const pb::FederateHandle& h) {
    return handleOf<hla::FederateHandle>(h, "InvalidFederateHandle", "federate");
}
hla::ObjectClassHandle fromWire(const pb::ObjectClassHandle& h) {
    return handleOf<hla::ObjectClassHandle>(h, "InvalidObjectClassHandle", "object class");
}
hla::AttributeHandle fromWire(const pb::AttributeHandle& h) {
    return handleOf<hla::AttributeHandle>(h, "InvalidAttributeHandle", "attribute");
}
hla::InteractionClassHandle fromWire(const pb::InteractionClassHandle& h) {
    return handleOf<hla::InteractionClassHandle>(h, "InvalidInteractionClassHandle",
                                                 "interaction class");
}
hla::ParameterHandle fromWire(const pb::ParameterHandle& h) {
    return handleOf<hla::ParameterHandle>(h, "InvalidParameterHandle", "parameter");
}
hla::ObjectInstanceHandle fromWire(const pb::ObjectInstanceHandle& h, Api api) {
    return handleOf<hla::ObjectInstanceHandle>(
        h, api == Api::Ieee2010 ? "ObjectInstanceNotKnown" : "InvalidObjectInstanceHandle",
        "object instance");
}

hla::AttributeSet fromWire(const pb::AttributeHandleSet& attributes) {
    hla::AttributeSet set;
    for (const pb::AttributeHandle& a : attributes.attributehandle()) set.insert(fromWire(a));
    return set;
}

hla::AttributeValues fromWire(const pb::AttributeHandleValueMap& values) {
    hla::AttributeValues map;
    for (const pb::AttributeHandleValue& entry : values.attributehandlevalue()) {
        const hla::AttributeHandle key = fromWire(entry.attributehandle());
        if (!map.emplace(key, bytesOf(entry.value())).second) {
            throw CallError("InvalidAttributeHandle", "the attribute values name attribute " +
                                                          std::to_string(hla::toUnderlying(key)) +
                                                          " twice");
        }
    }
    return map;
}

hla::ParameterValues fromWire(const pb::ParameterHandleValueMap& values) {
    hla::ParameterValues map;
    for (const pb::ParameterHandleValue& entry : values.parameterhandlevalue()) {
        const hla::ParameterHandle key = fromWire(entry.parameterhandle());
        if (!map.emplace(key, bytesOf(entry.value())).second) {
            throw CallError("InvalidParameterHandle", "the parameter values name parameter " +
                                                          std::to_string(hla::toUnderlying(key)) +
                                                          " twice");
        }
    }
    return map;
}

hla::Bytes bytesOf(const std::string& text) {
    return hla::Bytes(text.begin(), text.end());
}

std::string textOf(const hla::Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

hla::LogicalTime fromWire(const pb::LogicalTime& time, TimeKind kind) {
    return timeOf(time.data(), kind, "InvalidLogicalTime", "logical time");
}

hla::LogicalTime fromWire(const pb::LogicalTimeInterval& interval, TimeKind kind,
                          const char* exceptionName) {
    return timeOf(interval.data(), kind, exceptionName, "time interval");
}

pb::LogicalTime wireTime(hla::LogicalTime time, TimeKind kind) {
    pb::LogicalTime result;
    result.set_data(timeBytes(time, kind));
    return result;
}

pb::LogicalTimeInterval wireInterval(hla::LogicalTime interval, TimeKind kind) {
    pb::LogicalTimeInterval result;
    result.set_data(timeBytes(interval, kind));
    return result;
}

pb::TimeQueryReturn wireQuery(hla::LogicalTime time, TimeKind kind) {
    pb::TimeQueryReturn result;
    result.set_logicaltimeisvalid(!std::isinf(time));
    if (!std::isinf(time)) *result.mutable_logicaltime() = wireTime(time, kind);
    return result;
}

}  // namespace fedpro::server
