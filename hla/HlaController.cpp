#include "hla/HlaController.h"

#include "cao/Error.h"
#include "hla/AttributeVariable.h"
#include "hla/ControllerName.h"
#include "hla/FedLocator.h"
#include "hla/InteractionVariable.h"
#include "hla/OptionString.h"
#include "hla/SystemVariable.h"
#include "hla/VariableName.h"
#include "rti/Error.h"

namespace hla {

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// The last federate to leave takes the federation execution with it.
void destroyIfEmpty(rti::RunTime& rt, const std::string& federation) {
    try {
        rt.destroyFederationExecution(federation);
    } catch (const rti::Error& e) {
        if (e.kind() != rti::ErrorKind::FederatesCurrentlyJoined &&
            e.kind() != rti::ErrorKind::FederationExecutionDoesNotExist) {
            throw;
        }
    }
}

void enableTimeManagement(rti::RunTime& rt, rti::FederateHandle self,
                          const ControllerOptions& options) {
    if (options.regulating()) {
        rt.enableTimeRegulation(self, options.currentTime, options.lookahead);
    }
    if (options.constrained()) rt.enableTimeConstrained(self);
    if (options.asynchronousDelivery) rt.enableAsynchronousDelivery(self);
}

}  // namespace

std::unique_ptr<HlaController> HlaController::open(std::shared_ptr<RunTimeHost> host,
                                                   const QString& name, const QString& options,
                                                   engine::ControllerContext& context) {
    // Everything that can be refused is checked before the federation is touched.
    const ControllerName names = parseControllerName(name);
    const ControllerOptions settings = parseControllerOptions(options);
    const QString path = locateFederationDescription(settings.url, descriptionDirectories());
    rti::FederationDescription description = readFederationDescription(path);

    rti::RunTime& rt = host->runTime();
    const QString joining = QStringLiteral("Federate \"%1\" could not join federation \"%2\"")
                                .arg(text(names.federate), text(names.federation));
    rti::FederateHandle self{};
    try {
        if (!rt.federationExecutionExists(names.federation)) {
            rt.createFederationExecution(names.federation, std::move(description));
        }
        self = rt.joinFederationExecution(names.federate, names.federation, settings.currentTime);
    } catch (...) {
        destroyIfEmpty(rt, names.federation);
        rethrowAsCaoError(joining);
    }
    try {
        enableTimeManagement(rt, self, settings);
    } catch (...) {
        try {
            rt.resignFederationExecution(self);
            destroyIfEmpty(rt, names.federation);
        } catch (const rti::Error&) {
            // The refusal of the time setup is the error to report; resigning is best effort.
        }
        rethrowAsCaoError(joining);
    }
    auto federate = std::make_shared<Federate>(std::move(host), self, context, names.federation,
                                               settings.timeAdvance);
    std::unique_ptr<HlaController> controller(new HlaController(federate, context));
    federate->raise(
        0,
        cao::Variant::fromString(QStringLiteral("Joined federation \"%1\" as federate \"%2\"")
                                     .arg(text(names.federation), text(names.federate))),
        name);
    // Announcements of open synchronisation points may already wait.
    if (rt.pendingCallbackCount(self) > 0) controller->m_pump->wake();
    return controller;
}

HlaController::HlaController(std::shared_ptr<Federate> federate, engine::ControllerContext& context)
    : m_federate(std::move(federate)), m_pump(std::make_shared<CallbackPump>(m_federate, context)) {
    std::weak_ptr<CallbackPump> pump = m_pump;
    m_federate->host().setWaker(m_federate->handle(), [pump] {
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
    m_pump->stop();
    m_federate->host().removeWaker(m_federate->handle());
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

void HlaController::close() {
    if (!m_federate->isOpen()) return;
    Federate& f = *m_federate;
    rti::RunTime& rt = f.runTime();
    // Objects and declarations first; whatever of them is refused here, resigning deletes
    // or releases in the same way.
    std::vector<std::string> objects;
    for (const auto& entry : f.registered) objects.push_back(entry.first);
    for (const std::string& object : objects) {
        try {
            letGoOfObject(f, object);
        } catch (const rti::Error&) {
        }
    }
    try {
        f.declarations().withdrawAll();
    } catch (const rti::Error&) {
    }
    try {
        rt.resignFederationExecution(f.handle(),
                                     rti::ResignAction::DeleteObjectsAndReleaseAttributes);
    } catch (...) {
        rethrowAsCaoError(QStringLiteral("Federate could not resign from federation \"%1\"")
                              .arg(text(f.federationName())));
    }
    f.markClosed();
    m_pump->stop();
    f.host().removeWaker(f.handle());
    destroyIfEmpty(rt, f.federationName());
}

}  // namespace hla
