#include "controller/ControllerLifecycle.h"

#include "cao/ProviderContract.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace controller {

QString controllerOptionString(const QString& url, int timePolicy, int timeAdvance,
                               const QString& currentTime, const QString& lookahead,
                               int asyncDelivery) {
    return QStringLiteral("URL=") + url + QStringLiteral(", TimePoli=") +
           QString::number(timePolicy) + QStringLiteral(", TimeAdv=") +
           QString::number(timeAdvance) + QStringLiteral(", CurTime=") + currentTime +
           QStringLiteral(", LookAhead=") + lookahead + QStringLiteral(", AsyncDeli=") +
           QString::number(asyncDelivery);
}

ControllerLifecycle::ControllerLifecycle(ControllerControls controls,
                                         const cao::WorkspacePtr& workspace,
                                         cao::EventBoundController& controller,
                                         cao::VariablesPtr& variables,
                                         std::function<void()> updateControlStates)
    : m_controls(controls),
      m_caoWs(workspace),
      m_caoCtrl(controller),
      m_caoVars(variables),
      m_updateControlStates(std::move(updateControlStates)) {}

void ControllerLifecycle::open() {
    const QString url = m_controls.txtURL->text();
    const int timePolicy = m_controls.cmbTimePoli->currentIndex();
    const int timeAdvance = m_controls.cmbTimeAdv->currentIndex();
    const QString currentTime = m_controls.txtCurTime->text();
    const QString lookahead = m_controls.txtLookah->text();
    const int asyncDelivery = m_controls.chkAsyncDeli->checkState() == Qt::Checked ? 1 : 0;
    const QString options =
        controllerOptionString(url, timePolicy, timeAdvance, currentTime, lookahead, asyncDelivery);
    const QString name = m_controls.txtName->text();

    m_caoCtrl.set(m_caoWs->AddController(name, QLatin1String(cao::contract::kProviderId), QString(),
                                         options));
    m_caoVars = m_caoCtrl->Variables();
    m_updateControlStates();
}

void ControllerLifecycle::close() {
    m_caoVars.reset();
    if (m_caoCtrl) {
        cao::ControllersPtr controllers = m_caoWs->Controllers();
        const int32_t index = m_caoCtrl->Index();
        controllers->Remove(cao::Variant::fromI4(index));
        m_caoCtrl.clear();
    }
    m_controls.cmbVar->clear();
    m_updateControlStates();
}

}  // namespace controller
