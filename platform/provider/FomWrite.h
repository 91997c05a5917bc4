#pragma once

// What a write sends for a variable whose parameter or attribute has a FOM data type: its
// value converted to that type and encoded as the FOM lays it out (docs/encoding.md).

#include "cao/Variant.h"
#include "platform/hla/DataTypes.h"
#include "platform/hla/DataValue.h"
#include "platform/hla/Types.h"

#include <QLocale>
#include <QString>

#include <string_view>

namespace provider {

// Throws cao::Error naming the variable when values of the type cannot be written: it is not
// defined, or has no variant of its own (a record, an array of other than characters).
void checkFomWritable(const hla::DataTypes& types, std::string_view type, const QString& variable);

// `value`, of one of the eight types, as a value of the type; throws cao::Error "Type
// mismatch" or "Overflow".
hla::DataValue fomValue(const hla::DataTypes& types, std::string_view type,
                        const cao::Variant& value, const QLocale& locale = QLocale::system());

// fomValue, encoded; also throws hla::DataError when the description's type cannot carry it
// (an enumerator beyond its representation's range).
hla::Bytes fomBytes(const hla::DataTypes& types, std::string_view type, const cao::Variant& value,
                    const QLocale& locale = QLocale::system());

}  // namespace provider
