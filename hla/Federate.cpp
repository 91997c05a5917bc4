#include "hla/Federate.h"

#include "cao/Error.h"
#include "rti/Error.h"

namespace hla {

Federate::Federate(std::shared_ptr<RunTimeHost> host, rti::FederateHandle handle,
                   engine::ControllerContext& context, std::string federationName,
                   int timeAdvancePolicy)
    : timeAdvance(timeAdvancePolicy),
      m_host(std::move(host)),
      m_handle(handle),
      m_context(context),
      m_federationName(std::move(federationName)),
      m_description(m_host->runTime().description(handle)),
      m_declarations(m_host->runTime(), handle) {
    lastGranted = logicalTime();
}

void Federate::raise(int32_t number, cao::Variant value, const QString& source,
                     std::optional<double> timestamp, std::function<void()> acknowledge) {
    if (!m_open) return;
    engine::MessageData message;
    message.number = number;
    message.value = std::move(value);
    message.time = cao::Variant::fromR8(timestamp ? *timestamp : logicalTime());
    message.source = source;
    message.acknowledge = std::move(acknowledge);
    m_context.raise(std::move(message));
}

void rethrowAsCaoError(const QString& what) {
    try {
        throw;
    } catch (const cao::Error&) {
        throw;
    } catch (const rti::Error& e) {
        throw cao::Error(QStringLiteral("%1: %2").arg(what, QString::fromStdString(e.what())));
    }
}

QString timeText(double time) {
    return QString::fromStdString(rti::formatTime(time));
}

std::optional<rti::LogicalTime> Federate::sendTime(rti::Order order) {
    rti::RunTime& rt = runTime();
    if (order != rti::Order::Timestamp || !rt.isTimeRegulating(m_handle)) return std::nullopt;
    return rt.queryFederateTime(m_handle) + rt.queryLookahead(m_handle);
}

}  // namespace hla
