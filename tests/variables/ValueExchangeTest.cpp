// The value handlers against the form's controls alone: what they write and read, and the
// failure they throw; the window shows that failure in a box.
#include "VariablesFixture.h"

#include "cao/TypeRows.h"
#include "support/FailureOf.h"
#include "variables/ValueExchange.h"

#include <QLineEdit>

#include <memory>
#include <optional>

using cao::Variant;
using cao::testing::MockVariable;
using cao::testing::ThrowError;
using ::testing::_;
using ::testing::Eq;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

// The user's decimal separator, which the conversions follow.
QString decimal(QString text) {
    return text.replace('.', QLocale::system().decimalPoint());
}

class ValueExchangeTest : public FormControlsTest {
protected:
    ValueExchangeTest() {
        form.cmbVar->addItem("Chat.Msg");
        ON_CALL(*mockVariables, Item(_)).WillByDefault(Return(variable));
        exchange = std::make_unique<variables::ValueExchange>(
            variables::ValueControls{form.cmbVar, form.txtPut, form.cmbPutType}, caoVariables,
            messages);
    }

    // Writes `text` as a value of type row `row`: the failure's description, or "no error".
    QString put(const QString& text, int row) {
        form.txtPut->setText(text);
        form.cmbPutType->setCurrentIndex(row);
        return failureOf([&] { exchange->put(); });
    }
    QString get() {
        return failureOf([&] { exchange->get(); });
    }

    std::shared_ptr<NiceMock<MockVariable>> variable = std::make_shared<NiceMock<MockVariable>>();
    std::unique_ptr<variables::ValueExchange> exchange;
};

struct PutCase {
    int row;
    QString valid;
    Variant sent;
    std::optional<QString> outOfRange;  // none for rows without a range to leave
    std::optional<QString> letters;     // none for the string row
};

}  // namespace

TEST_F(ValueExchangeTest, PutSendsTheTypedValueOrFailsWithTheConversionError) {
    const std::vector<PutCase> cases{
        {cao::kBoolRow, "True", Variant::fromBool(true), std::nullopt, "On"},
        {cao::kUI1Row, "255", Variant::fromUI1(255), "300", "abc"},
        {cao::kI2Row, "-12", Variant::fromI2(-12), "32768", "abc"},
        {cao::kI4Row, "42", Variant::fromI4(42), "2147483648", "abc"},
        {cao::kR4Row, decimal("0.5"), Variant::fromR4(0.5f), "1E+39", "abc"},
        {cao::kR8Row, decimal("2.25"), Variant::fromR8(2.25), "1E+309", "abc"},
        {cao::kDateRow, "1900-01-01 12:00:00", Variant::fromDate(2.5), std::nullopt, "abc"},
        {cao::kBstrRow, "", Variant::fromString(""), std::nullopt, std::nullopt},
    };
    for (const PutCase& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_CALL(*mockVariables, Item(Eq(Variant::fromString("Chat.Msg"))))
            .Times(::testing::AtLeast(1));
        EXPECT_CALL(*variable, put_Value(Eq(c.sent)));
        EXPECT_EQ(put(c.valid, c.row), "no error");
        ::testing::Mock::VerifyAndClearExpectations(variable.get());

        EXPECT_CALL(*variable, put_Value(_)).Times(0);
        for (const auto& [text, error] :
             {std::pair{c.outOfRange, "Overflow"}, std::pair{c.letters, "Type mismatch"}}) {
            if (!text) continue;
            EXPECT_EQ(put(*text, c.row), error) << text->toStdString();
            EXPECT_EQ(form.txtPut->text(), *text) << "the entry was changed";
            EXPECT_EQ(form.cmbPutType->currentIndex(), c.row);
        }
        ::testing::Mock::VerifyAndClearExpectations(variable.get());
        ::testing::Mock::VerifyAndClearExpectations(mockVariables.get());
    }
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(" | ").toStdString();
}

TEST_F(ValueExchangeTest, PutActsOnTheSelectedRow) {
    form.cmbVar->addItem("Other.Param");
    form.cmbVar->setCurrentIndex(0);
    EXPECT_CALL(*mockVariables, Item(Eq(Variant::fromString("Chat.Msg"))));
    EXPECT_EQ(put("7", cao::kI4Row), "no error");
}

TEST_F(ValueExchangeTest, ALookupFailureIsReportedBeforeTheConversion) {
    ON_CALL(*mockVariables, Item(_)).WillByDefault(ThrowError("Unknown variable \"Chat.Msg\""));
    EXPECT_CALL(*variable, put_Value(_)).Times(0);
    EXPECT_EQ(put("abc", cao::kI4Row), "Unknown variable \"Chat.Msg\"");
}

