#pragma once

#include "cao/Cao.h"

class QComboBox;
class QLineEdit;

namespace ui {
class MessageBoxService;
}

namespace variables {

struct ValueControls {
    QComboBox* cmbVar = nullptr;
    QLineEdit* txtPut = nullptr;
    QComboBox* cmbPutType = nullptr;
};

// Writing a typed value to the selected variable and reading it back (put_Value and
// get_Value). Both throw on the first failing step and undo nothing.
class ValueExchange {
public:
    ValueExchange(ValueControls controls, const cao::VariablesPtr& variables,
                  ui::MessageBoxService& messageBox);

    void put();
    void get();

private:
    ValueControls m_controls;
    const cao::VariablesPtr& m_caoVars;
    ui::MessageBoxService& m_messageBox;
};

}  // namespace variables
