#pragma once

#include "platform/hla/Types.h"

#include <QString>

#include <chrono>
#include <compare>
#include <optional>

namespace provider {

// What a write of this federate reaches others as: an interaction class, or an attribute of
// the class of the object written.
struct WrittenClass {
    std::optional<hla::InteractionClassHandle> interaction;
    hla::ObjectClassHandle objectClass{};
    hla::AttributeHandle attribute{};
    friend auto operator<=>(const WrittenClass&, const WrittenClass&) = default;
};

// The first write of a class: when, and by which variable.
struct FirstWrite {
    std::chrono::steady_clock::time_point since;
    QString variable;
};

}  // namespace provider
