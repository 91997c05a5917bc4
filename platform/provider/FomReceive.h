#pragma once

// What a receipt keeps for a variable whose parameter or attribute has a FOM data type: the
// decoded value as the variable's type (docs/encoding.md).

#include "cao/Variant.h"
#include "platform/hla/DataTypes.h"
#include "platform/hla/DataValue.h"

#include <QLocale>

#include <string_view>

namespace provider {

// A decoded value of the type as a variant of `target`, one of the eight types: integers
// exact, reals as VT_R4 or VT_R8, HLAboolean as VT_BOOL, characters and strings as text, an
// enumerator by its name for VT_BSTR and by its value otherwise, anything else as its
// readable text; then converted as variants convert. Throws cao::Error "Type mismatch" or
// "Overflow".
cao::Variant fomVariant(const hla::DataTypes& types, std::string_view type,
                        const hla::DataValue& value, cao::VarType target,
                        const QLocale& locale = QLocale::system());

}  // namespace provider
