#pragma once

#include <QLocale>
#include <QString>

namespace cao {

// The locale's short date with a four-digit year and its time with seconds: the time alone on
// day 0 (30 Dec 1899), the date alone at midnight, otherwise both (en_US: 1/2/1900 8:09:36 AM).
// Throws cao::Error "Overflow" for a number outside the valid date range.
QString formatOleDate(double value, const QLocale& locale);

}  // namespace cao
