#include "cao/text/DateFormat.h"
#include "cao/text/DateLocale.h"
#include "cao/text/OleDate.h"

namespace cao {

QString formatOleDate(double value, const QLocale& locale) {
    const OleDateTime moment = oleDateToDateTime(value);
    const DateLocale& info = dateLocale(locale);
    if (moment.date == oleDateEpoch()) return locale.toString(moment.time, info.timeFormat);
    const QString date = locale.toString(moment.date, info.dateFormat);
    if (moment.time == QTime(0, 0)) return date;
    return date + QLatin1Char(' ') + locale.toString(moment.time, info.timeFormat);
}

}  // namespace cao
