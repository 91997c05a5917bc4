#include "monitor/TimeMonitor.h"

#include "cao/Error.h"
#include "cao/text/VariantToText.h"
#include "ui/WidgetState.h"

#include <QLineEdit>

namespace monitor {

namespace {

const QString kNotAvailable = QStringLiteral("n/a");

QString readAsText(const cao::VariablesPtr& variables, const QString& name) {
    if (!variables) {
        throw cao::Error(
            QStringLiteral("No controller is open, so \"%1\" cannot be read.").arg(name));
    }
    const cao::VariablePtr variable = variables->Item(cao::Variant::fromString(name));
    if (!variable)
        throw cao::Error(QStringLiteral("The engine gave no variable \"%1\".").arg(name));
    return cao::variantToText(variable->get_Value());
}

}  // namespace

TimeMonitor::TimeMonitor(std::array<QLineEdit*, 4> txtTime, const cao::VariablesPtr& variables)
    : m_txtTime(txtTime), m_caoVars(variables) {}

void TimeMonitor::tick() {
    for (QLineEdit* box : m_txtTime) {
        if (!box->isEnabled()) continue;
        QString text;
        try {
            text = readAsText(m_caoVars, ui::tag(box));
        } catch (...) {
            // Shown, not reported: the next tick reads the box again from scratch.
            text = kNotAvailable;
        }
        box->setText(text);
    }
}

}  // namespace monitor
