#pragma once

#include "messages/LineStore.h"

#include <QAbstractListModel>
#include <QString>
#include <QStringView>
#include <QTimer>

namespace messages {

// The lines of the message log as a list model: append-only, compact, and cheap to feed at
// a flood's pace. Appended lines reach attached views in batches, as one insertion each: on
// the next pass of the event loop while the log is short, at most about a quarter of a
// second later when it holds a million lines (or at once on flush()). Their order is always
// the order of appending.
class MessageLogModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit MessageLogModel(qsizetype maxLines = LineStore::kMaxLines, QObject* parent = nullptr);

    // Rows that views have been told about.
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Throws cao::Error when the log can take no more lines; then nothing is added.
    void append(QStringView line);
    void clear();
    // Tells views now about every line appended so far.
    void flush();

    // Every appended line, shown or still on its way to the views.
    qsizetype lineCount() const noexcept { return m_lines.size(); }
    QString line(qsizetype row) const { return m_lines.at(row).toString(); }

private:
    void scheduleFlush();

    LineStore m_lines;
    int m_shown = 0;
    bool m_flushPosted = false;
    QTimer m_flushTimer;
};

}  // namespace messages
