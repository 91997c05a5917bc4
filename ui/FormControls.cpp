#include "ui/FormControls.h"

#include "cao/Error.h"
#include "ui/ProgramIcon.h"

#include <QApplication>
#include <QPalette>
#include <QVariant>

namespace ui {

namespace {

constexpr const char* kTagProperty = "tandrelTag";

QColor systemColour(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role);
}

}  // namespace

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

void setTag(QWidget* control, const QString& tag) {
    control->setProperty(kTagProperty, tag);
}

QString tag(const QWidget* control) {
    return control->property(kTagProperty).toString();
}

void setMonitorBackground(QLineEdit* box, bool windowBackground) {
    QPalette palette = box->palette();
    const QColor colour = systemColour(windowBackground ? QPalette::Base : QPalette::Button);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, colour);
    }
    box->setPalette(palette);
}

bool hasWindowBackground(const QLineEdit* box) {
    return box->palette().color(QPalette::Active, QPalette::Base) == systemColour(QPalette::Base);
}

int checkValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        case Qt::Unchecked:
            break;
    }
    return 0;
}

bool isRowTicked(const QListWidget* list, int row) {
    const QListWidgetItem* item = row >= 0 ? list->item(row) : nullptr;
    if (item == nullptr) {
        throw cao::Error(QStringLiteral("The list %1 has no row %2; it has %3 rows.")
                             .arg(list->objectName())
                             .arg(row)
                             .arg(list->count()),
                         cao::code::InvalidArg);
    }
    return item->checkState() == Qt::Checked;
}

}  // namespace ui
