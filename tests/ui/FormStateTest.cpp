#include "FormFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QSet>
#include <QToolButton>

namespace {

using ui::test::Form;

TEST(FormState, OnlyTheDescribedControlsStartDisabled) {
    const QSet<QString> disabled = {"cmdClose",  "cmdGetVar", "cmdRelease", "cmdPut",   "cmdGet",
                                    "txtTime_0", "txtTime_1", "txtTime_2",  "txtTime_3"};
    Form f;
    for (QWidget* w : f.window.findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_EQ(w->isEnabled(), !disabled.contains(w->objectName()));
    }
}

TEST(FormState, CheckBoxes) {
    Form f;
    EXPECT_EQ(ui::checkValue(f.form.chkSync), 1);
    EXPECT_EQ(ui::checkValue(f.form.chkAsyncDeli), 0);
    EXPECT_FALSE(f.form.chkSync->isTristate());
    EXPECT_FALSE(f.form.chkAsyncDeli->isTristate());
}

TEST(FormState, DropDownListsStartWithNoRowAndAcceptNoTypedText) {
    Form f;
    for (QComboBox* list :
         {f.form.cmbTimePoli, f.form.cmbTimeAdv, f.form.cmbPutType, f.form.cmbVar}) {
        SCOPED_TRACE(list->objectName().toStdString());
        EXPECT_FALSE(list->isEditable());
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_EQ(list->currentText(), "");
    }
}

TEST(FormState, NameFieldHoldsItsTextWithNoRowChosen) {
    Form f;
    QComboBox* names = f.form.cmbVarNames;
    EXPECT_TRUE(names->isEditable());
    EXPECT_EQ(names->currentIndex(), -1);
    EXPECT_EQ(names->currentText(), "InteractionRoot.Communication.Message");
    // Typed text is read as typed; it is not added to the suggestions.
    names->setEditText("@lbts ");
    EXPECT_EQ(names->currentText(), "@lbts ");
    EXPECT_EQ(names->count(), 9);
}

TEST(FormState, OptionRowsAreCheckableAndUnticked) {
    Form f;
    QListWidget* options = f.form.lstVarOpt;
    ASSERT_EQ(options->count(), 7);
    for (int row = 0; row < options->count(); ++row) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(options->item(row)->flags() & Qt::ItemIsUserCheckable);
        EXPECT_FALSE(ui::isRowTicked(options, row));
    }
}

TEST(FormState, MonitorBoxesStartWithButtonFaceOthersWithWindowBackground) {
    Form f;
    for (QLineEdit* box : f.controls->txtTime) {
        SCOPED_TRACE(box->objectName().toStdString());
        EXPECT_FALSE(ui::hasWindowBackground(box));
        EXPECT_EQ(box->palette().color(QPalette::Disabled, QPalette::Base),
                  QApplication::palette().color(QPalette::Active, QPalette::Button));
    }
    for (QLineEdit* box :
         {f.form.txtName, f.form.txtURL, f.form.txtCurTime, f.form.txtLookah, f.form.txtPut}) {
        SCOPED_TRACE(box->objectName().toStdString());
        EXPECT_TRUE(ui::hasWindowBackground(box));
    }
}

TEST(FormState, NoControlCarriesATag) {
    Form f;
    for (QWidget* w : f.window.findChildren<QWidget*>()) EXPECT_EQ(ui::tag(w), "");
}

TEST(FormState, MessageLogKeepsRowsUniformForLongLogs) {
    Form f;
    EXPECT_TRUE(f.form.lstMessage->uniformItemSizes());
    EXPECT_FALSE(f.form.lstVarOpt->isSortingEnabled());
}

TEST(FormState, VersionButtonShowsIconAboveCaption) {
    Form f;
    EXPECT_EQ(f.form.cmdVer->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_FALSE(f.form.cmdVer->icon().isNull());
}

// The icon lives in the library's resources; a program linking the library must find it.
TEST(FormState, IconHasItsThreeSizesOnWindowAndButton) {
    Form f;
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        EXPECT_FALSE(QIcon(QStringLiteral(":/icons/tandrel-%1.png").arg(size)).isNull());
        for (const QIcon& icon : {f.window.windowIcon(), f.form.cmdVer->icon()}) {
            EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
            EXPECT_EQ(icon.pixmap(size).size(), QSize(size, size));
        }
    }
}

