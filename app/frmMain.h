#pragma once

#include "app/ControlStates.h"
#include "cao/Cao.h"
#include "cao/EventBoundController.h"
#include "controller/ControllerLifecycle.h"
#include "messages/MessageLog.h"
#include "monitor/TimeMonitor.h"
#include "ui/FormControls.h"
#include "variables/ValueExchange.h"
#include "variables/VariableRegistration.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class frmMain;
}
namespace ui {
class MessageBoxService;
}

// The main window. It holds the four references into the engine and wires each control's
// event to the subsystem that handles it.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(ui::MessageBoxService& messageBox, QWidget* parent = nullptr);
    ~frmMain() override;

    // Creates the engine and takes its default workspace; throws cao::Error when either
    // fails, and then the window must not be shown.
    void load(const std::function<cao::EnginePtr()>& createEngine);

    Ui::frmMain& form() { return *m_ui; }
    QTimer& timer() { return m_timer1; }
    const cao::ControllerPtr& controller() const { return m_caoCtrl.get(); }
    const cao::VariablesPtr& variables() const { return m_caoVars; }

signals:
    // The window has run its close operation (and any box it showed has been dismissed) and
    // is going: the program ends here.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void UpdateControlStates();
    void m_caoCtrl_OnMessage(const cao::MessagePtr& message);
    void cmdVer_Click();
    void connectHandlers();

    std::unique_ptr<Ui::frmMain> m_ui;
    ui::FormControls m_controls;
    ui::MessageBoxService& m_messageBox;
    QTimer m_timer1;

    cao::EnginePtr m_caoEng;
    cao::WorkspacePtr m_caoWs;
    cao::EventBoundController m_caoCtrl;
    cao::VariablesPtr m_caoVars;

    app::ControlStateTargets m_stateTargets;
    controller::ControllerLifecycle m_lifecycle;
    variables::VariableRegistration m_registration;
    variables::ValueExchange m_values;
    messages::MessageLog m_log;
    monitor::TimeMonitor m_monitor;
};
