#pragma once

#include <QString>

#include <string>

namespace provider {

// "<Federation>.<Federate>": the federation execution to join and the federate's name in it.
struct ControllerName {
    std::string federation;
    std::string federate;
};

// Splits at the first "."; throws cao::Error when either part is empty.
ControllerName parseControllerName(const QString& name);

}  // namespace provider
