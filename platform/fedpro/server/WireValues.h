#pragma once

// The run-time's values as the protocol carries them. Handles are the server's own bytes:
// 4 bytes big-endian of the run-time's value; times are the standard's 8-byte encodings of
// the federation's time type. Every decode of a client's bytes is checked and refused with
// the standard's exception.

#include "platform/fedpro/messages/datatypes.pb.h"
#include "platform/fedpro/server/CallError.h"
#include "platform/hla/Types.h"

#include <cstdint>
#include <string>

namespace fedpro::server {

namespace pb = rti1516_2025::fedpro;

// The time types the server offers; a federation has the one it was created with.
enum class TimeKind { Float64, Integer64 };

// "HLAfloat64Time" or "HLAinteger64Time".
const char* timeKindName(TimeKind kind);
// The kind a logical time implementation name stands for (empty: HLAfloat64Time); throws
// CallError (CouldNotCreateLogicalTimeFactory) for another name.
TimeKind timeKindNamed(const std::string& name);

std::string handleBytes(std::uint32_t value);
// Throws CallError(exceptionName) unless the bytes are a handle of ours.
std::uint32_t handleValue(const std::string& bytes, const char* exceptionName, const char* what);

pb::FederateHandle wire(hla::FederateHandle handle);
pb::ObjectClassHandle wire(hla::ObjectClassHandle handle);
pb::AttributeHandle wire(hla::AttributeHandle handle);
pb::InteractionClassHandle wire(hla::InteractionClassHandle handle);
pb::ParameterHandle wire(hla::ParameterHandle handle);
pb::ObjectInstanceHandle wire(hla::ObjectInstanceHandle handle);
pb::AttributeHandleSet wire(const hla::AttributeSet& attributes);
pb::AttributeHandleValueMap wire(const hla::AttributeValues& values);
pb::ParameterHandleValueMap wire(const hla::ParameterValues& values);

hla::FederateHandle fromWire(const pb::FederateHandle& handle);
hla::ObjectClassHandle fromWire(const pb::ObjectClassHandle& handle);
hla::AttributeHandle fromWire(const pb::AttributeHandle& handle);
hla::InteractionClassHandle fromWire(const pb::InteractionClassHandle& handle);
hla::ParameterHandle fromWire(const pb::ParameterHandle& handle);
hla::ObjectInstanceHandle fromWire(const pb::ObjectInstanceHandle& handle, Api api);
hla::AttributeSet fromWire(const pb::AttributeHandleSet& attributes);
// A map with a key twice is refused.
hla::AttributeValues fromWire(const pb::AttributeHandleValueMap& values);
hla::ParameterValues fromWire(const pb::ParameterHandleValueMap& values);

hla::Bytes bytesOf(const std::string& text);
std::string textOf(const hla::Bytes& bytes);

// Integer times beyond this are refused: the run-time keeps times as doubles, which hold
// every integer exactly only up to 2^53.
inline constexpr std::int64_t kMaxExactInteger = std::int64_t{1} << 53;

// Throws CallError (InvalidLogicalTime) for bytes that are not a time of the kind, or an
// integer time the run-time cannot hold exactly.
hla::LogicalTime fromWire(const pb::LogicalTime& time, TimeKind kind);
// Throws CallError (exceptionName, as the service names a bad interval).
hla::LogicalTime fromWire(const pb::LogicalTimeInterval& interval, TimeKind kind,
                          const char* exceptionName);
pb::LogicalTime wireTime(hla::LogicalTime time, TimeKind kind);
pb::LogicalTimeInterval wireInterval(hla::LogicalTime interval, TimeKind kind);
// Invalid when the time is +infinity (no bound).
pb::TimeQueryReturn wireQuery(hla::LogicalTime time, TimeKind kind);

}  // namespace fedpro::server
