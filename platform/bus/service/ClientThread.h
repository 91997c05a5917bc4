#pragma once

#include "platform/bus/service/EngineObject.h"

#include <QDBusMessage>
#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace bus::service {

// One client's engine object served on a thread of its own: a call that waits on the
// client's RTI holds up that client only, while the engine goes on serving the others. The
// engine object is made, used and destroyed on the thread, in the order calls arrive.
class ClientThread {
public:
    using Make = std::function<std::unique_ptr<EngineObject>()>;
    using Send = std::function<void(const QDBusMessage&)>;
    using Answer = std::function<QDBusMessage(EngineObject&, const QDBusMessage&)>;

    // make runs on the new thread.
    explicit ClientThread(Make make, Answer answer);
    // Waits for the thread no longer than finish() allows; see finish.
    ~ClientThread();
    ClientThread(const ClientThread&) = delete;
    ClientThread& operator=(const ClientThread&) = delete;

    // Answers the call on the client's thread; the reply goes out through send (safe to call
    // from any thread), unless the caller wants none.
    void post(const QDBusMessage& call, const Send& send);
    // Closes the engine object (its controllers close) on its thread and ends the thread,
    // without waiting for it. lost: its client is gone, and its controllers are lost for it.
    void finish(const std::optional<QString>& lost = std::nullopt);
    // Waits at most timeoutMs for the thread to end; true when it has.
    bool wait(int timeoutMs);
    bool finished() const { return m_thread.isFinished(); }

    int controllerCount() const { return m_controllers.load(); }

private:
    QThread m_thread;
    QObject* m_home;  // lives on m_thread; calls are queued to it
    Answer m_answer;
    std::unique_ptr<EngineObject> m_engine;  // touched on m_thread only
    std::atomic<int> m_controllers{0};
    bool m_finishing = false;
};

// How many client threads have not ended yet, in the whole process: a program about to exit
// with some still waiting on an RTI ends without waiting for them.
int runningClientThreads();

}  // namespace bus::service
