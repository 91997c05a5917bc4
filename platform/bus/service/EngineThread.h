#pragma once

#include "platform/bus/service/EngineService.h"

#include <QString>
#include <QThread>

#include <memory>

namespace bus::service {

class BusObject;

// An engine service on a thread and a bus connection of its own, under a bus name of its
// own: the engine's side of the bus in this process, for tests and benchmarks.
class EngineThread {
public:
    // Whether clients may connect to the engine directly, with a channel beside their peer
    // connection or without, or call it over the bus only.
    enum class Peers { Taken, WithoutChannel, BusOnly };

    // factory runs on the engine's thread. Serves the bus name given, or one of its own when
    // none is. Throws cao::Error when there is no session bus or the name cannot be taken.
    explicit EngineThread(EngineService::EngineFactory factory, QString service = {},
                          Peers peers = Peers::Taken);
    ~EngineThread();
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;

    const QString& service() const noexcept { return m_service; }
    // Engine objects held by clients now.
    size_t clientCount() const;

private:
    struct Parts;

    QString m_service;
    QString m_connectionName;
    QThread m_thread;
    std::unique_ptr<Parts> m_parts;  // lives on m_thread
};

}  // namespace bus::service
