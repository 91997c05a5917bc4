#pragma once

#include "cao/Cao.h"
#include "platform/peer/PeerOptions.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <vector>

namespace peer {

// One controller of the HLA provider driven by the command line's options: it registers,
// writes, echoes, answers announcements and advances time, and hands each message's log
// line to `out` and each note on what it does to `note`.
class Peer : public QObject {
    Q_OBJECT
public:
    using Writer = std::function<void(const QString&)>;

    Peer(cao::EnginePtr engine, PeerOptions options, Writer out, Writer note);
    ~Peer() override;
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    // Opens the controller, registers the variables and makes the first writes (after the
    // delay, if one is given); the limit on the peer's life starts here. Throws cao::Error;
    // a failed start leaves nothing open.
    void start();
    // Removes the controller if it is open; later messages are not handled.
    void close();

    int receivedValues() const { return m_received; }
    int grants() const { return m_grants; }

signals:
    // The peer's work has ended with this exit status; it stays open until close().
    void finished(int exitStatus);

private:
    void firstWrites();
    void onMessage(const cao::MessagePtr& message);
    void printLine(const cao::MessagePtr& message, int32_t number);
    void echo(const cao::MessagePtr& message);
    void granted(double time);
    void requestAdvance(double time);
    cao::VariablePtr variable(const QString& name);
    void write(const QString& name, const cao::Variant& value);
    void finish(int exitStatus);

    cao::EnginePtr m_engine;
    PeerOptions m_options;
    Writer m_out;
    Writer m_note;
    cao::WorkspacePtr m_workspace;
    cao::ControllerPtr m_controller;
    // The variables written so far, so that an echo costs one call to the engine, not two.
    std::map<QString, cao::VariablePtr> m_variables;
    QTimer m_deadline;
    std::vector<bool> m_sent;
    int m_received = 0;
    int m_grants = 0;
    int m_advanceRetries = 0;
    bool m_finished = false;
};

}  // namespace peer
