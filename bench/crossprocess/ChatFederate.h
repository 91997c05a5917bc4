#pragma once

// A controller of the HLA provider joined to the chat room of Chat.fed with a variable for
// its Message interaction, keeping the texts it receives.

#include "cao/Cao.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace bench {

// The Message interaction's variable, as a tandrel-peer is told it too.
inline const QString kChatMessage = QStringLiteral("InteractionRoot.Communication.Message");

class ChatFederate {
public:
    // Opens the controller on the engine's first workspace under a federate name.
    ChatFederate(const cao::EnginePtr& engine, const QString& name);
    ~ChatFederate();
    ChatFederate(const ChatFederate&) = delete;
    ChatFederate& operator=(const ChatFederate&) = delete;

    void send(const QString& text);
    // The texts received so far, oldest first; a bench may clear them.
    std::vector<QString>& received() { return *m_received; }

    // Until a receiver's subscription has reached this federate, writes reach nobody: writes
    // a numbered text every so often until arrived() holds; false when the bound passed first.
    bool primeUntil(const std::function<bool()>& arrived);

private:
    cao::WorkspacePtr m_workspace;
    cao::ControllerPtr m_controller;
    // Shared with the message handler the controller holds.
    std::shared_ptr<std::vector<QString>> m_received = std::make_shared<std::vector<QString>>();
};

}  // namespace bench
