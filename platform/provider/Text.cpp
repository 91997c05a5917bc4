#include "platform/provider/Text.h"

#include "platform/hla/Types.h"

namespace provider {

void rethrowAsCaoError(const QString& what) {
    try {
        throw;
    } catch (const cao::Error&) {
        throw;
    } catch (const std::exception& e) {
        throw cao::Error(QStringLiteral("%1: %2").arg(what, QString::fromStdString(e.what())));
    }
}

QString timeText(double time) {
    return QString::fromStdString(hla::formatTime(time));
}

}  // namespace provider
