#pragma once

#include "cao/Variant.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace engine {

// A message as a provider raises it, or as a client receives it from the engine on the bus;
// either wraps it into a Message.
struct MessageData {
    int32_t number = 0;
    cao::Variant value;
    cao::Variant time;
    QString source;
    // Called by Acknowledge, at most once; empty for messages that are no announcement.
    std::function<void()> acknowledge;
};

}  // namespace engine
