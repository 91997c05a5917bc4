#include "DrivenWindow.h"

#include "support/MessageRecorder.h"

#include <QRegularExpression>

#include <algorithm>

namespace crossprocess {

DrivenWindow::DrivenWindow(const QProcessEnvironment& environment) {
    QProcessEnvironment shown = environment;
    shown.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_process.setProcessEnvironment(shown);
    m_process.start(QStringLiteral(TANDREL_WINDOW_PROCESS_PATH), {});
}

DrivenWindow::~DrivenWindow() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(peertest::kWaitBoundMs);
    }
}

bool DrivenWindow::run(const QString& command) {
    m_process.write((command + QLatin1Char('\n')).toLocal8Bit());
    const QString done = QStringLiteral("done ") + command.section(QLatin1Char(' '), 0, 0);
    return peertest::waitFor([&] { return read().contains(done); });
}

bool DrivenWindow::waitForLine(const QString& line) {
    return peertest::waitFor([&] { return read().contains(QStringLiteral("log ") + line); });
}

bool DrivenWindow::waitForLineStartingWith(const QString& prefix) {
    const QString wanted = QStringLiteral("log ") + prefix;
    return peertest::waitFor([&] {
        const QStringList& lines = read();
        return std::any_of(lines.begin(), lines.end(),
                           [&](const QString& line) { return line.startsWith(wanted); });
    });
}

QStringList DrivenWindow::boxes() {
    return read().filter(QRegularExpression(QStringLiteral("^box ")));
}

QString DrivenWindow::lastTimes() {
    const QStringList times = read().filter(QRegularExpression(QStringLiteral("^times ")));
    return times.isEmpty() ? QString() : times.last().mid(6);
}

const QStringList& DrivenWindow::read() {
    m_pending += m_process.readAllStandardOutput();
    qsizetype end = 0;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        m_lines << QString::fromLocal8Bit(m_pending.left(end));
        m_pending.remove(0, end + 1);
    }
    return m_lines;
}

}  // namespace crossprocess
