#include "variables/TypedValues.h"

#include "cao/VariantText.h"
#include "ui/MessageBoxService.h"

#include <array>

namespace variables {

namespace {

// Row i of the value-type list stands for kRowTypes[i].
constexpr std::array<cao::VarType, kTypeIndexCount> kRowTypes = {
    cao::VT_BOOL, cao::VT_UI1, cao::VT_I2,   cao::VT_I4,
    cao::VT_R4,   cao::VT_R8,  cao::VT_DATE, cao::VT_BSTR};

const QString kUnknownDataType = QStringLiteral("Unknown Data Type");

}  // namespace

cao::Variant StrToTypedVar(const QString& text, int16_t typeIndex) {
    return StrToTypedVar(text, typeIndex, QLocale::system());
}

cao::Variant StrToTypedVar(const QString& text, int16_t typeIndex, const QLocale& locale) {
    if (typeIndex < 0 || typeIndex >= kTypeIndexCount) return {};
    return cao::textToVariant(text, kRowTypes[static_cast<size_t>(typeIndex)], locale);
}

int16_t VarTypeToIndex(const cao::Variant& value, ui::MessageBoxService& messageBox) {
    for (int16_t row = 0; row < kTypeIndexCount; ++row) {
        if (value.type() == kRowTypes[static_cast<size_t>(row)]) return row;
    }
    messageBox.show(kUnknownDataType);
    return 0;
}

}  // namespace variables
