#pragma once

// A Tandrel window in a process of its own (tandrel_window_process), driven through its
// stdin and read from its stdout; killed by its PID at the end if it still runs.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace crossprocess {

class DrivenWindow {
public:
    explicit DrivenWindow(
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    ~DrivenWindow();
    DrivenWindow(const DrivenWindow&) = delete;
    DrivenWindow& operator=(const DrivenWindow&) = delete;

    // Runs a command; false when it was not done within the bound.
    bool run(const QString& command);
    // Waits for a log line, or one that starts with prefix; false when the bound passed first.
    bool waitForLine(const QString& line);
    bool waitForLineStartingWith(const QString& prefix);
    // The message boxes shown so far.
    QStringList boxes();
    // The four time boxes as last told ("times").
    QString lastTimes();
    // Everything it said so far, a line each.
    const QStringList& read();

private:
    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
};

}  // namespace crossprocess
