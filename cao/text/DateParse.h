#pragma once

#include <QLocale>
#include <QString>

namespace cao {

// Reads the locale's numeric dates (order from its short date format), ISO 8601
// (2013-05-14 02:04:12 or with T), dates with month names (2 Jan 1970, Jan 2, 1970), day names,
// and times h:mm[:ss] with the locale's or the English AM/PM. A time alone lies on day 0.
// Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999; a date without a year is in the
// current year. Throws "Type mismatch" for text that is not such a date.
double parseOleDate(const QString& text, const QLocale& locale);

}  // namespace cao
