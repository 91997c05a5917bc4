// Number 1 announces a synchronisation point: it is answered whatever else happens, after
// the announcement box unless the check box is exactly checked.
#include "LogFixture.h"

namespace {

struct AnnouncementCase {
    const char* name;
    Qt::CheckState sync;
    std::function<void(FakeMessage&)> arrange;
    int expectedLines;
    QStringList expectedJournal;
};

void PrintTo(const AnnouncementCase& c, std::ostream* os) {
    *os << c.name;
}

const QString kBoxAfterLine = QStringLiteral("box announcement (lines=1)");
const QString kBoxNoLine = QStringLiteral("box announcement (lines=0)");

std::vector<AnnouncementCase> announcementCases() {
    auto none = [](FakeMessage&) {};
    return {
        {"CheckedAnswersWithoutBox", Qt::Checked, none, 1, {"ack 1"}},
        {"UncheckedBoxThenAnswer", Qt::Unchecked, none, 1, {kBoxAfterLine, "ack 1"}},
        {"GreyedCountsAsUnchecked", Qt::PartiallyChecked, none, 1, {kBoxAfterLine, "ack 1"}},
        {"FailedTimeStillAnswered",
         Qt::Checked,
         [](FakeMessage& m) { m.failing << "Time"; },
         0,
         {"ack 1"}},
        {"FailedSourceBoxThenAnswer",
         Qt::Unchecked,
         [](FakeMessage& m) { m.failing << "Source"; },
         0,
         {kBoxNoLine, "ack 1"}},
        {"ArrayValueStillAnswered",
         Qt::Checked,
         [](FakeMessage& m) { m.value = cao::Variant::fromArray(cao::VT_BSTR, {}); },
         0,
         {"box Unknown Data Type (lines=0)", "ack 1"}},
        {"FailedNumberIsNoAnnouncement",
         Qt::Unchecked,
         [](FakeMessage& m) { m.failing << "Number"; },
         1,
         {}},
        {"FailedAnswerIsIgnored",
         Qt::Unchecked,
         [](FakeMessage& m) { m.failing << "Acknowledge"; },
         1,
         {kBoxAfterLine}},
    };
}

class Announcement : public LogTest, public ::testing::WithParamInterface<AnnouncementCase> {};

TEST_P(Announcement, IsAnsweredOnceAfterItsLine) {
    chkSync.setCheckState(GetParam().sync);
    auto m = message(1);
    GetParam().arrange(*m);
    EXPECT_NO_THROW(log.OnMessage(m));
    EXPECT_EQ(log.model().lineCount(), GetParam().expectedLines);
    EXPECT_EQ(journal, GetParam().expectedJournal);
}

INSTANTIATE_TEST_SUITE_P(Messages, Announcement, ::testing::ValuesIn(announcementCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LogTest, OnlyNumberOneIsAnswered) {
    chkSync.setChecked(false);
    for (int number : {0, 2, -1, 1}) log.OnMessage(message(number));
    EXPECT_EQ(journal, (QStringList{"box announcement (lines=4)", "ack 1"}));
}

TEST_F(LogTest, AFailingAnnouncementBoxStillLetsTheAnswerThrough) {
    chkSync.setChecked(false);
    boxes.onShow = [](const QString&) { throw std::runtime_error("the box could not open"); };
    auto m = message(1);
    EXPECT_NO_THROW(log.OnMessage(m));
    EXPECT_EQ(journal, QStringList{"ack 1"});
    EXPECT_EQ(boxes.shown, QStringList{kAnnouncement});
}

}  // namespace
