#include "VariantTextTestSupport.h"
#include "cao/text/OleDate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace cao;
using namespace cao::test;

namespace {

double dayOf(int year, int month, int day) {
    return double(oleDateEpoch().daysTo(QDate(year, month, day)));
}
double timeOf(int hour, int minute, int second) {
    return (hour * 3600 + minute * 60 + second) / 86400.0;
}

QString dateText(double value, const QLocale& locale) {
    return variantToText(Variant::fromDate(value), locale);
}
double textDate(const char* text, const QLocale& locale) {
    return textToVariant(QString::fromUtf8(text), VT_DATE, locale).date();
}

TEST(DateText, WrittenOnBothSidesOfDayZeroAndAtTheEndsOfTheRange) {
    const struct {
        double value;
        const char* en;
        const char* de;
    } cases[] = {
        {0.0, "12:00:00 AM", "00:00:00"},  // day 0 shows the time alone
        {0.5, "12:00:00 PM", "12:00:00"},
        {-0.25, "6:00:00 AM", "06:00:00"},  // still day 0, counted forward
        {1.0, "12/31/1899", "31.12.1899"},  // midnight shows the date alone
        {-1.0, "12/29/1899", "29.12.1899"},
        {-1.25, "12/29/1899 6:00:00 AM", "29.12.1899 06:00:00"},
        {2.5, "1/1/1900 12:00:00 PM", "01.01.1900 12:00:00"},
        {3.34, "1/2/1900 8:09:36 AM", "02.01.1900 08:09:36"},
        {-657434.0, "1/1/0100", "01.01.0100"},
        {-657434.5, "1/1/0100 12:00:00 PM", "01.01.0100 12:00:00"},
        {2958465.0, "12/31/9999", "31.12.9999"},
        {2958465.0 + timeOf(23, 59, 59), "12/31/9999 11:59:59 PM", "31.12.9999 23:59:59"},
        {0.5 + 0.4 / 86400, "12:00:00 PM", "12:00:00"},  // rounded to the nearest second
        {0.5 + 0.6 / 86400, "12:00:01 PM", "12:00:01"},
        {1.0 - 0.4 / 86400, "12/31/1899", "31.12.1899"},          // rounds up into the next day
        {-1.0 - (1.0 - 0.4 / 86400), "12:00:00 AM", "00:00:00"},  // up into day 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.en);
        EXPECT_EQ(dateText(c.value, enUS()), QString::fromUtf8(c.en));
        EXPECT_EQ(dateText(c.value, deDE()), QString::fromUtf8(c.de));
    }
}

TEST(DateText, NumbersOutsideTheRangeHaveNoDateText) {
    for (double value :
         {-657435.0, 2958466.0, 1e300, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(failureOf([&] { dateText(value, enUS()); }), kOverflow) << value;
    }
}

TEST(DateText, ReadFromLocaleIsoAndMonthNameTexts) {
    const double jan2nd1970 = dayOf(1970, 1, 2);
    const struct {
        const char* text;
        double expected;
        const QLocale& locale;
    } cases[] = {
        {"1/2/1900 8:09:36 AM", 3 + timeOf(8, 9, 36), enUS()},
        {"02.01.1900 08:09:36", 3 + timeOf(8, 9, 36), deDE()},
        {"2013-05-14 02:04:12", dayOf(2013, 5, 14) + timeOf(2, 4, 12), enUS()},
        {"2013-05-14T02:04:12", dayOf(2013, 5, 14) + timeOf(2, 4, 12), deDE()},
        {"2013/5/14", dayOf(2013, 5, 14), enUS()},
        {"2 Jan 1970", jan2nd1970, enUS()},
        {"January 2, 1970", jan2nd1970, enUS()},
        {"Friday, January 2, 1970", jan2nd1970, enUS()},
        {"2-jan-70", jan2nd1970, enUS()},
        {"1970 Jan 2", jan2nd1970, enUS()},
        {"2. Januar 1970", jan2nd1970, deDE()},
        {"Freitag, 2. Januar 1970", jan2nd1970, deDE()},
        {"2 Jan 1970", jan2nd1970, deDE()},  // English names are read everywhere
        {"  1/2/1970  ", jan2nd1970, enUS()},
        {"02.01.70", jan2nd1970, deDE()},
        {"12/31/29", dayOf(2029, 12, 31), enUS()},
        {"1/1/30", dayOf(1930, 1, 1), enUS()},
        {"12/30/1899", 0.0, enUS()},
        {"12/29/1899 6:00 AM", -1.25, enUS()},
        {"29.12.1899 06:00", -1.25, deDE()},
        {"1/1/100", -657434.0, enUS()},
        {"12/31/9999 11:59:59 PM", 2958465.0 + timeOf(23, 59, 59), enUS()},
        // A time alone lies on day 0.
        {"12:00", 0.5, enUS()},
        {"6:00:00 AM", 0.25, enUS()},
        {"6:00:00 pm", 0.75, enUS()},
        {"12:30 AM", timeOf(0, 30, 0), enUS()},
        {"8 PM", timeOf(20, 0, 0), enUS()},
        {"23:59:59", timeOf(23, 59, 59), deDE()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_NEAR(textDate(c.text, c.locale), c.expected, 1e-9);
    }
}

TEST(DateText, ADateWithoutAYearIsInTheCurrentYear) {
    const int year = QDate::currentDate().year();
    EXPECT_EQ(textDate("3/4", enUS()), dayOf(year, 3, 4));
    EXPECT_EQ(textDate("3.4.", deDE()), dayOf(year, 4, 3));
    EXPECT_EQ(textDate("Jan 2", enUS()), dayOf(year, 1, 2));
}

TEST(DateText, UnreadableDatesAreATypeMismatch) {
    for (const char* text : {"",
                             "   ",
                             "abc",
                             "Yes",
                             "13/1/2000",
                             "2/30/2000",
                             "2/29/1900",
                             "1/1/10000",
                             "1/1/99999",
                             "1/1/0099",
                             "1/1/0000",
                             "25:00",
                             "12:60",
                             "12:00:60",
                             "13:00 PM",
                             "AM",
                             "1/2/3/4",
                             "1//2/2000",
                             "/1/2/2000",
                             "Jan Feb 2000",
                             "January",
                             "2000",
                             "1/1/99 12:00 13:00",
                             "12:00 AM PM",
                             "1;2;2000",
                             "1/2/2000 8:09:36 XM",
                             "2 Jan 1970 3"}) {
        EXPECT_EQ(failureOf([&] { textDate(text, enUS()); }), kMismatch) << text;
    }
    EXPECT_EQ(failureOf([&] { textDate("31.13.2000", deDE()); }), kMismatch);
}

TEST(DateText, WrittenTextReadsBackToTheSameSecond) {
    for (const QLocale& locale : {enUS(), deDE()}) {
        // Day 0 has two numbers for each time (-0.5 and 0.5); reading gives the positive one.
        for (double value : {0.0, 0.75, 1.0, -1.25, 3.34, 25570.5, 41408.0862, -657434.0,
                             -657434.99998, 2958465.99998, -12345.678}) {
            const QString text = dateText(value, locale);
            SCOPED_TRACE(text.toStdString());
            const double back = textToVariant(text, VT_DATE, locale).date();
            EXPECT_EQ(dateText(back, locale), text);
            EXPECT_NEAR(back, value, 0.6 / 86400);
        }
    }
}

TEST(OleDate, DayAndTimeOfTheDateNumber) {
    const struct {
        double value;
        QDate date;
        QTime time;
    } cases[] = {
        {0.0, QDate(1899, 12, 30), QTime(0, 0)},       {2.5, QDate(1900, 1, 1), QTime(12, 0)},
        {-1.25, QDate(1899, 12, 29), QTime(6, 0)},     {0.75, QDate(1899, 12, 30), QTime(18, 0)},
        {60.0, QDate(1900, 2, 28), QTime(0, 0)},  // 1900 is no leap year
        {61.0, QDate(1900, 3, 1), QTime(0, 0)},        {-657434.0, QDate(100, 1, 1), QTime(0, 0)},
        {2958465.0, QDate(9999, 12, 31), QTime(0, 0)},
    };
    for (const auto& c : cases) {
        const OleDateTime moment = oleDateToDateTime(c.value);
        EXPECT_EQ(moment.date, c.date) << c.value;
        EXPECT_EQ(moment.time, c.time) << c.value;
        EXPECT_DOUBLE_EQ(oleDateFromDateTime(c.date, c.time), c.value);
    }
    const OleDateTime beforeZero = oleDateToDateTime(-0.75);  // counted forward within day 0
    EXPECT_EQ(beforeZero.date, QDate(1899, 12, 30));
    EXPECT_EQ(beforeZero.time, QTime(18, 0));
    EXPECT_EQ(failureOf([] { oleDateFromDateTime(QDate(99, 12, 31), QTime(0, 0)); }), kOverflow);
    EXPECT_EQ(failureOf([] { oleDateFromDateTime(QDate(10000, 1, 1), QTime(0, 0)); }), kOverflow);
}

}  // namespace
