#pragma once

#include "cao/Cao.h"
#include "cao/EventBoundController.h"

#include <QString>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace controller {

// The controls whose values open a controller, and the list that close empties.
struct ControllerControls {
    QLineEdit* txtName = nullptr;
    QLineEdit* txtURL = nullptr;
    QComboBox* cmbTimePoli = nullptr;
    QComboBox* cmbTimeAdv = nullptr;
    QLineEdit* txtCurTime = nullptr;
    QLineEdit* txtLookah = nullptr;
    QCheckBox* chkAsyncDeli = nullptr;
    QComboBox* cmbVar = nullptr;
};

// The six pairs of the controller option string, in their fixed order; texts verbatim.
QString controllerOptionString(const QString& url, int timePolicy, int timeAdvance,
                               const QString& currentTime, const QString& lookahead,
                               int asyncDelivery);

// Opening and closing the one controller. Both throw on the first failing step and undo
// nothing; the window shows the failure.
class ControllerLifecycle {
public:
    ControllerLifecycle(ControllerControls controls, const cao::WorkspacePtr& workspace,
                        cao::EventBoundController& controller, cao::VariablesPtr& variables,
                        std::function<void()> updateControlStates);

    void open();
    void close();

private:
    ControllerControls m_controls;
    const cao::WorkspacePtr& m_caoWs;
    cao::EventBoundController& m_caoCtrl;
    cao::VariablesPtr& m_caoVars;
    std::function<void()> m_updateControlStates;
};

}  // namespace controller
