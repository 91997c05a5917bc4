#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/ControllerState.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// A controller of the engine. Every proxy of one controller shares its state, so that all of
// them know when it is removed.
class ControllerProxy : public cao::CaoController {
public:
    ControllerProxy(std::shared_ptr<Link> link, std::shared_ptr<ControllerState> state)
        : m_link(std::move(link)), m_state(std::move(state)) {}
    // The proxy of the controller at path; name is known when the caller just opened it.
    static cao::ControllerPtr at(const std::shared_ptr<Link>& link, const QString& path,
                                 const QString& name);

    QString Name() override;
    int32_t Index() override;
    cao::VariablesPtr Variables() override;
    void SetOnMessage(cao::MessageHandler handler) override;

private:
    std::shared_ptr<Link> m_link;
    std::shared_ptr<ControllerState> m_state;
};

}  // namespace bus::client
