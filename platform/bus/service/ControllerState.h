#pragma once

#include "cao/Cao.h"
#include "platform/bus/protocol/PackedBatch.h"
#include "platform/bus/protocol/Wire.h"

#include <QString>

#include <map>

namespace bus::service {

// What the engine keeps for one controller a client reached: its variables and the messages
// still to be acknowledged, each with the node name it has under the controller's path.
struct ControllerState {
    QString node;
    QString path;
    QString name;
    cao::ControllerPtr controller;
    bool listening = false;
    bus::WireMessages batch;        // for the structured signal
    bus::PackedBatchWriter packed;  // for a client that asked for packed batches

    bool hasBatch() const { return !batch.isEmpty() || packed.count() > 0; }
    std::map<QString, cao::VariablePtr> variables;      // by node name
    std::map<QString, QString> variableNodes;           // node name by variable name
    std::map<unsigned, cao::MessagePtr> announcements;  // by number, oldest first
    unsigned nextNode = 0;

    unsigned newNumber() { return nextNode++; }
    QString pathOf(const QString& child) const { return path + QLatin1Char('/') + child; }
};

}  // namespace bus::service
