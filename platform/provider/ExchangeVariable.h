#pragma once

#include "platform/engine/Provider.h"
#include "platform/provider/Federate.h"
#include "platform/provider/VariableValue.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace provider {

// What an interaction parameter and an object attribute share: the value and its type, the
// declarations, the write path (convert, encode, send) and the receive path (decode, keep,
// raise). A kind adds how it sends and what it declares.
class ExchangeVariable : public engine::ProviderVariable {
public:
    cao::Variant read() override { return m_value; }
    void write(const cao::Variant& value) override;
    void release() override;

    const QString& name() const { return m_name; }

protected:
    ExchangeVariable(std::shared_ptr<Federate> federate, const QString& name, cao::VarType type,
                     int32_t options);

    // Runs the declaration steps; on a refusal withdraws what they did and throws
    // "Variable "X" could not be registered: <reason>".
    void declare(const std::function<void()>& steps);
    // Takes a received payload: a value of the type is kept and, unless silent, raised as
    // message number; anything else raises message -1.
    void take(const hla::Bytes& payload, std::optional<hla::LogicalTime> timestamp, int32_t number,
              bool silent);

    // Sends the encoded value; throws what the run-time throws.
    virtual void send(const hla::Bytes& payload) = 0;
    // How a refused send is described, e.g. "could not be sent".
    virtual QString sendFailure() const = 0;
    // Undoes what declare did; throws what the run-time throws.
    virtual void withdraw() = 0;
    // Leaves the federate's list of receivers.
    virtual void detach() = 0;

    Federate& federate() { return *m_federate; }
    bool hasOption(int32_t bit) const { return (m_options & bit) != 0; }
    // The data type the description declares for the parameter or attribute; empty for none.
    void setFomType(std::string type) { m_fomType = std::move(type); }

    std::shared_ptr<Federate> m_federate;
    bool m_published = false;
    bool m_subscribed = false;

private:
    QString m_name;
    cao::VarType m_type;
    int32_t m_options;
    std::string m_fomType;
    cao::Variant m_value;

    ValueCoding coding() const;
};

}  // namespace provider
