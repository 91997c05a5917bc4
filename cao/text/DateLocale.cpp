#include "cao/text/DateLocale.h"

#include <algorithm>
#include <optional>

namespace cao {

namespace {

// Runs of a pattern letter outside quoted literals, as [start, end) pairs.
template <typename Visit>
void forEachRun(const QString& format, QChar letter, Visit visit) {
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        if (format[i] == QLatin1Char('\'')) quoted = !quoted;
        if (quoted || format[i] != letter) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < format.size() && format[end] == letter) ++end;
        visit(i, end);
        i = end;
    }
}

QString withFourDigitYear(QString format) {
    QList<std::pair<qsizetype, qsizetype>> runs;
    forEachRun(format, QLatin1Char('y'), [&](qsizetype b, qsizetype e) { runs.append({b, e}); });
    for (auto it = runs.crbegin(); it != runs.crend(); ++it) {
        format.replace(it->first, it->second - it->first, QStringLiteral("yyyy"));
    }
    return format;
}

std::optional<std::pair<qsizetype, qsizetype>> firstRun(const QString& format, QChar letter) {
    std::optional<std::pair<qsizetype, qsizetype>> run;
    forEachRun(format, letter, [&](qsizetype b, qsizetype e) {
        if (!run) run = std::pair{b, e};
    });
    return run;
}

// The separator between hours and minutes, e.g. ":" in "h:mm AP" or "." in "H.mm".
QString timeSeparatorOf(const QString& format) {
    auto hour = firstRun(format, QLatin1Char('h'));
    if (!hour) hour = firstRun(format, QLatin1Char('H'));
    const auto minute = firstRun(format, QLatin1Char('m'));
    if (!hour || !minute || minute->first <= hour->second) return QStringLiteral(":");
    return format.mid(hour->second, minute->first - hour->second);
}

QString withSeconds(const QString& format) {
    if (firstRun(format, QLatin1Char('s'))) return format;
    const auto minute = firstRun(format, QLatin1Char('m'));
    if (!minute) return QStringLiteral("HH:mm:ss");
    QString result = format;
    result.insert(minute->second, timeSeparatorOf(format) + QStringLiteral("ss"));
    return result;
}

void addFolded(QStringList& list, const QString& word) {
    const QString folded = foldWord(word);
    if (!folded.isEmpty() && !list.contains(folded)) list.append(folded);
}

DateLocale build(const QLocale& locale) {
    DateLocale info;
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    info.dateFormat = withFourDigitYear(shortDate);
    const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
    info.timeFormat = withSeconds(shortTime);

    QList<std::pair<qsizetype, DateLocale::Field>> fields;
    for (auto [letter, field] : {std::pair{QLatin1Char('d'), DateLocale::Day},
                                 std::pair{QLatin1Char('M'), DateLocale::Month},
                                 std::pair{QLatin1Char('y'), DateLocale::Year}}) {
        if (const auto run = firstRun(shortDate, letter)) fields.append({run->first, field});
    }
    if (fields.size() == 3) {
        std::sort(fields.begin(), fields.end());
        for (int i = 0; i < 3; ++i) info.order[i] = fields[i].second;
    }

    info.dateSeparators = QStringLiteral("/-.");
    for (QChar c : shortDate) {
        if (!c.isLetterOrNumber() && !c.isSpace() && c != QLatin1Char('\'') &&
            !info.dateSeparators.contains(c)) {
            info.dateSeparators += c;
        }
    }
    const QString timeSep = timeSeparatorOf(shortTime);
    if (timeSep.size() == 1 && !info.dateSeparators.contains(timeSep[0]) && !timeSep[0].isSpace()) {
        info.timeSeparator = timeSep[0];
    }

    const QLocale english = QLocale::c();
    for (int month = 1; month <= 12; ++month) {
        for (const QLocale* l : {&locale, &english}) {
            for (auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
                addFolded(info.monthNames[month - 1], l->monthName(month, format));
                addFolded(info.monthNames[month - 1], l->standaloneMonthName(month, format));
            }
        }
    }
    for (int day = 1; day <= 7; ++day) {
        for (const QLocale* l : {&locale, &english}) {
            for (auto format : {QLocale::LongFormat, QLocale::ShortFormat}) {
                addFolded(info.dayNames, l->dayName(day, format));
                addFolded(info.dayNames, l->standaloneDayName(day, format));
            }
        }
    }
    for (const QString& word : {locale.amText(), QStringLiteral("AM"), QStringLiteral("A")}) {
        addFolded(info.amWords, word);
    }
    for (const QString& word : {locale.pmText(), QStringLiteral("PM"), QStringLiteral("P")}) {
        addFolded(info.pmWords, word);
    }
    return info;
}

}  // namespace

QString foldWord(const QString& word) {
    QString folded = word.toCaseFolded();
    while (folded.endsWith(QLatin1Char('.'))) folded.chop(1);
    return folded;
}

const DateLocale& dateLocale(const QLocale& locale) {
    thread_local QLocale cachedLocale = QLocale::c();
    thread_local DateLocale cached = build(cachedLocale);
    if (!(cachedLocale == locale)) {
        cached = build(locale);
        cachedLocale = locale;
    }
    return cached;
}

}  // namespace cao
