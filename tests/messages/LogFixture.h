#pragma once

#include "FakeMessage.h"
#include "messages/MessageLog.h"
#include "messages/MessageLogModel.h"
#include "support/RecordingMessageBox.h"

#include <QCheckBox>
#include <QListView>
#include <QLocale>

#include <gtest/gtest.h>

inline const QString kUnknownType = QStringLiteral("Unknown Data Type");
inline const QString kAnnouncement = QStringLiteral(
    "I caught the announceSynchronizationPoint Event. Then I will call the "
    "synchronizationPointAchieved().");

// A message log on its own check box and list, with every box and acknowledgement written
// into one journal in the order they happen; a box also notes how many lines the log held.
class LogTest : public ::testing::Test {
protected:
    LogTest() {
        chkSync.setChecked(true);
        boxes.onShow = [this](const QString& text) {
            journal << QStringLiteral("box %1 (lines=%2)")
                           .arg(text == kAnnouncement ? QStringLiteral("announcement") : text)
                           .arg(log.model().lineCount());
        };
    }

    void SetUp() override {
        if (QLocale::system().decimalPoint() != QLatin1String(".")) {
            GTEST_SKIP() << "the expected lines write 1.5 with a decimal point";
        }
    }

    std::shared_ptr<FakeMessage> message(int32_t number) {
        auto m = fakeMessage(number);
        m->journal = &journal;
        return m;
    }

    QStringList lines() {
        QStringList result;
        for (qsizetype i = 0; i < log.model().lineCount(); ++i) result << log.model().line(i);
        return result;
    }

    QCheckBox chkSync;
    QListView lstMessage;
    RecordingMessageBox boxes;
    QStringList journal;
    messages::MessageLog log{{&chkSync, &lstMessage}, boxes};
};
