#pragma once

#include "cao/Cao.h"

class QCheckBox;
class QListWidget;

namespace ui {
class MessageBoxService;
}

namespace messages {

struct MessageControls {
    QCheckBox* chkSync = nullptr;
    QListWidget* lstMessage = nullptr;
};

// Turns each controller message into a log line and answers synchronisation-point
// announcements. Never throws: each step drops its own failures.
class MessageLog {
public:
    MessageLog(MessageControls controls, ui::MessageBoxService& messageBox);

    void OnMessage(const cao::MessagePtr& message);
    void clear();

private:
    MessageControls m_controls;
    ui::MessageBoxService& m_messageBox;
};

}  // namespace messages
