// A Tandrel window in a process of its own, on the engine the program chooses, driven by
// commands on stdin, one a line, and telling on stdout what it shows:
//   name TEXT | timepolicy ROW | open | register NAME | put NAME ROW TEXT | tick | times | close
// Each command ends with "done COMMAND"; new log lines come as "log LINE", message boxes as
// "box TEXT", the four time boxes (after "times") as "times T0|T1|T2|T3". It ends when its
// stdin does, so a closed controller can be opened again.
#include "app/EngineChoice.h"
#include "app/frmMain.h"
#include "messages/MessageLogModel.h"
#include "support/RecordingMessageBox.h"
#include "support/TimerTick.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QSocketNotifier>

#include <unistd.h>

#include <cstdio>

namespace {

void say(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class Driver {
public:
    explicit Driver(frmMain& window, RecordingMessageBox& boxes)
        : m_window(window), m_boxes(boxes) {}

    void run(const QString& line) {
        const QString command = line.section(' ', 0, 0);
        const QString rest = line.section(' ', 1);
        Ui::frmMain& form = m_window.form();
        if (command == "name") {
            form.txtName->setText(rest);
        } else if (command == "timepolicy") {
            form.cmbTimePoli->setCurrentIndex(rest.toInt());
        } else if (command == "open") {
            form.cmdOpen->click();
        } else if (command == "register") {
            form.cmbVarNames->setEditText(rest);
            form.cmdGetVar->click();
        } else if (command == "put") {
            form.cmbVar->setCurrentIndex(form.cmbVar->findText(rest.section(' ', 0, 0)));
            form.cmbPutType->setCurrentIndex(rest.section(' ', 1, 1).toInt());
            form.txtPut->setText(rest.section(' ', 2));
            form.cmdPut->click();
        } else if (command == "tick") {
            tickNow(m_window.timer());
        } else if (command == "times") {
            say("times " + form.txtTime_0->text() + "|" + form.txtTime_1->text() + "|" +
                form.txtTime_2->text() + "|" + form.txtTime_3->text());
        } else if (command == "close") {
            form.cmdClose->click();
        }
        for (const QString& text : m_boxes.shown) say("box " + text);
        m_boxes.shown.clear();
        say("done " + command);
    }

    void reportLog() {
        auto* log = qobject_cast<messages::MessageLogModel*>(m_window.form().lstMessage->model());
        for (; m_reported < log->lineCount(); ++m_reported) say("log " + log->line(m_reported));
    }

private:
    frmMain& m_window;
    RecordingMessageBox& m_boxes;
    qsizetype m_reported = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    RecordingMessageBox boxes;
    frmMain window(boxes);
    try {
        window.load(app::createEngine);
    } catch (const cao::Error& e) {
        say("box " + e.description());
        return 1;
    }
    window.show();
    Driver driver(window, boxes);
    auto* log = window.form().lstMessage->model();
    QObject::connect(log, &QAbstractItemModel::rowsInserted, [&] { driver.reportLog(); });
    QObject::connect(log, &QAbstractItemModel::modelReset, [&] { driver.reportLog(); });

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            QApplication::quit();  // the test has gone
            return;
        }
        pending.append(buffer, n);
        qsizetype end = 0;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromLocal8Bit(pending.left(end));
            pending.remove(0, end + 1);
            driver.run(line);
        }
    });
    return QApplication::exec();
}
