#include "cao/TypeRows.h"

#include <array>

namespace cao {

namespace {

// Row i of the value-type list stands for kRowTypes[i].
constexpr std::array<VarType, kTypeRowCount> kRowTypes = {VT_BOOL, VT_UI1, VT_I2,   VT_I4,
                                                          VT_R4,   VT_R8,  VT_DATE, VT_BSTR};
static_assert(kRowTypes[kBoolRow] == VT_BOOL && kRowTypes[kUI1Row] == VT_UI1 &&
              kRowTypes[kI2Row] == VT_I2 && kRowTypes[kI4Row] == VT_I4 &&
              kRowTypes[kR4Row] == VT_R4 && kRowTypes[kR8Row] == VT_R8 &&
              kRowTypes[kDateRow] == VT_DATE && kRowTypes[kBstrRow] == VT_BSTR);

const QString kUnknownDataType = QStringLiteral("Unknown Data Type");

}  // namespace

VarType typeOfRow(int16_t row) {
    if (row < 0 || row >= kTypeRowCount) return VT_EMPTY;
    return kRowTypes[static_cast<size_t>(row)];
}

int16_t VarTypeToIndex(const Variant& value, const std::function<void(const QString&)>& report) {
    for (int16_t row = 0; row < kTypeRowCount; ++row) {
        if (value.type() == kRowTypes[static_cast<size_t>(row)]) return row;
    }
    report(kUnknownDataType);
    return kBoolRow;
}

}  // namespace cao
