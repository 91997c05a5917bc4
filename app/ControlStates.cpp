#include "app/ControlStates.h"

#include "ui/FormControls.h"
#include "ui/WidgetState.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace app {

void applyControlStates(const ControlStateTargets& t, bool open) {
    const bool hasVariables = t.cmbVar->count() != 0;

    t.cmdOpen->setEnabled(!open);
    t.cmdClose->setEnabled(open);
    t.cmdGetVar->setEnabled(open);
    t.cmdRelease->setEnabled(open && hasVariables);
    t.cmdPut->setEnabled(open && hasVariables);
    t.cmdGet->setEnabled(open && hasVariables);

    for (QLineEdit* box : t.txtTime) {
        ui::setMonitorBackground(box, false);
        box->setEnabled(false);
        const QString boxTag = ui::tag(box);
        for (int row = 0, count = t.cmbVar->count(); row < count; ++row) {
            if (t.cmbVar->itemText(row) == boxTag) {
                ui::setMonitorBackground(box, true);
                box->setEnabled(true);
            }
        }
    }

    if (open) {
        if (!t.Timer1->isActive()) t.Timer1->start();
    } else {
        t.Timer1->stop();
    }
}

}  // namespace app
