#pragma once

// How the run-time hands a federate's call to the service of its federation. For the
// run-time's own sources.

#include "platform/rti/Federation.h"
#include "platform/rti/RunTime.h"

#include <functional>
#include <utility>

namespace rti {

namespace detail {

template <typename Method>
struct ServiceOf;

template <typename Type, typename Service>
struct ServiceOf<Type Service::*> {
    using type = Service;
};

}  // namespace detail

template <typename Method, typename... Args>
decltype(auto) RunTime::forward(FederateHandle federate, Method method, Args&&... args) {
    using Service = typename detail::ServiceOf<Method>::type;
    return std::invoke(method, federationOf(federate).service<Service>(), federate,
                       std::forward<Args>(args)...);
}

template <typename Method, typename... Args>
void RunTime::forwardChanging(FederateHandle federate, Method method, Args&&... args) {
    Federation& federation = federationOf(federate);
    forward(federate, method, std::forward<Args>(args)...);
    federation.managementChanged();
}

}  // namespace rti
