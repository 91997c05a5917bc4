#include "cao/text/DateParse.h"
#include "cao/Error.h"
#include "cao/text/DateLocale.h"
#include "cao/text/OleDate.h"

#include <vector>

namespace cao {

namespace {

struct Token {
    enum Kind { Number, Word, Separator } kind = Number;
    QString text;
    int value = 0;
    int digits = 0;
    bool spaceBefore = false;
};

bool isDirectionMark(QChar c) {
    return c == QChar(0x200E) || c == QChar(0x200F) || c == QChar(0x061C);
}

std::vector<Token> tokenize(const QString& text) {
    std::vector<Token> tokens;
    bool space = false;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c.isSpace() || c == QLatin1Char(',') || isDirectionMark(c)) {
            space = true;
            ++i;
            continue;
        }
        Token token;
        token.spaceBefore = space;
        space = false;
        qsizetype end = i + 1;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            while (end < text.size() && text[end] >= QLatin1Char('0') &&
                   text[end] <= QLatin1Char('9')) {
                ++end;
            }
            token.digits = int(end - i);
            if (token.digits > 4) throw Error::typeMismatch();  // no date part is longer
            token.value = text.mid(i, end - i).toInt();
        } else if (c.isLetter()) {
            token.kind = Token::Word;
            while (end < text.size() && (text[end].isLetter() || text[end].isMark())) ++end;
        } else {
            token.kind = Token::Separator;
        }
        token.text = text.mid(i, end - i);
        tokens.push_back(token);
        i = end;
    }
    return tokens;
}

struct NumberPart {
    int value;
    int digits;
};

class DateTextParser {
public:
    DateTextParser(const QString& text, const DateLocale& info)
        : m_tokens(tokenize(text)), m_info(info) {}

    double parse() {
        for (m_at = 0; m_at < m_tokens.size(); ++m_at) {
            const Token& token = m_tokens[m_at];
            switch (token.kind) {
                case Token::Number:
                    takeNumber();
                    break;
                case Token::Word:
                    takeWord();
                    break;
                case Token::Separator:
                    takeSeparator();
                    break;
            }
        }
        return oleDateFromDateTime(resolveDate(), resolveTime());
    }

private:
    bool isTimeSeparatorAt(std::size_t i) const {
        if (i + 1 >= m_tokens.size() || m_tokens[i].kind != Token::Separator) return false;
        const QChar c = m_tokens[i].text[0];
        const bool separator = c == QLatin1Char(':') || c == m_info.timeSeparator;
        const Token& next = m_tokens[i + 1];
        return separator && !m_tokens[i].spaceBefore && !next.spaceBefore &&
               next.kind == Token::Number && next.digits <= 2;
    }

    void takeNumber() {
        const Token& token = m_tokens[m_at];
        if (!isTimeSeparatorAt(m_at + 1)) {
            m_numbers.push_back({token.value, token.digits});
            return;
        }
        if (m_hasTime || token.digits > 2) throw Error::typeMismatch();
        m_hasTime = true;
        m_hour = token.value;
        m_minute = m_tokens[m_at + 2].value;
        m_at += 2;
        if (isTimeSeparatorAt(m_at + 1)) {
            m_second = m_tokens[m_at + 2].value;
            m_at += 2;
        }
    }

    void takeWord() {
        const QString word = foldWord(m_tokens[m_at].text);
        const bool betweenNumbers = m_at > 0 && m_at + 1 < m_tokens.size() &&
                                    m_tokens[m_at - 1].kind == Token::Number &&
                                    m_tokens[m_at + 1].kind == Token::Number;
        if (word == QLatin1String("t") && betweenNumbers) return;  // ISO 8601 date T time
        for (int month = 0; month < 12; ++month) {
            if (!m_info.monthNames[month].contains(word)) continue;
            if (m_month != 0) throw Error::typeMismatch();
            m_month = month + 1;
            return;
        }
        if (m_info.dayNames.contains(word)) return;
        const bool am = m_info.amWords.contains(word);
        if (!am && !m_info.pmWords.contains(word)) throw Error::typeMismatch();
        if (m_meridiem != 0) throw Error::typeMismatch();
        m_meridiem = am ? 1 : 2;
        // "8 AM": a lone hour.
        if (!m_hasTime && m_at > 0 && m_tokens[m_at - 1].kind == Token::Number &&
            !m_numbers.empty()) {
            m_hasTime = true;
            m_hour = m_numbers.back().value;
            m_numbers.pop_back();
        }
    }

