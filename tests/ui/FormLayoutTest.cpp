#include "FormFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSet>

namespace {

using ui::test::Form;

// Twips to pixels at 15 twips a pixel, to the nearest pixel.
int px(int twips) {
    return (twips * 2 + 15) / 30;
}

struct Placement {
    const char* name;
    const char* container;  // the frame, or "frmMain" for the client area
    int left, top, width, height;
};

constexpr Placement kPlacements[] = {
    {"fraCtrls", "frmMain", 120, 120, 7215, 3015},
    {"fraVars", "frmMain", 7560, 120, 5175, 3735},
    {"fraCtrl", "frmMain", 120, 3240, 7215, 2655},
    {"fraVar", "frmMain", 7560, 3960, 5175, 1935},
    {"fraMonitor", "frmMain", 120, 6000, 11295, 1095},
    {"cmdVer", "frmMain", 11640, 6000, 1095, 1095},
    {"lblHLA_0", "fraCtrls", 240, 390, 1935, 255},
    {"txtName", "fraCtrls", 2280, 360, 4695, 270},
    {"lblHLA_1", "fraCtrls", 240, 750, 1935, 255},
    {"txtURL", "fraCtrls", 2280, 720, 4695, 270},
    {"lblHLA_2", "fraCtrls", 240, 1140, 1935, 255},
    {"cmbTimePoli", "fraCtrls", 2280, 1080, 4695, 300},
    {"lblHLA_3", "fraCtrls", 240, 1500, 1935, 255},
    {"cmbTimeAdv", "fraCtrls", 2280, 1470, 4695, 300},
    {"lblHLA_4", "fraCtrls", 240, 1920, 1935, 255},
    {"txtCurTime", "fraCtrls", 2280, 1860, 1095, 270},
    {"lblHLA_5", "fraCtrls", 240, 2280, 1935, 255},
    {"txtLookah", "fraCtrls", 2280, 2220, 1095, 270},
    {"Label1", "fraCtrls", 240, 2640, 1935, 315},
    {"chkAsyncDeli", "fraCtrls", 2280, 2610, 200, 255},
    {"cmdOpen", "fraCtrls", 3960, 2400, 1455, 375},
    {"cmdClose", "fraCtrls", 5520, 2400, 1455, 375},
    {"lblHLA_6", "fraVars", 240, 360, 1935, 255},
    {"cmbVarNames", "fraVars", 240, 600, 4695, 300},
    {"lblHLA_7", "fraVars", 240, 1080, 1935, 255},
    {"lstVarOpt", "fraVars", 240, 1320, 4695, 1110},
    {"cmdGetVar", "fraVars", 3480, 2520, 1455, 375},
    {"lblHLA_12", "fraVars", 240, 2850, 735, 255},
    {"lblHLA_13", "fraVars", 360, 3120, 4695, 255},
    {"lblHLA_14", "fraVars", 360, 3360, 4695, 255},
    {"chkSync", "fraCtrl", 240, 360, 4695, 375},
    {"cmdClear", "fraCtrl", 6000, 360, 975, 375},
    {"lstMessage", "fraCtrl", 240, 840, 6735, 1680},
    {"cmbVar", "fraVar", 240, 480, 4695, 300},
    {"txtPut", "fraVar", 240, 900, 3255, 270},
    {"cmbPutType", "fraVar", 3600, 900, 1335, 300},
    {"cmdRelease", "fraVar", 240, 1320, 1455, 375},
    {"cmdPut", "fraVar", 1920, 1320, 1455, 375},
    {"cmdGet", "fraVar", 3480, 1320, 1455, 375},
    {"lblHLA_8", "fraMonitor", 120, 510, 1575, 255},
    {"txtTime_0", "fraMonitor", 1800, 480, 1095, 270},
    {"lblHLA_9", "fraMonitor", 3000, 510, 1575, 255},
    {"txtTime_1", "fraMonitor", 4680, 480, 1095, 270},
    {"lblHLA_10", "fraMonitor", 5400, 510, 1575, 255},
    {"txtTime_2", "fraMonitor", 7080, 480, 1095, 270},
    {"lblHLA_11", "fraMonitor", 8280, 510, 1575, 255},
    {"txtTime_3", "fraMonitor", 9960, 480, 1095, 270},
};

TEST(FormLayout, WindowHasFixedClientAreaAndCaption) {
    Form f;
    EXPECT_EQ(f.window.size(), QSize(859, 481));
    EXPECT_EQ(f.window.minimumSize(), QSize(859, 481));
    EXPECT_EQ(f.window.maximumSize(), QSize(859, 481));
    EXPECT_EQ(f.window.windowTitle(), "Tandrel on ORiN");
}

TEST(FormLayout, EveryControlSitsWhereDescribed) {
    Form f;
    for (const Placement& p : kPlacements) {
        SCOPED_TRACE(p.name);
        QWidget* w = f.control(p.name);
        ASSERT_NE(w, nullptr);
        ASSERT_NE(w->parentWidget(), nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), p.container);
        EXPECT_EQ(w->geometry(), QRect(px(p.left), px(p.top), px(p.width), px(p.height)));
    }
}

