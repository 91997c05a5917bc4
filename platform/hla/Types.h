#pragma once

// Handles, times and value containers shared by the run-time's services and callbacks.

#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace hla {

// Handles are distinct types so that one kind can never be passed for another.
enum class FederateHandle : std::uint32_t {};
enum class ObjectClassHandle : std::uint32_t {};
enum class AttributeHandle : std::uint32_t {};
enum class InteractionClassHandle : std::uint32_t {};
enum class ParameterHandle : std::uint32_t {};
enum class ObjectInstanceHandle : std::uint32_t {};

template <typename Handle>
constexpr std::uint32_t toUnderlying(Handle handle) {
    return static_cast<std::uint32_t>(handle);
}

using LogicalTime = double;
inline constexpr LogicalTime kInfiniteTime = std::numeric_limits<LogicalTime>::infinity();

using Bytes = std::vector<std::uint8_t>;
using AttributeValues = std::map<AttributeHandle, Bytes>;
using ParameterValues = std::map<ParameterHandle, Bytes>;
using AttributeSet = std::set<AttributeHandle>;

enum class Transport { Reliable, BestEffort };
enum class Order { Receive, Timestamp };

// What resigning does with the objects and attributes the federate still holds.
enum class ResignAction {
    NoAction,                          // refused while the federate owns an attribute
    ReleaseAttributes,                 // owned attributes become unowned (or go to a requester)
    DeleteObjectsAndReleaseAttributes  // objects it may delete are deleted, the rest released
};

std::string toString(FederateHandle handle);
std::string toString(ObjectInstanceHandle handle);
std::string formatTime(LogicalTime time);

}  // namespace hla
