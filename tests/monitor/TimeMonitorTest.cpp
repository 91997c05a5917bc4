// The once-a-second refresh of the monitor boxes: only enabled boxes, "n/a" for any failed
// read, and a fresh try on every tick.
#include "monitor/TimeMonitor.h"
#include "support/CaoMocks.h"
#include "ui/WidgetState.h"

#include <QLineEdit>

#include <gtest/gtest.h>

using cao::Variant;
using cao::testing::MockVariable;
using cao::testing::MockVariables;
using cao::testing::ThrowError;
using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

const std::array<QString, 4> kTags = {"@CURRENT_TIME", "@LOOKAHEAD", "@LBTS", "@NEXTEVENT_TIME"};

class MonitorTest : public ::testing::Test {
public:
    MonitorTest() {
        for (size_t i = 0; i < boxes.size(); ++i) {
            ui::setTag(&boxes[i], kTags[i]);
            boxes[i].setText("0.0");
            boxes[i].setEnabled(false);
        }
    }

    // The engine's variable named `name`, whose reads give `value` until changed.
    std::shared_ptr<NiceMock<MockVariable>> serve(const QString& name, Variant value) {
        auto variable = std::make_shared<NiceMock<MockVariable>>();
        ON_CALL(*variable, get_Value()).WillByDefault(Return(value));
        ON_CALL(*collection, Item(Variant::fromString(name))).WillByDefault(Return(variable));
        return variable;
    }

    QStringList texts() const {
        QStringList result;
        for (const QLineEdit& box : boxes) result << box.text();
        return result;
    }

    std::array<QLineEdit, 4> boxes;
    std::shared_ptr<NiceMock<MockVariables>> collection =
        std::make_shared<NiceMock<MockVariables>>();
    cao::VariablesPtr m_caoVars = collection;
    monitor::TimeMonitor monitor{{&boxes[0], &boxes[1], &boxes[2], &boxes[3]}, m_caoVars};
};

struct ReadCase {
    const char* name;
    std::function<void(MonitorTest&, MockVariables&)> arrange;
    QString expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class Read : public MonitorTest, public ::testing::WithParamInterface<ReadCase> {};

std::vector<ReadCase> readCases() {
    auto value = [](Variant v) {
        return [v](MonitorTest& t, MockVariables&) { t.serve("@LBTS", v); };
    };
    return {
        {"Real", value(Variant::fromR8(3)), "3"},
        {"Integer", value(Variant::fromI4(-7)), "-7"},
        {"Text", value(Variant::fromString("12:00")), "12:00"},
        {"EmptyEmptiesTheBox", value(Variant()), ""},
        {"NullHasNoText", value(Variant::null()), "n/a"},
        {"ArrayHasNoText", value(Variant::fromArray(cao::VT_R8, {Variant::fromR8(1)})), "n/a"},
        {"UnknownName",
         [](MonitorTest&, MockVariables& c) {
             ON_CALL(c, Item(_)).WillByDefault(ThrowError("Variable \"@LBTS\" is not registered"));
         },
         "n/a"},
        {"FailedRead",
         [](MonitorTest& t, MockVariables&) {
             auto v = t.serve("@LBTS", Variant());
             ON_CALL(*v, get_Value()).WillByDefault(ThrowError("The federate has left"));
         },
         "n/a"},
        {"NoVariableObject",
         [](MonitorTest&, MockVariables& c) { ON_CALL(c, Item(_)).WillByDefault(Return(nullptr)); },
         "n/a"},
    };
}

TEST_P(Read, EnabledBoxShowsTheValueOrNotAvailable) {
    boxes[2].setEnabled(true);
    GetParam().arrange(*this, *collection);
    EXPECT_NO_THROW(monitor.tick());
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.0", GetParam().expected, "0.0"}));
}

INSTANTIATE_TEST_SUITE_P(Monitor, Read, ::testing::ValuesIn(readCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MonitorTest, DisabledBoxesAreNeitherReadNorTouched) {
    boxes[2].setEnabled(true);
    serve("@LBTS", Variant::fromR8(4));
    EXPECT_CALL(*collection, Item(Variant::fromString("@LBTS")));
    EXPECT_CALL(*collection, Item(::testing::Ne(Variant::fromString("@LBTS")))).Times(0);
    monitor.tick();
    EXPECT_EQ(texts(), (QStringList{"0.0", "0.0", "4", "0.0"}));
}

TEST_F(MonitorTest, AFailedBoxRecoversOnTheNextTickWhileOthersGoOn) {
    for (int i : {0, 2}) boxes[i].setEnabled(true);
    auto now = serve("@CURRENT_TIME", Variant::fromR8(10));
    auto lbts = serve("@LBTS", Variant::fromR8(11));
    EXPECT_CALL(*lbts, get_Value())
        .WillOnce(ThrowError("Reading @LBTS failed"))
        .WillOnce(Return(Variant::fromR8(12)));
    EXPECT_CALL(*now, get_Value())
        .WillOnce(Return(Variant::fromR8(10)))
        .WillOnce(Return(Variant::fromR8(11)));

    monitor.tick();
    EXPECT_EQ(texts(), (QStringList{"10", "0.0", "n/a", "0.0"}));
    monitor.tick();
    EXPECT_EQ(texts(), (QStringList{"11", "0.0", "12", "0.0"})) << "nothing kept between ticks";
}

TEST_F(MonitorTest, WithoutACollectionEveryEnabledBoxIsNotAvailable) {
    for (int i : {0, 3}) boxes[i].setEnabled(true);
    m_caoVars.reset();
    EXPECT_NO_THROW(monitor.tick());
    EXPECT_EQ(texts(), (QStringList{"n/a", "0.0", "0.0", "n/a"}));
}

TEST_F(MonitorTest, BoxesDisabledByACloseKeepTheirLastText) {
    for (QLineEdit& box : boxes) box.setEnabled(true);
    for (const QString& tag : kTags) serve(tag, Variant::fromI4(static_cast<int32_t>(tag.size())));
    monitor.tick();
    const QStringList shown = texts();
    EXPECT_EQ(shown, (QStringList{"13", "10", "5", "15"}));

    for (QLineEdit& box : boxes) box.setEnabled(false);
    m_caoVars.reset();
    monitor.tick();
    EXPECT_EQ(texts(), shown);
}

}  // namespace
