#pragma once

#include "platform/engine/Provider.h"
#include "platform/provider/Federate.h"

#include <QString>

#include <memory>

namespace provider {

struct SystemVariableRow;

// One of the provider's system variables ("@CURRENT_TIME", "@SYNC_POINT" …): the federate's
// time and synchronisation points as variables. Each is one row of the table in the source.
class SystemVariable : public engine::ProviderVariable {
public:
    // Throws cao::Error naming the name and listing the system variables when it is none.
    SystemVariable(std::shared_ptr<Federate> federate, const QString& name);

    cao::Variant read() override;
    void write(const cao::Variant& value) override;
    void release() override {}

private:
    std::shared_ptr<Federate> m_federate;
    const SystemVariableRow* m_row;
};

}  // namespace provider