TEST(FormState, InputsAreNamedAfterTheirLabels) {
    const std::pair<const char*, const char*> names[] = {
        {"txtName", "Federate Name"},
        {"txtURL", ".fed URL"},
        {"cmbTimePoli", "Time Policy"},
        {"cmbTimeAdv", "Time Advance Policy"},
        {"txtCurTime", "Current Time"},
        {"txtLookah", "Lookahead Time"},
        {"chkAsyncDeli", "RO Async. Delivery"},
        {"cmbVarNames", "Variable Name"},
        {"lstVarOpt", "Option"},
        {"lstMessage", "Messages"},
        {"cmbVar", "Registered variables"},
        {"txtPut", "Value"},
        {"cmbPutType", "Value type"},
        {"txtTime_0", "Current Time"},
        {"txtTime_1", "Lookahead Time"},
        {"txtTime_2", "LBTS"},
        {"txtTime_3", "Next Event Time"},
    };
    Form f;
    for (const auto& [control, name] : names) {
        SCOPED_TRACE(control);
        EXPECT_EQ(f.control(control)->accessibleName(), name);
    }
}

TEST(FormState, LabelsPointAtTheControlTheyDescribe) {
    Form f;
    const std::pair<QLabel*, QWidget*> buddies[] = {
        {f.form.lblHLA_0, f.form.txtName},     {f.form.lblHLA_1, f.form.txtURL},
        {f.form.lblHLA_2, f.form.cmbTimePoli}, {f.form.lblHLA_3, f.form.cmbTimeAdv},
        {f.form.lblHLA_4, f.form.txtCurTime},  {f.form.lblHLA_5, f.form.txtLookah},
        {f.form.Label1, f.form.chkAsyncDeli},  {f.form.lblHLA_6, f.form.cmbVarNames},
        {f.form.lblHLA_7, f.form.lstVarOpt},   {f.form.lblHLA_8, f.form.txtTime_0},
        {f.form.lblHLA_9, f.form.txtTime_1},   {f.form.lblHLA_10, f.form.txtTime_2},
        {f.form.lblHLA_11, f.form.txtTime_3},
    };
    for (const auto& [label, control] : buddies) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_EQ(label->buddy(), control);
    }
}

// Buttons that share a caption must still be told apart by a screen reader.
TEST(FormState, ButtonsHaveDistinctAccessibleNames) {
    Form f;
    QSet<QString> seen;
    for (QAbstractButton* button : f.window.findChildren<QAbstractButton*>()) {
        const QString name =
            button->accessibleName().isEmpty() ? button->text() : button->accessibleName();
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_FALSE(name.isEmpty());
        EXPECT_FALSE(seen.contains(name));
        seen.insert(name);
    }
    EXPECT_EQ(f.form.cmdOpen->text(), "Add");
    EXPECT_EQ(f.form.cmdGetVar->text(), "Add");
    EXPECT_NE(f.form.cmdOpen->accessibleName(), f.form.cmdGetVar->accessibleName());
    EXPECT_NE(f.form.cmdClose->accessibleName(), f.form.cmdRelease->accessibleName());
}

// Presses Tab from the focused control and answers the control that has the focus next.
QString tabFrom(QWidget& window) {
    QWidget* current = window.focusWidget();
    if (current == nullptr) return "<none>";
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(current, &press);
    QWidget* next = window.focusWidget();
    return next == nullptr ? "<none>" : next->objectName();
}

const QStringList kTabOrder = {
    "txtName",      "txtURL",   "cmbTimePoli", "cmbTimeAdv",  "txtCurTime", "txtLookah",
    "chkAsyncDeli", "cmdOpen",  "cmdClose",    "cmbVarNames", "lstVarOpt",  "cmdGetVar",
    "chkSync",      "cmdClear", "lstMessage",  "cmbVar",      "txtPut",     "cmbPutType",
    "cmdRelease",   "cmdPut",   "cmdGet",      "txtTime_0",   "txtTime_1",  "txtTime_2",
    "txtTime_3",    "cmdVer"};

struct TabCase {
    const char* what;
    bool enableAll;
};

void PrintTo(const TabCase& c, std::ostream* os) {
    *os << c.what;
}

class TabOrder : public testing::TestWithParam<TabCase> {};

TEST_P(TabOrder, FollowsTheDescribedSequenceSkippingDisabledControls) {
    Form f;
    QStringList expected;
    for (const QString& name : kTabOrder) {
        QWidget* w = f.control(name);
        if (GetParam().enableAll) w->setEnabled(true);
        if (w->isEnabled()) expected << name;
    }
    f.window.show();
    f.window.activateWindow();
    QApplication::processEvents();
    // The window opens on the first control of the sequence.
    EXPECT_EQ(f.window.focusWidget(), f.form.txtName);

    f.form.txtName->setFocus();
    QStringList visited = {f.window.focusWidget()->objectName()};
    for (qsizetype i = 1; i < expected.size() + 1; ++i) visited << tabFrom(f.window);
    f.window.close();

    EXPECT_EQ(visited.mid(0, expected.size()), expected);
    EXPECT_EQ(visited.last(), expected.first());  // and round again
}

INSTANTIATE_TEST_SUITE_P(Form, TabOrder,
                         testing::Values(TabCase{"AtStart", false}, TabCase{"AllEnabled", true}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
