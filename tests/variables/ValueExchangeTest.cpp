#include "VariablesFixture.h"

#include <QLineEdit>

#include <optional>

using cao::Variant;
using cao::testing::MockVariable;
using cao::testing::ThrowError;
using ::testing::_;
using ::testing::Eq;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

// The user's decimal separator, which the window's conversions follow.
QString decimal(QString text) {
    return text.replace('.', QLocale::system().decimalPoint());
}

class ValueExchangeTest : public VariablesTest {
protected:
    ValueExchangeTest() {
        ON_CALL(*world.variables, Item(_)).WillByDefault(Return(variable));
        registerNames({"Chat.Msg"});
    }

    void put(const QString& text, int row) {
        form().txtPut->setText(text);
        form().cmbPutType->setCurrentIndex(row);
        form().cmdPut->click();
    }

    std::shared_ptr<NiceMock<MockVariable>> variable = std::make_shared<NiceMock<MockVariable>>();
};

struct PutCase {
    int row;
    QString valid;
    Variant sent;
    std::optional<QString> outOfRange;  // none for rows without a range to leave
    std::optional<QString> letters;     // none for the string row
};

}  // namespace

TEST_F(ValueExchangeTest, PutSendsTheTypedValueOrShowsTheConversionError) {
    const std::vector<PutCase> cases{
        {0, "True", Variant::fromBool(true), std::nullopt, "On"},
        {1, "255", Variant::fromUI1(255), "300", "abc"},
        {2, "-12", Variant::fromI2(-12), "32768", "abc"},
        {3, "42", Variant::fromI4(42), "2147483648", "abc"},
        {4, decimal("0.5"), Variant::fromR4(0.5f), "1E+39", "abc"},
        {5, decimal("2.25"), Variant::fromR8(2.25), "1E+309", "abc"},
        {6, "1900-01-01 12:00:00", Variant::fromDate(2.5), std::nullopt, "abc"},
        {7, "", Variant::fromString(""), std::nullopt, std::nullopt},
    };
    for (const PutCase& c : cases) {
        SCOPED_TRACE(c.row);
        messages.shown.clear();
        EXPECT_CALL(*world.variables, Item(Eq(Variant::fromString("Chat.Msg"))))
            .Times(::testing::AtLeast(1));
        EXPECT_CALL(*variable, put_Value(Eq(c.sent)));
        put(c.valid, c.row);
        ::testing::Mock::VerifyAndClearExpectations(variable.get());
        EXPECT_TRUE(messages.shown.isEmpty()) << shown().toStdString();

        EXPECT_CALL(*variable, put_Value(_)).Times(0);
        for (const auto& [text, error] :
             {std::pair{c.outOfRange, "Overflow"}, std::pair{c.letters, "Type mismatch"}}) {
            if (!text) continue;
            messages.shown.clear();
            put(*text, c.row);
            EXPECT_EQ(messages.shown, QStringList{error}) << text->toStdString();
            EXPECT_EQ(form().txtPut->text(), *text) << "the entry was changed";
            EXPECT_EQ(form().cmbPutType->currentIndex(), c.row);
        }
        ::testing::Mock::VerifyAndClearExpectations(variable.get());
        ::testing::Mock::VerifyAndClearExpectations(world.variables.get());
    }
}

TEST_F(ValueExchangeTest, PutActsOnTheSelectedRow) {
    registerNames({"Other.Param"});
    form().cmbVar->setCurrentIndex(0);
    EXPECT_CALL(*world.variables, Item(Eq(Variant::fromString("Chat.Msg"))));
    put("7", 3);
}

TEST_F(ValueExchangeTest, ALookupFailureIsReportedBeforeTheConversion) {
    ON_CALL(*world.variables, Item(_)).WillByDefault(ThrowError("Unknown variable \"Chat.Msg\""));
    EXPECT_CALL(*variable, put_Value(_)).Times(0);
    put("abc", 3);
    EXPECT_EQ(messages.shown, QStringList{"Unknown variable \"Chat.Msg\""});
}

TEST_F(ValueExchangeTest, PutReadsItsInputsBeforeAskingTheEngine) {
    ON_CALL(*world.variables, Item(_)).WillByDefault([this](const Variant&) {
        form().txtPut->setText("abc");
        form().cmbPutType->setCurrentIndex(7);
        return variable;
    });
    EXPECT_CALL(*variable, put_Value(Eq(Variant::fromI2(5))));
    put("5", 2);
}

