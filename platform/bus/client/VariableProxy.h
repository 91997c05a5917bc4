#pragma once

#include "cao/Cao.h"
#include "platform/bus/client/ControllerState.h"
#include "platform/bus/client/Link.h"

#include <memory>

namespace bus::client {

// A registered variable of a controller in the engine.
class VariableProxy : public cao::CaoVariable {
public:
    VariableProxy(std::shared_ptr<Link> link, std::shared_ptr<ControllerState> controller,
                  QString path, QString name);
    QString Name() override { return m_name; }
    cao::Variant get_Value() override;
    void put_Value(const cao::Variant& value) override;

private:
    // Runs work, a variable gone from the engine told by its name.
    template <typename Work>
    auto guarded(Work work);

    std::shared_ptr<Link> m_link;
    std::shared_ptr<ControllerState> m_controller;
    QString m_path;
    QString m_name;
};

}  // namespace bus::client
