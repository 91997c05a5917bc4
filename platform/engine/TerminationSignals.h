#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace engine {

// Turns SIGINT and SIGTERM into a Qt signal, so the headless programs on the engine close
// their controllers before they end. One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Throws cao::Error when the signals cannot be caught.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace engine
