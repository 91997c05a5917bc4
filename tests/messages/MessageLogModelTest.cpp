// The log's storage: exact lines across its blocks, one insertion per batch, a full log, and
// a million lines in a list view.
#include "cao/Error.h"
#include "messages/MessageLogModel.h"
#include "support/TimerTick.h"

#include <QApplication>
#include <QListView>
#include <QScrollBar>

#include <gtest/gtest.h>

using messages::MessageLogModel;

namespace {

QString lineOf(int length, int seed) {
    QString line(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i) line[i] = QChar(u'a' + (i + seed) % 26);
    return line;
}

TEST(MessageLogModel, KeepsEveryLineExactlyAcrossBlockBoundaries) {
    // Lengths around the 32768-character block, a line longer than a block, empty lines and
    // characters outside the basic plane.
    std::vector<QString> appended;
    for (int length : {0, 1, 32767, 1, 32768, 32769, 100000, 0, 5, 32760, 20}) {
        appended.push_back(lineOf(length, static_cast<int>(appended.size())));
    }
    appended.push_back(QString::fromUtf8("Zeit \xF0\x9F\x95\x92 \xC3\xA4"));
    MessageLogModel model;
    for (const QString& line : appended) model.append(line);
    model.flush();
    ASSERT_EQ(model.rowCount(), static_cast<int>(appended.size()));
    for (int row = 0; row < model.rowCount(); ++row) {
        EXPECT_EQ(model.line(row), appended[row]) << "row " << row;
        EXPECT_EQ(model.index(row, 0).data().toString(), appended[row]) << "row " << row;
    }
}

TEST(MessageLogModel, ViewsLearnOfABatchOnceInOrder) {
    MessageLogModel model;
    std::vector<std::pair<int, int>> inserted;
    QObject::connect(
        &model, &QAbstractItemModel::rowsInserted,
        [&](const QModelIndex&, int first, int last) { inserted.emplace_back(first, last); });
    for (int i = 0; i < 100; ++i) model.append(QString::number(i));
    EXPECT_EQ(model.lineCount(), 100);
    EXPECT_EQ(model.rowCount(), 0) << "shown only when the event loop runs";
    QApplication::processEvents();
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0], std::make_pair(0, 99));
    model.append(QStringLiteral("100"));
    model.flush();
    QApplication::processEvents();
    ASSERT_EQ(inserted.size(), 2) << "a flush leaves nothing for the posted one to show";
    EXPECT_EQ(model.index(100, 0).data().toString(), "100");
    EXPECT_FALSE(model.index(0, 0).data(Qt::EditRole).isValid());
}

TEST(MessageLogModel, AFullLogRefusesTheLineAndClearMakesRoom) {
    MessageLogModel model(2);
    model.append(u"one");
    model.append(u"two");
    try {
        model.append(u"three");
        ADD_FAILURE() << "a full log took a line";
    } catch (const cao::Error& e) {
        EXPECT_TRUE(e.description().contains("full")) << e.what();
    }
    EXPECT_EQ(model.lineCount(), 2);
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    model.append(u"four");
    EXPECT_EQ(model.line(0), "four");
}

TEST(MessageLogModel, AMillionLinesStayScrollable) {
    constexpr int kLines = 1'000'000;
    MessageLogModel model;
    for (int i = 0; i < kLines; ++i) {
        model.append(QStringLiteral("%1 : 42 (3) : Time=%1, Source=abc").arg(i));
    }
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(400, 150);
    view.show();
    QApplication::processEvents();
    ASSERT_EQ(model.rowCount(), kLines);

    view.scrollToBottom();
    QApplication::processEvents();
    const QModelIndex last = model.index(kLines - 1, 0);
    EXPECT_TRUE(view.viewport()->rect().contains(view.visualRect(last)));
    EXPECT_EQ(view.indexAt(view.visualRect(last).center()), last);

    view.verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    EXPECT_EQ(view.indexAt(QPoint(2, 2)).row(), 0);
    EXPECT_EQ(view.indexAt(QPoint(2, 2)).data().toString(), "0 : 42 (3) : Time=0, Source=abc");

    // A long log batches more rarely, a quarter of a second apart, but a new line still
    // arrives without a flush: the batch's own timer brings it.
    model.append(u"one more");
    EXPECT_EQ(model.rowCount(), kLines);
    auto* batch = model.findChild<QTimer*>();
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(batch->interval(), 250);
    ASSERT_TRUE(tickNow(*batch)) << "nothing will bring the new line";
    EXPECT_EQ(model.index(kLines, 0).data().toString(), "one more");
    view.hide();
}

}  // namespace
