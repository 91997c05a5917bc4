#pragma once

// The controller access objects of a client, each a proxy of an object in the engine.

#include "bus/Link.h"
#include "bus/PackedBatch.h"
#include "cao/Cao.h"

#include <memory>

namespace bus {

// Throws cao::Error when a value in the message does not fit its type code.
MessageData messageFromWire(const WireMessage& wire);
cao::MessagePtr makeMessage(Link& link, MessageData data);

cao::EnginePtr makeEngine(std::shared_ptr<Link> link, QString path);

}  // namespace bus
