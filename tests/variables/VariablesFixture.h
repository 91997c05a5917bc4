#pragma once

#include "app/WindowFixture.h"
#include "support/CaoMocks.h"
#include "support/RecordingMessageBox.h"
#include "ui_frmMain.h"

#include <QComboBox>
#include <QListWidget>
#include <QWidget>

#include <memory>

// The main window with a controller open on the mocked engine, plus helpers to register
// names through the Add button: the end-to-end road from a click to the engine.
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

// The form's controls alone, without the window's wiring, and a mocked variable collection:
// for testing a handler by itself.
class FormControlsTest : public ::testing::Test {
protected:
    FormControlsTest() { form.setupUi(&window); }

    QStringList listedNames() {
        QStringList names;
        for (int i = 0; i < form.cmbVar->count(); ++i) names << form.cmbVar->itemText(i);
        return names;
    }

    QWidget window;
    Ui::frmMain form;
    std::shared_ptr<::testing::NiceMock<cao::testing::MockVariables>> mockVariables =
        std::make_shared<::testing::NiceMock<cao::testing::MockVariables>>();
    cao::VariablesPtr caoVariables = mockVariables;
    RecordingMessageBox messages;
};
