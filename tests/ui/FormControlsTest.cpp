#include "FormFixture.h"

#include "cao/Error.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace {

using ui::test::Form;

TEST(FormControls, ArraysHoldTheNumberedControlsInIndexOrder) {
    Form f;
    for (std::size_t i = 0; i < f.controls->txtTime.size(); ++i) {
        EXPECT_EQ(f.controls->txtTime[i], f.control(QStringLiteral("txtTime_%1").arg(i)));
    }
    for (std::size_t i = 0; i < f.controls->lblHLA.size(); ++i) {
        EXPECT_EQ(f.controls->lblHLA[i], f.control(QStringLiteral("lblHLA_%1").arg(i)));
    }
    EXPECT_EQ(&f.controls->form, &f.form);
}

TEST(FormControls, TagsAreKeptPerControlExactly) {
    Form f;
    ui::setTag(f.controls->txtTime[0], "@CURRENT_TIME");
    ui::setTag(f.controls->txtTime[2], " @LBTS ");
    EXPECT_EQ(ui::tag(f.controls->txtTime[0]), "@CURRENT_TIME");
    EXPECT_EQ(ui::tag(f.controls->txtTime[1]), "");
    EXPECT_EQ(ui::tag(f.controls->txtTime[2]), " @LBTS ");
    ui::setTag(f.controls->txtTime[0], "");
    EXPECT_EQ(ui::tag(f.controls->txtTime[0]), "");
}

// The colour is the box's own, whatever its enabled state, and can be switched back and forth.
TEST(FormControls, MonitorBackgroundFollowsEverySwitch) {
    Form f;
    QLineEdit* box = f.controls->txtTime[1];
    const QColor window = QApplication::palette().color(QPalette::Active, QPalette::Base);
    const QColor buttonFace = QApplication::palette().color(QPalette::Active, QPalette::Button);
    ASSERT_NE(window, buttonFace);
    for (bool enabled : {false, true}) {
        box->setEnabled(enabled);
        for (bool windowBackground : {true, false, true}) {
            SCOPED_TRACE(testing::Message() << enabled << windowBackground);
            ui::setMonitorBackground(box, windowBackground);
            EXPECT_EQ(ui::hasWindowBackground(box), windowBackground);
            EXPECT_EQ(box->palette().color(QPalette::Base), windowBackground ? window : buttonFace);
        }
    }
    EXPECT_FALSE(ui::hasWindowBackground(f.controls->txtTime[0]));
}

TEST(FormControls, CheckValueForEveryState) {
    Form f;
    QCheckBox* box = f.form.chkAsyncDeli;
    box->setTristate(true);
    const std::pair<Qt::CheckState, int> cases[] = {
        {Qt::Checked, 1}, {Qt::Unchecked, 0}, {Qt::PartiallyChecked, 2}};
    for (const auto& [state, value] : cases) {
        box->setCheckState(state);
        EXPECT_EQ(ui::checkValue(box), value);
    }
}

TEST(FormControls, TickedRowsAreReportedByRow) {
    Form f;
    QListWidget* options = f.form.lstVarOpt;
    options->item(0)->setCheckState(Qt::Checked);
    options->item(6)->setCheckState(Qt::Checked);
    options->item(3)->setCheckState(Qt::PartiallyChecked);
    options->setCurrentRow(2);  // a highlighted row is not a ticked one
    const bool expected[] = {true, false, false, false, false, false, true};
    for (int row = 0; row < 7; ++row) EXPECT_EQ(ui::isRowTicked(options, row), expected[row]);
}

TEST(FormControls, AskingForARowTheListLacksFailsWithADescription) {
    Form f;
    for (int row : {-1, 7, 1000}) {
        SCOPED_TRACE(row);
        try {
            ui::isRowTicked(f.form.lstVarOpt, row);
            ADD_FAILURE() << "no error";
        } catch (const cao::Error& e) {
            EXPECT_TRUE(e.description().contains("lstVarOpt"));
            EXPECT_TRUE(e.description().contains(QString::number(row)));
        }
    }
}

}  // namespace
