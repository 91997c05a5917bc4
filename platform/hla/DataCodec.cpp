#include "platform/hla/DataCodec.h"

#include "platform/hla/DataReader.h"
#include "platform/hla/DataWriter.h"

namespace hla {

DataValue decode(const DataTypes& types, std::string_view type, const Bytes& bytes) {
    return DataReader(types, bytes).whole(type);
}

Bytes encode(const DataTypes& types, std::string_view type, const DataValue& value) {
    return DataWriter(types).whole(type, value);
}

}  // namespace hla
