#include "ui/WidgetState.h"

#include "cao/Error.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QVariant>

namespace ui {

namespace {

constexpr const char* kTagProperty = "tandrelTag";

QColor systemColour(QPalette::ColorRole role) {
    return QApplication::palette().color(QPalette::Active, role);
}

}  // namespace

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
