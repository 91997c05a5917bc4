#include "platform/provider/VariableValue.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"
#include "cao/text/ChangeType.h"
#include "platform/hla/DataCodec.h"
#include "platform/provider/Encoding.h"
#include "platform/provider/Federate.h"
#include "platform/provider/FomReceive.h"
#include "platform/provider/FomWrite.h"
#include "platform/provider/Text.h"

namespace provider {

cao::Variant valueForWrite(const QString& name, bool published, const cao::Variant& value,
                           cao::VarType type, const hla::DataTypes& types,
                           const ValueCoding& coding) {
    if (!published) {
        throw invalid(QStringLiteral("Variable \"%1\" was registered with option 32 (no "
                                     "publishing), so it cannot be written")
                          .arg(name));
    }
    if (!coding.fomType.empty()) checkFomWritable(types, coding.fomType, name);
    return cao::changeType(value, type);
}

hla::Bytes payloadForWrite(const QString& name, const cao::Variant& typed,
                           const hla::DataTypes& types, const ValueCoding& coding) {
    if (coding.fomType.empty()) return encodeValue(typed, coding.bigEndian);
    try {
        return fomBytes(types, coding.fomType, typed);
    } catch (const hla::DataError& e) {
        throw invalid(QStringLiteral("Variable \"%1\" cannot be written as its data type "
                                     "\"%2\": %3")
                          .arg(name, text(coding.fomType), QString::fromStdString(e.what())));
    }
}

cao::Variant receivedValue(const QString& name, const hla::Bytes& payload, cao::VarType type,
                           const hla::DataTypes& types, const ValueCoding& coding) {
    if (coding.fomType.empty()) {
        try {
            return decodeValue(payload, type, coding.bigEndian);
        } catch (const cao::Error& e) {
            throw cao::Error(QStringLiteral("The value received for variable \"%1\" is no %2: %3")
                                 .arg(name, cao::typeName(type), e.description()),
                             e.code());
        }
    }
    const QString fomType = text(coding.fomType);
    hla::DataValue decoded;
    try {
        decoded = hla::decode(types, coding.fomType, payload);
    } catch (const hla::DataError& e) {
        // Each federate encodes by its own description: the likeliest cause is a sender
        // whose description gives the member another data type.
        throw cao::Error(QStringLiteral("The value received for variable \"%1\" is no value of "
                                        "its data type \"%2\": %3; the sending federate's "
                                        "federation description may declare another data "
                                        "type for it")
                             .arg(name, fomType, QString::fromStdString(e.what())),
                         cao::code::TypeMismatch);
    }
    try {
        return fomVariant(types, coding.fomType, decoded, type);
    } catch (const cao::Error& e) {
        throw cao::Error(QStringLiteral("The value received for variable \"%1\", %2 of data type "
                                        "\"%3\", does not convert to %4: %5")
                             .arg(name, QString::fromStdU16String(hla::readableText(decoded)),
                                  fomType, cao::typeName(type), e.description()),
                         e.code());
    }
}

bool takeReceivedValue(Federate& federate, const QString& name, const hla::Bytes& payload,
                       cao::VarType type, const ValueCoding& coding,
                       std::optional<hla::LogicalTime> timestamp, cao::Variant& value) {
    try {
        value = receivedValue(name, payload, type, federate.description().dataTypes, coding);
        return true;
    } catch (const cao::Error& e) {
        federate.raise(cao::contract::message::Failure, cao::Variant::fromString(e.description()),
                       name, timestamp);
        return false;
    }
}

}  // namespace provider
