#include "FormFixture.h"
#include "ui/ProgramFont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using ui::test::Form;

// With the program's font every caption is shown whole at the fixed geometry.
TEST(CaptionFit, EveryCaptionFitsItsControlInTheProgramFont) {
    Form f;
    f.window.setFont(ui::programFont());
    QStringList clipped;
    auto check = [&](QWidget* w, int needed) {
        if (needed > w->width()) {
            clipped << QString("%1 needs %2 px, has %3")
                           .arg(w->objectName())
                           .arg(needed)
                           .arg(w->width());
        }
    };
    for (QLabel* label : f.window.findChildren<QLabel*>()) check(label, label->sizeHint().width());
    for (QCheckBox* box : f.window.findChildren<QCheckBox*>()) {
        if (!box->text().isEmpty()) check(box, box->sizeHint().width());
    }
    for (QPushButton* button : f.window.findChildren<QPushButton*>()) {
        // A button's size hint has a style minimum; what matters is the caption and padding.
        check(button, button->fontMetrics().horizontalAdvance(button->text()) + 12);
    }
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join("\n").toStdString();
}

TEST(CaptionFit, ClosedDropDownListsShowTheirLongestRowWhole) {
    Form f;
    f.window.setFont(ui::programFont());
    for (QComboBox* box : f.window.findChildren<QComboBox*>()) {
        int widest = 0;
        for (int row = 0; row < box->count(); ++row) {
            widest = std::max(widest, box->fontMetrics().horizontalAdvance(box->itemText(row)));
        }
        // The arrow and the frame take about 24 px of a closed box.
        EXPECT_LE(widest + 24, box->width()) << box->objectName().toStdString();
    }
}
