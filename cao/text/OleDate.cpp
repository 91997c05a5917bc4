#include "cao/text/OleDate.h"

#include "cao/Error.h"

#include <cmath>
#include <cstdint>

namespace cao {

namespace {
constexpr int64_t kSecondsPerDay = 86400;
}

QDate oleDateEpoch() {
    return QDate(1899, 12, 30);
}

bool isValidOleDate(double value) noexcept {
    // The day is the number truncated towards zero, so -657434.9 is still 1 Jan 100.
    return std::isfinite(value) && value > kOleDateMin - 1.0 && value < kOleDateMax + 1.0;
}

OleDateTime oleDateToDateTime(double value) {
    if (!isValidOleDate(value)) throw Error::overflow();
    const double dayPart = std::trunc(value);
    int64_t day = static_cast<int64_t>(dayPart);
    int64_t seconds = std::llround(std::fabs(value - dayPart) * double(kSecondsPerDay));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++day;  // the next calendar day, whichever side of day 0
    }
    const int secs = static_cast<int>(seconds);
    return {oleDateEpoch().addDays(day), QTime(secs / 3600, secs / 60 % 60, secs % 60)};
}

double oleDateFromDateTime(QDate date, QTime time) {
    const int64_t day = oleDateEpoch().daysTo(date);
    if (!date.isValid() || day < int64_t(kOleDateMin) || day > int64_t(kOleDateMax)) {
        throw Error::overflow();
    }
    const double fraction =
        time.isValid() ? double(time.msecsSinceStartOfDay()) / (1000.0 * kSecondsPerDay) : 0.0;
    return day < 0 ? double(day) - fraction : double(day) + fraction;
}

}  // namespace cao
