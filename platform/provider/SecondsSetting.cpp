#include "platform/provider/SecondsSetting.h"

#include "cao/Error.h"

#include <cmath>

namespace provider {

namespace {

// A bound longer than a day is a mistake, not a wish.
constexpr double kMaxSeconds = 86400;
constexpr double kMillisecondsPerSecond = 1000;

}  // namespace

std::chrono::milliseconds secondsSetting(const engine::ClientContext& client, const char* name,
                                         std::chrono::milliseconds fallback, bool allowZero) {
    const QString text = client.variable(name).trimmed();
    if (text.isEmpty()) return fallback;
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    const double ms = std::round(seconds * kMillisecondsPerSecond);
    if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > kMaxSeconds ||
        (!allowZero && ms < 1)) {
        throw cao::Error(QStringLiteral("%1=\"%2\" is not a number of seconds from %3 to %4 "
                                        "(e.g. 10 or 0.5)")
                             .arg(QLatin1String(name), text,
                                  allowZero ? QStringLiteral("0") : QStringLiteral("0.001"))
                             .arg(kMaxSeconds),
                         cao::code::InvalidArg);
    }
    return std::chrono::milliseconds(static_cast<long long>(ms));
}

}  // namespace provider
