#pragma once

// The test process and tandrel-peer child processes in one federation through a running
// RTI server. The tests need a build with the HLA 1.3 run-time and the server's address in
// TANDREL_TEST_RTI_ADDRESS; without them they skip, or fail when TANDREL_TEST_REQUIRE_HLA13=1.
// With TANDREL_TEST_CROSS=bus the same tests meet instead through one engine process on the
// session bus, its embedded run-time shared by all its clients (TANDREL_TEST_REQUIRE_BUS=1
// makes a missing bus a failure). With TANDREL_TEST_CROSS=mixed the test process joins through
// the IEEE 1516-2010 link and the peers through the HLA 1.3 link, in one federation of one RTI
// (TANDREL_TEST_REQUIRE_HLA1516E=1 makes a missing link or server a failure).

#include "app/EngineChoice.h"
#include "support/MessageRecorder.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace crossprocess {

// Whether the processes meet through the engine on the session bus rather than an RTI.
bool overBus();
// Whether the test process joins through the 1516-2010 link while its peers use the 1.3 one.
bool mixedInterfaces();
// The bus name of this test process's engine.
QString engineService();

// Why these tests cannot run here, or nothing when they can.
std::optional<QString> missingRti();
bool rtiRequired();
QString rtiAddress();
// The RTI server program, for the tests that start and kill their own; empty when unknown.
QString rtinodePath();
// A loopback port that nothing listened on a moment ago.
int unusedLoopbackPort();

// Points this process's provider at the RTI server at address.
void chooseRunTime(const QString& address);

// Writes numbered values ("<stem> 1", "<stem> 2", ...) now and then until done() holds:
// through an RTI server a write reaches only the subscribers the writer already knows of.
// False when the bound passed first.
bool writeUntil(const std::function<void(const QString&)>& write, const QString& stem,
                const std::function<bool()>& done);

// A tandrel-peer child process, killed by its PID if it is still running at the end.
class PeerProcess {
public:
    PeerProcess(const QStringList& args, const QString& address);
    // With an environment of its own, in a working directory of its own.
    PeerProcess(const QStringList& args, const QProcessEnvironment& environment,
                const QString& workingDirectory);
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Waits for the peer's "ready" note; false when it ended or the bound passed first.
    bool waitReady();
    bool waitForLine(const QString& line);
    bool waitForNote(const QString& note);
    bool hasLine(const QString& line) const { return m_lines.contains(line); }
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    const QStringList& lines() const { return m_lines; }
    QString transcript() const;
    // SIGTERM and a bounded wait for the end; the exit status, or nothing when it hung.
    std::optional<int> terminate();
    // A bounded wait for the end it comes to by itself; the exit status, or nothing when it
    // did not end or crashed.
    std::optional<int> waitForEnd();
    const QStringList& notes() const { return m_notes; }
    void kill();

private:
    void start(const QStringList& args);
    void readOutput();

    QProcess m_process;
    QStringList m_lines;
    QStringList m_notes;
    QByteArray m_outPending;
    QByteArray m_errPending;
};

}  // namespace crossprocess

// First statement of every test that needs the RTI server.
#define TANDREL_REQUIRE_RTI()                                                 \
    do {                                                                      \
        if (const auto reason = crossprocess::missingRti()) {                 \
            if (crossprocess::rtiRequired()) FAIL() << reason->toStdString(); \
            GTEST_SKIP() << reason->toStdString();                            \
        }                                                                     \
    } while (false)
