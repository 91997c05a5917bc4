#pragma once

#include "cao/Cao.h"
#include "platform/engine/ControllerList.h"

#include <memory>

namespace engine {

// The workspace's open controllers; Remove closes one.
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
