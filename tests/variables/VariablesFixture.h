#pragma once

#include "app/WindowFixture.h"

#include <QComboBox>
#include <QListWidget>

// The main window with a controller open on the mocked engine, plus helpers to register
// names through the Add button.
class VariablesTest : public WindowTest {
protected:
    VariablesTest() { open(); }

    // Registers each name through the Add button; the engine accepts unless told otherwise.
    void registerNames(const QStringList& names) {
        for (const QString& name : names) {
            form().cmbVarNames->setEditText(name);
            form().cmdGetVar->click();
        }
    }

    QStringList registeredNames() {
        QStringList names;
        for (int i = 0; i < form().cmbVar->count(); ++i) names << form().cmbVar->itemText(i);
        return names;
    }

    void tick(const std::vector<int>& rows) {
        for (int row : rows) form().lstVarOpt->item(row)->setCheckState(Qt::Checked);
    }

    QString shown() { return messages.shown.join(" | "); }
};
