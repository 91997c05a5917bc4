#include "platform/provider/OptionString.h"

#include "cao/Error.h"
#include "platform/provider/Text.h"

#include <QRegularExpression>

#include <array>
#include <cmath>
#include <optional>

namespace provider {

namespace {

enum Key { Url, TimePoli, TimeAdv, CurTime, LookAhead, AsyncDeli, KeyCount };

constexpr std::array<const char*, KeyCount> kKeyNames = {"URL",     "TimePoli",  "TimeAdv",
                                                         "CurTime", "LookAhead", "AsyncDeli"};

const QString kKnownKeys =
    QStringLiteral("URL, TimePoli, TimeAdv, CurTime, LookAhead and AsyncDeli");

qsizetype skipBlanks(const QString& text, qsizetype pos) {
    while (pos < text.size() && text[pos].isSpace()) ++pos;
    return pos;
}

struct KeyMatch {
    Key key;
    qsizetype valueStart;
};

// A known key, blanks around it allowed, followed by "=" at pos.
std::optional<KeyMatch> keyAt(const QString& text, qsizetype pos) {
    pos = skipBlanks(text, pos);
    for (int k = 0; k < KeyCount; ++k) {
        const QLatin1String name(kKeyNames[static_cast<size_t>(k)]);
        if (QStringView(text).mid(pos, name.size()).compare(name, Qt::CaseInsensitive) != 0) {
            continue;
        }
        const qsizetype after = skipBlanks(text, pos + name.size());
        if (after < text.size() && text[after] == QLatin1Char('=')) {
            return KeyMatch{static_cast<Key>(k), after + 1};
        }
    }
    return std::nullopt;
}

[[noreturn]] void failUnknownKey(const QString& key) {
    throw invalid(QStringLiteral("The option string has the unknown key \"%1\"; the keys are %2")
                      .arg(key, kKnownKeys));
}

// Something that is no known key stands where a key must: name it as well as we can.
[[noreturn]] void failNoKey(const QString& text, qsizetype pos) {
    const QString rest = text.mid(pos);
    const qsizetype equals = rest.indexOf(QLatin1Char('='));
    const qsizetype comma = rest.indexOf(QLatin1Char(','));
    if (equals >= 0 && (comma < 0 || equals < comma)) failUnknownKey(rest.left(equals).trimmed());
    throw invalid(QStringLiteral("The option string \"%1\" is not a list of Key=Value pairs: "
                                 "\"%2\" has no key; the keys are %3")
                      .arg(text, rest.left(comma < 0 ? rest.size() : comma).trimmed(), kKnownKeys));
}

// A value holds commas only as data; ", Name=" inside one is a key we do not know.
void rejectEmbeddedKey(const QString& value) {
    static const QRegularExpression embedded(QStringLiteral(R"(,\s*([A-Za-z_][A-Za-z0-9_]*)\s*=)"));
    const auto match = embedded.match(value);
    if (match.hasMatch()) failUnknownKey(match.captured(1));
}

QString keyName(Key key) {
    return QLatin1String(kKeyNames[static_cast<size_t>(key)]);
}

int integerValue(Key key, const QString& value, int highest, const QString& meaning) {
    static const QRegularExpression digits(QStringLiteral(R"(^\+?[0-9]{1,9}$)"));
    const bool isInteger = digits.match(value).hasMatch();
    const int number = isInteger ? value.toInt() : -1;
    if (!isInteger || number > highest) {
        throw invalid(QStringLiteral("The option %1=%2 is not valid: %1 (%3) must be a whole "
                                     "number from 0 to %4")
                          .arg(keyName(key), value, meaning)
                          .arg(highest));
    }
    return number;
}

double timeValue(Key key, const QString& value) {
    double result = 0;
    if (!parseTimeText(value, result)) {
        throw invalid(QStringLiteral("The option %1=%2 is not valid: %1 must be a number, with "
                                     "\".\" or \",\" as the decimal mark (for example 0.5, "
                                     "1,5 or 1e3)")
                          .arg(keyName(key), value));
    }
    return result;
}

}  // namespace

bool parseTimeText(const QString& text, double& result) {
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)([eE][+-]?[0-9]+)?$)"));
    if (!number.match(text).hasMatch()) return false;
    QString plain = text;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return false;
    result = value == 0 ? 0 : value;  // no negative zero
    return true;
}

ControllerOptions parseControllerOptions(const QString& text) {
    std::array<std::optional<QString>, KeyCount> values;
    qsizetype pos = 0;
    if (text.trimmed().isEmpty()) {
        throw invalid(
            QStringLiteral("The option string is empty; it needs at least "
                           "URL= and the federation description file"));
    }
    while (pos <= text.size()) {
        const auto match = keyAt(text, pos);
        if (!match) failNoKey(text, pos);
        qsizetype end = match->valueStart;
        while ((end = text.indexOf(QLatin1Char(','), end)) >= 0 && !keyAt(text, end + 1)) ++end;
        if (end < 0) end = text.size();
        const QString value = text.mid(match->valueStart, end - match->valueStart).trimmed();
        auto& slot = values[static_cast<size_t>(match->key)];
        if (slot) {
            throw invalid(QStringLiteral("The option %1 is given twice (\"%2\" and \"%3\"); "
                                         "give each key once")
                              .arg(keyName(match->key), *slot, value));
        }
        rejectEmbeddedKey(value);
        slot = value;
        pos = end + 1;
    }

    ControllerOptions options;
    if (!values[Url] || values[Url]->isEmpty()) {
        throw invalid(
            QStringLiteral("The option string has no URL; add URL= and the "
                           "federation description file, for example "
                           "URL=file:///usr/share/tandrel/Chat.fed"));
    }
    options.url = *values[Url];
    if (values[TimePoli]) {
        options.timePolicy =
            integerValue(TimePoli, *values[TimePoli], 3, QStringLiteral("time policy"));
    }
    if (values[TimeAdv]) {
        options.timeAdvance =
            integerValue(TimeAdv, *values[TimeAdv], 2, QStringLiteral("time-advance policy"));
    }
    if (values[AsyncDeli]) {
        options.asynchronousDelivery = integerValue(AsyncDeli, *values[AsyncDeli], 1,
                                                    QStringLiteral("asynchronous delivery")) == 1;
    }
    if (values[CurTime]) options.currentTime = timeValue(CurTime, *values[CurTime]);
    if (values[LookAhead]) options.lookahead = timeValue(LookAhead, *values[LookAhead]);
    const QString lookaheadText = values[LookAhead].value_or(QStringLiteral("0"));
    if (options.lookahead < 0) {
        throw invalid(QStringLiteral("The option LookAhead=%1 is not valid: the lookahead "
                                     "must not be negative")
                          .arg(lookaheadText));
    }
    if (options.regulating() && options.lookahead == 0) {
        throw invalid(QStringLiteral("The option LookAhead=%1 is not valid: a time-regulating "
                                     "federate (TimePoli=%2) needs a lookahead greater than 0")
                          .arg(lookaheadText)
                          .arg(options.timePolicy));
    }
    return options;
}

}  // namespace provider
