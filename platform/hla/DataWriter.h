#pragma once

// Writes one value of a data type as octets, in the layout DataCodec.h describes.

#include "platform/hla/DataLayout.h"
#include "platform/hla/DataTypes.h"
#include "platform/hla/DataValue.h"
#include "platform/hla/Types.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace hla {

// For one value only.
class DataWriter {
public:
    explicit DataWriter(const DataTypes& types) : m_layout(types) {}

    // The octets of the value; throws DataError.
    Bytes whole(std::string_view type, const DataValue& value);

private:
    void write(std::string_view name, const DataValue& value, int depth);
    void padTo(std::size_t start, std::string_view type);
    void number(const DataType& basic, std::string_view name, const DataValue& value);
    void character(std::string_view name, char16_t unit);
    const DataType::Enumerator& enumeratorOf(const DataType& type, const DataValue& value) const;
    void array(const DataType& type, const DataValue& value, int depth);
    void text(const DataType& type, const std::u16string& units);
    void fixedRecord(const DataType& type, const DataValue& value, int depth);
    void variantRecord(const DataType& type, const DataValue& value, int depth);

    DataLayout m_layout;
    Bytes m_out;
};

}  // namespace hla
