#pragma once

// The controller access objects of a client, each a proxy of an object in the engine.

#include "bus/Link.h"
#include "cao/Cao.h"

#include <memory>

namespace bus {

// A message as it arrived, ready to be handed out.
struct MessageData {
    int32_t number = 0;
    cao::Variant value;
    cao::Variant time;
    QString source;
    QString acknowledgePath;  // empty when there is nothing to acknowledge
};

// Throws cao::Error when a value in the message does not fit its type code.
MessageData messageFromWire(const WireMessage& wire);
cao::MessagePtr makeMessage(Link& link, MessageData data);

cao::EnginePtr makeEngine(std::shared_ptr<Link> link, QString path);

}  // namespace bus
