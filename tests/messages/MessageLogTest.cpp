// The log line of each message, the failures that drop it, CLEAR, and the order of lines.
#include "LogFixture.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QScrollBar>

using cao::Variant;

namespace {

struct LineCase {
    const char* name;
    std::function<void(FakeMessage&)> arrange;
    QStringList expectedLines;
    QStringList expectedJournal;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<LineCase> lineCases() {
    const QString unknown = QStringLiteral("box Unknown Data Type (lines=0)");
    return {
        {"Example", [](FakeMessage&) {}, {"3 : 42 (3) : Time=1.5, Source=abc"}, {}},
        {"NegativeNumber",
         [](FakeMessage& m) { m.number = -1; },
         {"-1 : 42 (3) : Time=1.5, Source=abc"},
         {}},
        {"StringValueUnchanged",
         [](FakeMessage& m) {
             m.value = Variant::fromString(" a, b ");
             m.number = 0;
         },
         {"0 :  a, b  (7) : Time=1.5, Source=abc"},
         {}},
        {"EmptyValueAfterItsBox",
         [](FakeMessage& m) {
             m.number = 7;
             m.value = Variant();
         },
         {"7 :  (0) : Time=1.5, Source=abc"},
         {unknown}},
        {"EmptySource",
         [](FakeMessage& m) { m.source.clear(); },
         {"3 : 42 (3) : Time=1.5, Source="},
         {}},
        {"EmptyTime",
         [](FakeMessage& m) { m.time = Variant(); },
         {"3 : 42 (3) : Time=, Source=abc"},
         {}},
        {"FailedValueReadsAsEmpty",
         [](FakeMessage& m) { m.failing << "Value"; },
         {"3 :  (0) : Time=1.5, Source=abc"},
         {unknown}},
        {"FailedNumberReadsAsZero",
         [](FakeMessage& m) { m.failing << "Number"; },
         {"0 : 42 (3) : Time=1.5, Source=abc"},
         {}},
        {"ArrayValueNoLine",
         [](FakeMessage& m) { m.value = Variant::fromArray(cao::VT_I4, {Variant::fromI4(1)}); },
         {},
         {unknown}},
        {"NullValueNoLine", [](FakeMessage& m) { m.value = Variant::null(); }, {}, {unknown}},
        {"FailedTimeNoLine", [](FakeMessage& m) { m.failing << "Time"; }, {}, {}},
        {"FailedSourceNoLine", [](FakeMessage& m) { m.failing << "Source"; }, {}, {}},
        {"NullTimeNoLine", [](FakeMessage& m) { m.time = Variant::null(); }, {}, {}},
        {"EverythingFails",
         [](FakeMessage& m) {
             m.failing << "Number"
                       << "Value"
                       << "Time"
                       << "Source"
                       << "Acknowledge";
         },
         {},
         {unknown}},
    };
}

class LineFormat : public LogTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineFormat, OneLineOrNoneAndNeverAnAnswer) {
    auto m = message(3);
    GetParam().arrange(*m);
    EXPECT_NO_THROW(log.OnMessage(m));
    EXPECT_EQ(lines(), GetParam().expectedLines);
    EXPECT_EQ(journal, GetParam().expectedJournal) << "numbers other than 1 are not answered";
}

INSTANTIATE_TEST_SUITE_P(Messages, LineFormat, ::testing::ValuesIn(lineCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LogTest, NoMessageObjectIsDroppedLikeAFailedRead) {
    EXPECT_NO_THROW(log.OnMessage(nullptr));
    EXPECT_TRUE(lines().isEmpty());
}

TEST_F(LogTest, ClearEmptiesOnlyTheLogAndANewLogStartsAtTheFirstRow) {
    log.clear();
    EXPECT_EQ(log.model().lineCount(), 0) << "CLEAR on an empty log";
    for (int n : {0, 2}) log.OnMessage(message(n));
    QApplication::processEvents();
    ASSERT_EQ(lstMessage.model()->rowCount(), 2);
    chkSync.setCheckState(Qt::PartiallyChecked);

    log.clear();
    EXPECT_EQ(lstMessage.model()->rowCount(), 0);
    EXPECT_EQ(chkSync.checkState(), Qt::PartiallyChecked);
    log.OnMessage(message(5));
    QApplication::processEvents();
    EXPECT_EQ(lines(), QStringList{"5 : 42 (3) : Time=1.5, Source=abc"});
    EXPECT_EQ(lstMessage.model()->index(0, 0).data().toString(), lines().front());
}

TEST_F(LogTest, ManyMessagesKeepArrivalOrderWithoutMovingTheView) {
    lstMessage.resize(300, 120);
    lstMessage.show();
    QApplication::processEvents();
    for (int i = 0; i < 1000; ++i) log.OnMessage(fakeMessage(0, QString::number(i)));
    // The rows, then the view's delayed layout.
    for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();

    ASSERT_EQ(lstMessage.model()->rowCount(), 1000);
    for (int i : {0, 1, 500, 999}) {
        EXPECT_EQ(lstMessage.model()->index(i, 0).data().toString(),
                  QStringLiteral("0 : 42 (3) : Time=1.5, Source=%1").arg(i));
    }
    EXPECT_EQ(lstMessage.verticalScrollBar()->value(), 0);
    EXPECT_GT(lstMessage.verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(lstMessage.selectionModel()->hasSelection());
    EXPECT_FALSE(lstMessage.currentIndex().isValid());
    lstMessage.hide();
}

// Messages that arrive while an announcement box is open wait for that handler to finish.
TEST_F(LogTest, MessagesArrivingWhileABoxIsOpenFollowInArrivalOrder) {
    chkSync.setChecked(false);
    auto first = message(1);
    auto second = message(1);
    second->source = "second";
    auto third = message(2);
    third->source = "third";
    const auto record = boxes.onShow;
    boxes.onShow = [&](const QString& text) {
        record(text);
        if (boxes.shown.size() == 1) {
            log.OnMessage(second);
            log.OnMessage(third);
        }
    };

    log.OnMessage(first);

    EXPECT_EQ(journal, (QStringList{"box announcement (lines=1)", "ack 1",
                                    "box announcement (lines=2)", "ack 1"}));
    EXPECT_EQ(lines(), (QStringList{"1 : 42 (3) : Time=1.5, Source=abc",
                                    "1 : 42 (3) : Time=1.5, Source=second",
                                    "2 : 42 (3) : Time=1.5, Source=third"}));
}

}  // namespace
