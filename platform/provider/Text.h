#pragma once

// Helpers the provider's sources share for the texts they show and the errors they raise.

#include "cao/Error.h"

#include <QString>

#include <string>

namespace provider {

// A run-time name or description, which is UTF-8.
inline QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// A refused argument, with the description a person acts on.
inline cao::Error invalid(const QString& description) {
    return cao::Error(description, cao::code::InvalidArg);
}

// A time as the provider writes it in its descriptions.
QString timeText(double time);

// Inside a catch: the exception being handled as the description of a failed step,
// "<what>: <reason>"; a cao::Error passes unchanged.
[[noreturn]] void rethrowAsCaoError(const QString& what);

}  // namespace provider
