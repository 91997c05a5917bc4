#include "platform/provider/HlaController.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"
#include "platform/provider/AttributeVariable.h"
#include "platform/provider/ControllerName.h"
#include "platform/provider/FedLocator.h"
#include "platform/provider/InteractionVariable.h"
#include "platform/provider/OptionString.h"
#include "platform/provider/RunTimeChoice.h"
#include "platform/provider/SecondsSetting.h"
#include "platform/provider/SystemVariable.h"
#include "platform/provider/Text.h"
#include "platform/provider/VariableName.h"

namespace provider {

namespace {

void enableTimeManagement(links::RunTimeLink& link, const ControllerOptions& options) {
    if (options.regulating()) link.enableTimeRegulation(options.currentTime, options.lookahead);
    if (options.constrained()) link.enableTimeConstrained();
    if (options.asynchronousDelivery) link.enableAsynchronousDelivery();
}

}  // namespace

std::unique_ptr<HlaController> HlaController::open(std::shared_ptr<links::RunTimeHost> host,
                                                   const QString& name, const QString& options,
                                                   engine::ControllerContext& context) {
    // Everything that can be refused is checked before the federation is touched.
    const ControllerName names = parseControllerName(name);
    const ControllerOptions settings = parseControllerOptions(options);
    const QStringList modules = locateFederationModules(settings.url, context.client());
    hla::FederationDescription description = readFederationDescription(modules);
    const RunTimeChoice choice = runTimeChoiceFor(context.client());

    const QString joining = QStringLiteral("Federate \"%1\" could not join federation \"%2\"")
                                .arg(text(names.federate), text(names.federation));
    std::unique_ptr<links::RunTimeLink> link;
    try {
        link = joinRunTime(choice, std::move(host), names.federation, names.federate, modules,
                           std::move(description), settings.currentTime);
    } catch (...) {
        rethrowAsCaoError(joining);
    }
    try {
        enableTimeManagement(*link, settings);
    } catch (...) {
        try {
            link->resign();
        } catch (const std::exception&) {
            // The refusal of the time setup is the error to report; resigning is best effort.
        }
        rethrowAsCaoError(joining);
    }
    const std::chrono::milliseconds waitBound = secondsSetting(
        context.client(), cao::contract::environment::kWaitReport, WaitWatch::kDefaultBound, true);
    auto federate = std::make_shared<Federate>(std::move(link), context, names.federation,
                                               settings.advancePolicy(), names.federate);
    federate->setConstrained(settings.constrained());
    std::unique_ptr<HlaController> controller(new HlaController(federate, context, waitBound));
    federate->raise(
        cao::contract::message::Notice,
        cao::Variant::fromString(QStringLiteral("Joined federation \"%1\" as federate \"%2\"")
                                     .arg(text(names.federation), text(names.federate))),
        name);
    // Announcements of open synchronisation points may already wait.
    if (federate->link().callbacksPending()) controller->m_pump->wake();
    controller->m_pump->start();
    controller->m_waits.start();
    return controller;
}

HlaController::HlaController(std::shared_ptr<Federate> federate, engine::ControllerContext& context,
                             std::chrono::milliseconds waitBound)
    : m_federate(std::move(federate)),
      m_pump(std::make_shared<CallbackPump>(m_federate, context)),
      m_waits(m_federate, waitBound) {
    std::weak_ptr<CallbackPump> pump = m_pump;
    m_federate->link().setWaker([pump] {
        if (const auto p = pump.lock()) p->wake();
    });
}

HlaController::~HlaController() {
    if (m_federate->isOpen()) {
        try {
            close();
        } catch (const std::exception&) {
            // Dropped without Remove (the engine went away): nobody is left to tell.
        }
    }
    m_waits.stop();
    m_pump->stop();
    m_federate->link().setWaker({});
}

std::unique_ptr<engine::ProviderVariable> HlaController::addVariable(const QString& name,
                                                                     int32_t option) {
    const VariableName parsed = parseVariableName(name);
    switch (parsed.kind) {
        case VariableKind::System:
            return std::make_unique<SystemVariable>(m_federate, parsed.system);
        case VariableKind::Interaction:
            return std::make_unique<InteractionVariable>(m_federate, name, parsed, option);
        case VariableKind::Attribute:
            break;
    }
    return std::make_unique<AttributeVariable>(m_federate, name, parsed, option);
}

void HlaController::lose(const QString& fault) {
    if (!m_federate->isOpen()) return;
    try {
        m_federate->link().reportLost(fault.toStdString());
    } catch (const std::exception&) {
        // Told or not, the federate resigns below, and that is what the others must see.
    }
    close();
}

void HlaController::close() {
    if (!m_federate->isOpen()) return;
    Federate& f = *m_federate;
    // Objects and declarations first; whatever of them is refused here, resigning deletes
    // or releases in the same way.
    for (const std::string& object : f.registeredObjectNames()) {
        try {
            letGoOfObject(f, object);
        } catch (const std::exception&) {
        }
    }
    try {
        f.declarations().withdrawAll();
    } catch (const std::exception&) {
    }
    try {
        f.link().resign();
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("Federate could not resign from federation \"%1\"")
                              .arg(text(f.federationName())));
    }
    f.markClosed();
    m_waits.stop();
    m_pump->stop();
    f.link().setWaker({});
}

}  // namespace provider