TEST_F(ValueExchangeTest, PutReadsItsInputsBeforeAskingTheEngine) {
    ON_CALL(*mockVariables, Item(_)).WillByDefault([this](const Variant&) {
        form.txtPut->setText("abc");
        form.cmbPutType->setCurrentIndex(cao::kBstrRow);
        return variable;
    });
    EXPECT_CALL(*variable, put_Value(Eq(Variant::fromI2(5))));
    EXPECT_EQ(put("5", cao::kI2Row), "no error");
}

TEST_F(ValueExchangeTest, ARefusedPutFailsWithTheEngineText) {
    ON_CALL(*variable, put_Value(_)).WillByDefault(ThrowError("Parameter is read-only"));
    EXPECT_EQ(put("1", cao::kI4Row), "Parameter is read-only");
    EXPECT_EQ(form.txtPut->text(), "1");
}

TEST_F(ValueExchangeTest, GetSelectsTheTypeRowAndShowsTheText) {
    struct Case {
        Variant value;
        int row;
        QString text;
    };
    const std::vector<Case> cases{
        {Variant::fromBool(false), cao::kBoolRow, "False"},
        {Variant::fromUI1(200), cao::kUI1Row, "200"},
        {Variant::fromI2(-7), cao::kI2Row, "-7"},
        {Variant::fromI4(42), cao::kI4Row, "42"},
        {Variant::fromR4(1.5f), cao::kR4Row, decimal("1.5")},
        {Variant::fromR8(0.1), cao::kR8Row, decimal("0.1")},
        {Variant::fromDate(2.5), cao::kDateRow, decimal("2.5")},  // the day number, not a date
        {Variant::fromString("hello"), cao::kBstrRow, "hello"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        form.cmbPutType->setCurrentIndex(c.row == cao::kBstrRow ? cao::kBoolRow : cao::kBstrRow);
        EXPECT_CALL(*variable, get_Value()).WillOnce(Return(c.value));
        EXPECT_EQ(get(), "no error");
        EXPECT_EQ(form.cmbPutType->currentIndex(), c.row);
        EXPECT_EQ(form.txtPut->text(), c.text);
    }
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join(" | ").toStdString();
}

TEST_F(ValueExchangeTest, AnEmptyValueShowsUnknownDataTypeThenRowZeroAndNoText) {
    EXPECT_CALL(*variable, get_Value()).WillOnce(Return(Variant()));
    EXPECT_EQ(get(), "no error");
    EXPECT_EQ(messages.shown, QStringList{"Unknown Data Type"});
    EXPECT_EQ(form.cmbPutType->currentIndex(), cao::kBoolRow);
    EXPECT_EQ(form.txtPut->text(), "");
}

TEST_F(ValueExchangeTest, AValueWithoutTextFormKeepsTheOldTextAfterTheBox) {
    for (const Variant& value :
         {Variant::null(), Variant::fromArray(cao::VT_UI1, {Variant::fromUI1(1)})}) {
        SCOPED_TRACE(value.type());
        messages.shown.clear();
        form.txtPut->setText("old");
        form.cmbPutType->setCurrentIndex(cao::kR8Row);
        EXPECT_CALL(*variable, get_Value()).WillOnce(Return(value));
        EXPECT_EQ(get(), "Type mismatch");
        EXPECT_EQ(messages.shown, QStringList{"Unknown Data Type"});
        EXPECT_EQ(form.cmbPutType->currentIndex(), cao::kBoolRow);
        EXPECT_EQ(form.txtPut->text(), "old");
    }
}

TEST_F(ValueExchangeTest, AFailedReadLeavesTypeAndTextAsTheyWere) {
    struct Case {
        const char* failure;
        std::function<void()> fail;
    };
    const std::vector<Case> cases{
        {"lookup failed",
         [&] { ON_CALL(*mockVariables, Item(_)).WillByDefault(ThrowError("lookup failed")); }},
        {"no value yet",
         [&] {
             ON_CALL(*mockVariables, Item(_)).WillByDefault(Return(variable));
             ON_CALL(*variable, get_Value()).WillByDefault(ThrowError("no value yet"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        c.fail();
        form.txtPut->setText("old");
        form.cmbPutType->setCurrentIndex(cao::kR4Row);
        EXPECT_EQ(get(), c.failure);
        EXPECT_EQ(form.cmbPutType->currentIndex(), cao::kR4Row);
        EXPECT_EQ(form.txtPut->text(), "old");
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ValueExchangeTest, AWriteAfterAReadSendsTheTypeJustRead) {
    EXPECT_CALL(*variable, get_Value()).WillOnce(Return(Variant::fromR8(0.25)));
    EXPECT_EQ(get(), "no error");
    EXPECT_CALL(*variable, put_Value(Eq(Variant::fromR8(0.25))));
    EXPECT_EQ(failureOf([&] { exchange->put(); }), "no error");
}

TEST_F(ValueExchangeTest, TheVariableIsReleasedAfterEachExchange) {
    const long before = variable.use_count();
    put("1", cao::kI4Row);
    get();
    EXPECT_EQ(variable.use_count(), before);
}
