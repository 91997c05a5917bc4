#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace cao {

// What date texts need from a locale, worked out once per locale.
struct DateLocale {
    enum Field { Day, Month, Year };

    QString dateFormat;  // short date, four-digit year
    QString timeFormat;  // short time with seconds
    Field order[3] = {Month, Day, Year};
    QString dateSeparators;        // characters allowed between the parts of a date
    QChar timeSeparator;           // the locale's, when it cannot be mistaken for a date's
    QStringList monthNames[12];    // the locale's and English, long and short, folded case
    QStringList dayNames;          // folded case
    QStringList amWords, pmWords;  // folded case
};

// The data for `locale`; the last one used is kept per thread.
const DateLocale& dateLocale(const QLocale& locale);

// Folded case without a trailing period, to compare words such as "Jan." and "jan".
QString foldWord(const QString& word);

}  // namespace cao
