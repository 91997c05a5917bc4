#pragma once

#include "cao/Cao.h"

#include <deque>
#include <memory>

class QCheckBox;
class QListView;

namespace ui {
class MessageBoxService;
}

namespace messages {

class MessageLogModel;

struct MessageControls {
    QCheckBox* chkSync = nullptr;
    QListView* lstMessage = nullptr;
};

// Turns each controller message into a log line and answers synchronisation-point
// announcements. Never throws: each step drops its own failures.
// A message usually comes from the engine's own process, across the session bus: gathered in
// platform/bus/service/EngineObject, packed by platform/bus/protocol/PackedBatch, raised here
// by platform/bus/client/Link (app/ chooses the engine). Its text is cao/text/VariantToText's.
class MessageLog {
public:
    // Installs the log's model on controls.lstMessage.
    MessageLog(MessageControls controls, ui::MessageBoxService& messageBox);
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    // Messages are handled one after another in arrival order: one that arrives while an
    // earlier one is still being handled (its box open) waits until that one has finished.
    void OnMessage(const cao::MessagePtr& message);
    void clear();

    MessageLogModel& model() { return *m_model; }

private:
    void handle(const cao::MessagePtr& message);

    MessageControls m_controls;
    ui::MessageBoxService& m_messageBox;
    std::unique_ptr<MessageLogModel> m_model;
    std::deque<cao::MessagePtr> m_waiting;
    bool m_handling = false;
};

}  // namespace messages
