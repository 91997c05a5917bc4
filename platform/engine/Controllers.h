#pragma once

#include "cao/Cao.h"
#include "platform/engine/ControllerState.h"
#include "platform/engine/Dispatcher.h"
#include "platform/engine/ProviderRegistry.h"

#include <vector>

namespace engine {

// The open controllers of the one workspace, in the order they were opened.
class ControllerList {
public:
    std::vector<std::shared_ptr<ControllerState>> items;

    int32_t indexOf(const ControllerState& state) const;
    std::shared_ptr<ControllerState> at(int32_t index) const;
    bool contains(const QString& name) const;
};

class Controller : public cao::CaoController {
public:
    Controller(std::shared_ptr<ControllerState> state, std::shared_ptr<ControllerList> list)
        : m_state(std::move(state)), m_list(std::move(list)) {}
    QString Name() override { return m_state->name; }
    int32_t Index() override;
    cao::VariablesPtr Variables() override;
    void SetOnMessage(cao::MessageHandler handler) override;

private:
    std::shared_ptr<ControllerState> m_state;
    std::shared_ptr<ControllerList> m_list;
};

class Controllers : public cao::CaoControllers {
public:
    explicit Controllers(std::shared_ptr<ControllerList> list) : m_list(std::move(list)) {}
    int32_t Count() override { return static_cast<int32_t>(m_list->items.size()); }
    cao::ControllerPtr Item(const cao::Variant& index) override;
    void Remove(const cao::Variant& index) override;

private:
    std::shared_ptr<ControllerList> m_list;
};

}  // namespace engine
