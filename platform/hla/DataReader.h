#pragma once

// Reads one value of a data type from octets, in the layout DataCodec.h describes.

#include "platform/hla/DataLayout.h"
#include "platform/hla/DataTypes.h"
#include "platform/hla/DataValue.h"
#include "platform/hla/Types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hla {

// Reads value after value, keeping count of the elements and fields so that no payload can
// make it build more than kMaxDataValues of them. For one payload only.
class DataReader {
public:
    DataReader(const DataTypes& types, const Bytes& bytes) : m_layout(types), m_bytes(bytes) {}

    // The value the octets hold, all of them; throws DataError.
    DataValue whole(std::string_view type);

private:
    std::size_t remaining() const { return m_bytes.size() - m_pos; }
    void need(std::size_t n, const std::string& what) const;
    void skipPadding(std::size_t start, std::string_view type);
    void counted(std::string_view type);
    [[noreturn]] void tooMany(std::string_view type) const;
    std::uint64_t bits(const DataType& basic, std::string_view type);

    DataValue read(std::string_view name, int depth);
    DataValue number(const DataType& basic, std::string_view name);
    DataValue enumerator(const DataType& type);
    DataValue array(const DataType& type, int depth);
    DataValue text(const DataType& type, std::size_t count);
    DataValue fixedRecord(const DataType& type, int depth);
    DataValue variantRecord(const DataType& type, int depth);

    DataLayout m_layout;
    const Bytes& m_bytes;
    std::size_t m_pos = 0;
    std::size_t m_values = 0;
};

}  // namespace hla
