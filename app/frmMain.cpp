#include "app/frmMain.h"

#include "app/HandlerTrap.h"
#include "cao/ProviderContract.h"
#include "cao/TypeRows.h"
#include "ui/MessageBoxService.h"
#include "ui/WidgetState.h"
#include "ui_frmMain.h"

#include <QCloseEvent>
#include <QIcon>

namespace {

const QString kVersionText = QStringLiteral("Tandrel on ORiN  version 1.0");

// The system variable each monitor box shows.
const std::array<const char*, 4> kMonitorTags = {
    cao::contract::variable::kCurrentTime, cao::contract::variable::kLookahead,
    cao::contract::variable::kLbts, cao::contract::variable::kNextEventTime};

std::unique_ptr<Ui::frmMain> buildForm(QWidget* window) {
    auto form = std::make_unique<Ui::frmMain>();
    form->setupUi(window);
    return form;
}

}  // namespace

frmMain::frmMain(ui::MessageBoxService& messageBox, QWidget* parent)
    : QWidget(parent),
      m_ui(buildForm(this)),
      m_controls(*m_ui),
      m_messageBox(messageBox),
      m_caoCtrl([this](cao::MessagePtr message) { m_caoCtrl_OnMessage(message); }),
      m_stateTargets{m_ui->cmdOpen,      m_ui->cmdClose, m_ui->cmdGetVar,
                     m_ui->cmdRelease,   m_ui->cmdPut,   m_ui->cmdGet,
                     m_controls.txtTime, m_ui->cmbVar,   &m_timer1},
      m_lifecycle({m_ui->txtName, m_ui->txtURL, m_ui->cmbTimePoli, m_ui->cmbTimeAdv,
                   m_ui->txtCurTime, m_ui->txtLookah, m_ui->chkAsyncDeli, m_ui->cmbVar},
                  m_caoWs, m_caoCtrl, m_caoVars, [this] { UpdateControlStates(); }),
      m_registration({m_ui->cmbVarNames, m_ui->lstVarOpt, m_ui->cmbVar}, m_caoVars,
                     [this] { UpdateControlStates(); }),
      m_values({m_ui->cmbVar, m_ui->txtPut, m_ui->cmbPutType}, m_caoVars, messageBox),
      m_log({m_ui->chkSync, m_ui->lstMessage}, messageBox),
      m_monitor(m_controls.txtTime, m_caoVars) {
    // Fixed single border: no resizing, no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(size());
    m_timer1.setInterval(1000);
    connectHandlers();
}

frmMain::~frmMain() = default;

void frmMain::connectHandlers() {
    auto trapped = [this](auto handler) {
        return [this, handler] { app::runTrapped(m_messageBox, handler); };
    };
    connect(m_ui->cmdOpen, &QPushButton::clicked, this, trapped([this] { m_lifecycle.open(); }));
    connect(m_ui->cmdClose, &QPushButton::clicked, this, trapped([this] { m_lifecycle.close(); }));
    connect(m_ui->cmdGetVar, &QPushButton::clicked, this,
            trapped([this] { m_registration.add(); }));
    connect(m_ui->cmdRelease, &QPushButton::clicked, this,
            trapped([this] { m_registration.remove(); }));
    connect(m_ui->cmdPut, &QPushButton::clicked, this, trapped([this] { m_values.put(); }));
    connect(m_ui->cmdGet, &QPushButton::clicked, this, trapped([this] { m_values.get(); }));
    connect(m_ui->cmdClear, &QPushButton::clicked, this, [this] { m_log.clear(); });
    connect(m_ui->cmdVer, &QAbstractButton::clicked, this, [this] { cmdVer_Click(); });
    connect(&m_timer1, &QTimer::timeout, this, [this] { m_monitor.tick(); });
}

void frmMain::load(const std::function<cao::EnginePtr()>& createEngine) {
    m_caoEng = createEngine();
    m_caoWs = m_caoEng->Workspaces()->Item(cao::Variant::fromI2(0));
    m_ui->cmbTimePoli->setCurrentIndex(0);
    m_ui->cmbTimeAdv->setCurrentIndex(0);
    m_ui->cmbPutType->setCurrentIndex(cao::kBstrRow);
    for (size_t i = 0; i < kMonitorTags.size(); ++i)
        ui::setTag(m_controls.txtTime[i], kMonitorTags[i]);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing is never refused: a failed close is reported and the window goes anyway.
    app::runTrapped(m_messageBox, [this] { m_lifecycle.close(); });
    event->accept();
    emit unloaded();
}

void frmMain::UpdateControlStates() {
    app::applyControlStates(m_stateTargets, bool(m_caoCtrl));
}

void frmMain::m_caoCtrl_OnMessage(const cao::MessagePtr& message) {
    m_log.OnMessage(message);
}

void frmMain::cmdVer_Click() {
    m_messageBox.show(kVersionText);
}
