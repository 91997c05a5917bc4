#include "ui/FormControls.h"

#include "ui/ProgramIcon.h"
#include "ui/WidgetState.h"

namespace ui {

FormControls::FormControls(Ui::frmMain& f)
    : form(f),
      txtTime{f.txtTime_0, f.txtTime_1, f.txtTime_2, f.txtTime_3},
      lblHLA{f.lblHLA_0,  f.lblHLA_1,  f.lblHLA_2,  f.lblHLA_3,  f.lblHLA_4,
             f.lblHLA_5,  f.lblHLA_6,  f.lblHLA_7,  f.lblHLA_8,  f.lblHLA_9,
             f.lblHLA_10, f.lblHLA_11, f.lblHLA_12, f.lblHLA_13, f.lblHLA_14} {
    // Keep the text the form gives the name field, but with no row of the list chosen.
    const QString name = form.cmbVarNames->currentText();
    form.cmbVarNames->setCurrentIndex(-1);
    form.cmbVarNames->setEditText(name);

    for (QLineEdit* box : txtTime) setMonitorBackground(box, false);

    const QIcon icon = programIcon();
    form.cmdVer->window()->setWindowIcon(icon);
    form.cmdVer->setIcon(icon);
}

}  // namespace ui
