#include "platform/provider/VariableValue.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"
#include "cao/text/ChangeType.h"
#include "platform/provider/Encoding.h"
#include "platform/provider/Federate.h"

namespace provider {

cao::Variant valueForWrite(const QString& name, bool published, const cao::Variant& value,
                           cao::VarType type) {
    if (!published) {
        throw cao::Error(QStringLiteral("Variable \"%1\" was registered with option 32 (no "
                                        "publishing), so it cannot be written")
                             .arg(name),
                         cao::code::InvalidArg);
    }
    return cao::changeType(value, type);
}

bool takeReceivedValue(Federate& federate, const QString& name, const hla::Bytes& payload,
                       cao::VarType type, int32_t options,
                       std::optional<hla::LogicalTime> timestamp, cao::Variant& value) {
    try {
        value = decodeValue(payload, type,
                            cao::contract::hasOption(options, cao::contract::option::BigEndian));
        return true;
    } catch (const cao::Error& e) {
        federate.raise(cao::contract::message::Failure,
                       cao::Variant::fromString(
                           QStringLiteral("The value received for variable \"%1\" is no %2: %3")
                               .arg(name, cao::typeName(type), e.description())),
                       name, timestamp);
        return false;
    }
}

}  // namespace provider