TEST_F(ValueExchangeTest, ARefusedPutShowsTheEngineText) {
    ON_CALL(*variable, put_Value(_)).WillByDefault(ThrowError("Parameter is read-only"));
    put("1", 3);
    EXPECT_EQ(messages.shown, QStringList{"Parameter is read-only"});
    EXPECT_EQ(form().txtPut->text(), "1");
}

TEST_F(ValueExchangeTest, GetSelectsTheTypeRowAndShowsTheText) {
    struct Case {
        Variant value;
        int row;
        QString text;
    };
    const std::vector<Case> cases{
        {Variant::fromBool(false), 0, "False"},
        {Variant::fromUI1(200), 1, "200"},
        {Variant::fromI2(-7), 2, "-7"},
        {Variant::fromI4(42), 3, "42"},
        {Variant::fromR4(1.5f), 4, decimal("1.5")},
        {Variant::fromR8(0.1), 5, decimal("0.1")},
        {Variant::fromDate(2.5), 6, decimal("2.5")},  // the day number, not a date text
        {Variant::fromString("hello"), 7, "hello"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        form().cmbPutType->setCurrentIndex(c.row == 7 ? 0 : 7);
        EXPECT_CALL(*variable, get_Value()).WillOnce(Return(c.value));
        form().cmdGet->click();
        EXPECT_EQ(form().cmbPutType->currentIndex(), c.row);
        EXPECT_EQ(form().txtPut->text(), c.text);
    }
    EXPECT_TRUE(messages.shown.isEmpty()) << shown().toStdString();
}

TEST_F(ValueExchangeTest, AnEmptyValueShowsUnknownDataTypeThenRowZeroAndNoText) {
    EXPECT_CALL(*variable, get_Value()).WillOnce(Return(Variant()));
    form().cmdGet->click();
    EXPECT_EQ(messages.shown, QStringList{"Unknown Data Type"});
    EXPECT_EQ(form().cmbPutType->currentIndex(), 0);
    EXPECT_EQ(form().txtPut->text(), "");
}

TEST_F(ValueExchangeTest, AValueWithoutTextFormKeepsTheOldTextAfterTheBox) {
    for (const Variant& value :
         {Variant::null(), Variant::fromArray(cao::VT_UI1, {Variant::fromUI1(1)})}) {
        SCOPED_TRACE(value.type());
        messages.shown.clear();
        form().txtPut->setText("old");
        form().cmbPutType->setCurrentIndex(5);
        EXPECT_CALL(*variable, get_Value()).WillOnce(Return(value));
        form().cmdGet->click();
        EXPECT_EQ(messages.shown, (QStringList{"Unknown Data Type", "Type mismatch"}));
        EXPECT_EQ(form().cmbPutType->currentIndex(), 0);
        EXPECT_EQ(form().txtPut->text(), "old");
    }
}

TEST_F(ValueExchangeTest, AFailedReadLeavesTypeAndTextAsTheyWere) {
    struct Case {
        const char* what;
        std::function<void()> fail;
    };
    const std::vector<Case> cases{
        {"Item",
         [&] { ON_CALL(*world.variables, Item(_)).WillByDefault(ThrowError("lookup failed")); }},
        {"get_Value",
         [&] { ON_CALL(*variable, get_Value()).WillByDefault(ThrowError("no value yet")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.shown.clear();
        c.fail();
        form().txtPut->setText("old");
        form().cmbPutType->setCurrentIndex(4);
        form().cmdGet->click();
        EXPECT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(form().cmbPutType->currentIndex(), 4);
        EXPECT_EQ(form().txtPut->text(), "old");
    }
}

TEST_F(ValueExchangeTest, AWriteAfterAReadSendsTheTypeJustRead) {
    EXPECT_CALL(*variable, get_Value()).WillOnce(Return(Variant::fromR8(0.25)));
    form().cmdGet->click();
    EXPECT_CALL(*variable, put_Value(Eq(Variant::fromR8(0.25))));
    form().cmdPut->click();
    EXPECT_TRUE(messages.shown.isEmpty()) << shown().toStdString();
}

TEST_F(ValueExchangeTest, TheVariableIsReleasedAfterEachExchange) {
    const long before = variable.use_count();
    put("1", 3);
    form().cmdGet->click();
    EXPECT_EQ(variable.use_count(), before);
}