    void takeSeparator() {
        const Token& token = m_tokens[m_at];
        const bool afterSeparator = m_at == 0 || m_tokens[m_at - 1].kind == Token::Separator;
        if (afterSeparator || !m_info.dateSeparators.contains(token.text[0])) {
            throw Error::typeMismatch();
        }
    }

    static int fullYear(const NumberPart& year) {
        if (year.digits > 2) return year.value;
        return year.value < 30 ? 2000 + year.value : 1900 + year.value;
    }

    static bool looksLikeYear(const NumberPart& part) { return part.digits > 2 || part.value > 31; }

    QDate resolveDate() const {
        if (m_numbers.empty() && m_month == 0) {
            if (!m_hasTime) throw Error::typeMismatch();
            return oleDateEpoch();
        }
        int year = -1;  // the current year unless the text gives one
        int month = m_month;
        int day = 1;
        const std::size_t count = m_numbers.size();
        if (m_month != 0) {
            if (count == 0 || count > 2) throw Error::typeMismatch();
            const NumberPart& first = m_numbers[0];
            if (count == 1) {
                if (looksLikeYear(first)) {
                    year = fullYear(first);
                } else {
                    day = first.value;
                }
            } else {
                const bool yearFirst = looksLikeYear(first);
                year = fullYear(m_numbers[yearFirst ? 0 : 1]);
                day = m_numbers[yearFirst ? 1 : 0].value;
            }
        } else if (count == 3 && m_numbers[0].digits > 2) {  // 2013-05-14, 2013/5/14
            year = m_numbers[0].value;
            month = m_numbers[1].value;
            day = m_numbers[2].value;
        } else if (count == 3 || count == 2) {
            std::size_t next = 0;
            for (DateLocale::Field field : m_info.order) {
                if (field == DateLocale::Year && count == 2) continue;
                const NumberPart& part = m_numbers[next++];
                if (field == DateLocale::Year) year = fullYear(part);
                if (field == DateLocale::Month) month = part.value;
                if (field == DateLocale::Day) day = part.value;
            }
        } else {
            throw Error::typeMismatch();
        }
        if (year < 0) year = QDate::currentDate().year();
        const QDate date(year, month, day);
        if (!date.isValid() || year < 100 || year > 9999) throw Error::typeMismatch();
        return date;
    }

    QTime resolveTime() const {
        if (!m_hasTime) {
            if (m_meridiem != 0) throw Error::typeMismatch();
            return QTime(0, 0);
        }
        int hour = m_hour;
        if (m_meridiem != 0) {
            if (hour > 12) throw Error::typeMismatch();
            if (hour == 12) hour = 0;
            if (m_meridiem == 2) hour += 12;
        }
        if (hour > 23 || m_minute > 59 || m_second > 59) throw Error::typeMismatch();
        return QTime(hour, m_minute, m_second);
    }

    std::vector<Token> m_tokens;
    const DateLocale& m_info;
    std::size_t m_at = 0;
    std::vector<NumberPart> m_numbers;
    int m_month = 0;
    bool m_hasTime = false;
    int m_hour = 0;
    int m_minute = 0;
    int m_second = 0;
    int m_meridiem = 0;  // 1 AM, 2 PM
};

}  // namespace

double parseOleDate(const QString& text, const QLocale& locale) {
    return DateTextParser(text, dateLocale(locale)).parse();
}

}  // namespace cao