// Nothing more and nothing less than the described controls, each in its own container.
TEST(FormLayout, ContainersHoldExactlyTheDescribedControls) {
    Form f;
    QMap<QString, QSet<QString>> expected;
    for (const Placement& p : kPlacements) expected[p.container].insert(p.name);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        QWidget* container = it.key() == "frmMain" ? &f.window : f.control(it.key());
        ASSERT_NE(container, nullptr);
        QSet<QString> actual;
        for (QWidget* child :
             container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            actual.insert(child->objectName());
        }
        EXPECT_EQ(actual, it.value());
    }
    EXPECT_EQ(std::size(kPlacements), 47u);  // 48 controls less the timer, which has no place
}

TEST(FormLayout, ControlsLieInsideTheirContainers) {
    Form f;
    for (const Placement& p : kPlacements) {
        QWidget* w = f.control(p.name);
        SCOPED_TRACE(p.name);
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()));
    }
}

QString caption(QWidget* w) {
    if (auto* box = qobject_cast<QGroupBox*>(w)) return box->title();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    return "<no caption>";
}

TEST(FormLayout, CaptionsAndInitialTexts) {
    const std::pair<const char*, const char*> captions[] = {
        {"fraCtrls", "<CaoControllers>"},
        {"fraVars", "<CaoVariables>"},
        {"fraCtrl", "<CaoController>"},
        {"fraVar", "<CaoVariable>"},
        {"fraMonitor", "* Time Monitoring"},
        {"lblHLA_0", "Federate Name : "},
        {"txtName", "ChatRoom.Chat"},
        {"lblHLA_1", ".fed URL : "},
        {"txtURL", "file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed"},
        {"lblHLA_2", "Time Policy : "},
        {"lblHLA_3", "Time Advance Policy : "},
        {"lblHLA_4", "Current Time : "},
        {"txtCurTime", "0.0"},
        {"lblHLA_5", "Lookahead Time : "},
        {"txtLookah", "0.5"},
        {"Label1", "RO Async. Delivery : "},
        {"chkAsyncDeli", ""},
        {"cmdOpen", "Add"},
        {"cmdClose", "Remove"},
        {"lblHLA_6", "Variable Name : "},
        {"lblHLA_7", "Option : "},
        {"cmdGetVar", "Add"},
        {"lblHLA_12", "Syntax : "},
        {"lblHLA_13", "<InteractionPath>.<ParameterName>[#<DataType>]"},
        {"lblHLA_14", "<ClassPath>.<AttributeName>!<ObjectName>[#<DataType>]"},
        {"chkSync", "Auto Response to announceSynchronizationPoint Event"},
        {"cmdClear", "CLEAR"},
        {"txtPut", "Text1"},
        {"cmdRelease", "Remove"},
        {"cmdPut", "put_Value"},
        {"cmdGet", "get_Value"},
        {"lblHLA_8", "Current Time : "},
        {"txtTime_0", "0.0"},
        {"lblHLA_9", "Lookahead Time : "},
        {"txtTime_1", "0.0"},
        {"lblHLA_10", "LBTS : "},
        {"txtTime_2", "0.0"},
        {"lblHLA_11", "Next Event Time : "},
        {"txtTime_3", "0.0"},
        {"cmdVer", "Version"},
    };
    Form f;
    for (const auto& [name, text] : captions) {
        SCOPED_TRACE(name);
        QWidget* w = f.control(name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(caption(w), QString::fromUtf8(text));
    }
}

// Captions such as "<CaoControllers>" must show their angle brackets, not vanish as markup.
TEST(FormLayout, LabelsShowTheirTextLiterally) {
    Form f;
    for (QLabel* label : f.window.findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
}

TEST(FormLayout, RightAlignedLabels) {
    const QSet<QString> rightAligned = {"lblHLA_0", "lblHLA_1",  "lblHLA_2", "lblHLA_3",
                                        "lblHLA_4", "lblHLA_5",  "Label1",   "lblHLA_8",
                                        "lblHLA_9", "lblHLA_10", "lblHLA_11"};
    Form f;
    for (QLabel* label : f.window.findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        const Qt::Alignment horizontal = label->alignment() & Qt::AlignHorizontal_Mask;
        EXPECT_EQ(bool(horizontal & Qt::AlignRight), rightAligned.contains(label->objectName()));
    }
}

QStringList rows(QWidget* list) {
    QStringList texts;
    if (auto* combo = qobject_cast<QComboBox*>(list)) {
        for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    } else if (auto* view = qobject_cast<QAbstractItemView*>(list)) {
        // A view without a model has no rows.
        for (int i = 0; view->model() && i < view->model()->rowCount(); ++i) {
            texts << view->model()->index(i, 0).data().toString();
        }
    }
    return texts;
}

TEST(FormLayout, ListRowsInOrder) {
    const std::pair<const char*, QStringList> lists[] = {
        {"cmbTimePoli",
         {"0 - neither REGULATING nor CONSTRAINED (default)", "1 - REGULATING", "2 - CONSTRAINED",
          "3 - REGULATING and CONSTRAINED"}},
        {"cmbTimeAdv",
         {"0 - Time Step Advance (default)", "1 - Event-Based Advance", "2 - Optimistic Advance"}},
        {"cmbVarNames",
         {"@CURRENT_TIME", "@ADVANCE_TIME", "@LOOKAHEAD", "@LBTS", "@NEXTEVENT_TIME", "@SYNC_POINT",
          "InteractionRoot.Communication.Message", "InteractionRoot.TSCommunication.Message",
          "ObjectRoot.myClass.myAttr!ABC"}},
        {"lstVarOpt",
         {" 1 - No OnMessage Event [ Interaction ]", " 2 - Create Object [ Object ]",
          " 4 - Big-endian Conversion [ Interaction, Object ]",
          " 8 - No attributeOwnershipReleaseResponse [ Object ]",
          "16 - Orphaned Ownership [ Object ]", "32 - No Publishing [ Interaction, Object ]",
          "64 - No Subscribing [ Interaction, Object ]"}},
        {"cmbPutType",
         {"11 - VT_BOOL", "17 - VT_UI1", "2 - VT_I2", "3 - VT_I4", "4 - VT_R4", "5 - VT_R8",
          "7 - VT_DATE", "8 - VT_BSTR"}},
        {"cmbVar", {}},
        {"lstMessage", {}},
    };
    Form f;
    for (const auto& [name, expected] : lists) {
        SCOPED_TRACE(name);
        QWidget* w = f.control(name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(rows(w), expected);
    }
}

TEST(FormLayout, NoFontIsSetAnywhere) {
    Form f;
    EXPECT_FALSE(f.window.testAttribute(Qt::WA_SetFont));
    for (QWidget* w : f.window.findChildren<QWidget*>()) {
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_FALSE(w->testAttribute(Qt::WA_SetFont));
    }
}

// "LBTS : " reaches into the monitor box left of it; the label must lie beneath the box.
TEST(FormLayout, OverlappingLabelDoesNotCoverTheBoxBeside) {
    Form f;
    QWidget* box = f.control("txtTime_1");
    QWidget* label = f.control("lblHLA_10");
    ASSERT_TRUE(box->geometry().intersects(label->geometry()));
    const QPoint inOverlap = box->geometry().intersected(label->geometry()).center();
    EXPECT_EQ(f.control("fraMonitor")->childAt(inOverlap), box);
}

}  // namespace
