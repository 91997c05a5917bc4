#include "platform/bus/client/VariableProxy.h"

namespace bus::client {

VariableProxy::VariableProxy(std::shared_ptr<Link> link,
                             std::shared_ptr<ControllerState> controller, QString path,
                             QString name)
    : m_link(std::move(link)),
      m_controller(std::move(controller)),
      m_path(std::move(path)),
      m_name(std::move(name)) {}

template <typename Work>
auto VariableProxy::guarded(Work work) {
    m_controller->requireOpen();
    try {
        return work();
    } catch (const UnknownObject&) {
        throw cao::Error(QStringLiteral("Variable \"%1\" is no longer registered").arg(m_name));
    }
}

cao::Variant VariableProxy::get_Value() {
    return guarded([&] { return m_link->getValue(m_controller->owner, m_path); });
}

void VariableProxy::put_Value(const cao::Variant& value) {
    guarded([&] { m_link->putValue(m_controller->owner, m_path, value); });
}

}  // namespace bus::client
