#pragma once

#include "platform/engine/Provider.h"
#include "platform/provider/Federate.h"
#include "platform/provider/VariableName.h"

#include <memory>

namespace provider {

// "@CURRENT_TIME", "@ADVANCE_TIME", "@LOOKAHEAD", "@LBTS", "@NEXTEVENT_TIME", "@SYNC_POINT":
// the federate's time and synchronisation points as variables.
class SystemVariable : public engine::ProviderVariable {
public:
    SystemVariable(std::shared_ptr<Federate> federate, SystemName name)
        : m_federate(std::move(federate)), m_name(name) {}

    cao::Variant read() override;
    void write(const cao::Variant& value) override;
    void release() override {}

private:
    void advance(const cao::Variant& value);
    void changeLookahead(const cao::Variant& value);
    void registerSyncPoint(const cao::Variant& value);

    std::shared_ptr<Federate> m_federate;
    SystemName m_name;
};

}  // namespace provider
