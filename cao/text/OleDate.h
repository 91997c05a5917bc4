#pragma once

#include <QDate>
#include <QTime>

namespace cao {

// The OLE date number counts days since 30 Dec 1899 00:00; its fraction is the time of day and
// counts forward within the day also before day 0, so -1.25 is 29 Dec 1899 06:00.
inline constexpr double kOleDateMin = -657434.0;  // 1 Jan 100
inline constexpr double kOleDateMax = 2958465.0;  // 31 Dec 9999

struct OleDateTime {
    QDate date;
    QTime time;  // whole seconds
};

// A finite number whose day lies from 1 Jan 100 to 31 Dec 9999.
bool isValidOleDate(double value) noexcept;

// The calendar day and the time rounded to the nearest second (23:59:59.6 rolls over to the
// next day). Throws cao::Error "Overflow" for a number outside the valid range.
OleDateTime oleDateToDateTime(double value);

// The date number of a day and time; throws "Overflow" for a day outside the valid range.
double oleDateFromDateTime(QDate date, QTime time);

// 30 Dec 1899, day 0.
QDate oleDateEpoch();

}  // namespace cao
