#include "variables/ValueExchange.h"

#include "cao/TypeRows.h"
#include "cao/text/VariantToText.h"
#include "ui/MessageBoxService.h"
#include "variables/TypedValues.h"
#include "variables/VariableLookup.h"

#include <QComboBox>
#include <QLineEdit>

namespace variables {

namespace {

// QComboBox ignores a row it does not have; the row shown must be the type just read.
void selectTypeRow(QComboBox* list, int16_t row) {
    list->setCurrentIndex(row);
    if (list->currentIndex() != row) {
        throw cao::Error(
            QStringLiteral("The value-type list has no row %1 to show the value's type.").arg(row),
            cao::code::Fail);
    }
}

}  // namespace

ValueExchange::ValueExchange(ValueControls controls, const cao::VariablesPtr& variables,
                             ui::MessageBoxService& messageBox)
    : m_controls(controls), m_caoVars(variables), m_messageBox(messageBox) {}

void ValueExchange::put() {
    const QString text = m_controls.txtPut->text();
    const auto typeIndex = static_cast<int16_t>(m_controls.cmbPutType->currentIndex());
    const QString name = m_controls.cmbVar->currentText();
    // Looked up before converting, so an unknown name is reported ahead of a bad text.
    const cao::VariablePtr variable = lookUpVariable(m_caoVars, name);
    variable->put_Value(StrToTypedVar(text, typeIndex));
}

void ValueExchange::get() {
    const QString name = m_controls.cmbVar->currentText();
    cao::Variant value = lookUpVariable(m_caoVars, name)->get_Value();
    selectTypeRow(m_controls.cmbPutType, cao::VarTypeToIndex(value, [this](const QString& text) {
                      m_messageBox.show(text);
                  }));
    // A date is shown as its day number, so that it can be written back unchanged.
    if (m_controls.cmbPutType->currentIndex() == cao::kDateRow)
        value = cao::Variant::fromR8(value.date());
    m_controls.txtPut->setText(cao::variantToText(value));
}

}  // namespace variables
