#include "messages/MessageLogModel.h"

#include <QMetaObject>

namespace messages {

namespace {

// A list view lays out all its rows again after each insertion, at some 30 ns a row, so the
// longer the log the rarer the batches: the view then spends about a tenth of a flood's time
// on layout whatever the length, and a million rows wait at most a quarter of a second.
constexpr int kRowsPerMillisecond = 4000;

}  // namespace

MessageLogModel::MessageLogModel(qsizetype maxLines, QObject* parent)
    : QAbstractListModel(parent), m_lines(maxLines) {
    // A child, so that the batching of a long log can be seen and driven from outside.
    m_flushTimer.setParent(this);
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, &MessageLogModel::flush);
}

int MessageLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shown;
}

QVariant MessageLogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_shown) return {};
    return m_lines.at(index.row()).toString();
}

void MessageLogModel::append(QStringView line) {
    m_lines.append(line);
    scheduleFlush();
}

void MessageLogModel::scheduleFlush() {
    if (m_flushPosted || m_flushTimer.isActive()) return;
    if (const int wait = m_shown / kRowsPerMillisecond; wait > 0) {
        m_flushTimer.start(wait);
        return;
    }
    m_flushPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_flushPosted = false;
            flush();
        },
        Qt::QueuedConnection);
}

void MessageLogModel::flush() {
    m_flushTimer.stop();
    const auto total = static_cast<int>(m_lines.size());
    if (total == m_shown) return;
    beginInsertRows({}, m_shown, total - 1);
    m_shown = total;
    endInsertRows();
}

void MessageLogModel::clear() {
    beginResetModel();
    m_flushTimer.stop();
    m_lines.clear();
    m_shown = 0;
    endResetModel();
}

}  // namespace messages
