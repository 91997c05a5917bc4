// Placeholder bodies until the message log lands.
#include "messages/MessageLog.h"

namespace messages {

MessageLog::MessageLog(MessageControls controls, ui::MessageBoxService& messageBox)
    : m_controls(controls), m_messageBox(messageBox) {}
void MessageLog::OnMessage(const cao::MessagePtr&) {}
void MessageLog::clear() {}

}  // namespace messages
