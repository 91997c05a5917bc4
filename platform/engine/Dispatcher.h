#pragma once

#include <QObject>

#include <deque>
#include <functional>

namespace engine {

// Runs queued work from the event loop: one item at a time, in the order queued, in slices
// that return to the event loop at least every sliceMs so the window keeps painting during
// a flood. Work that opens a nested event loop (a modal box) holds back the next item until
// it returns, so handlers never overlap.
class Dispatcher : public QObject {
    Q_OBJECT
public:
    explicit Dispatcher(int sliceMs = 5, QObject* parent = nullptr);

    void post(std::function<void()> work);
    size_t pending() const noexcept { return m_queue.size(); }
    // Runs everything queued now, for tests and shutdown; respects the one-at-a-time rule.
    void runAll();

private:
    void schedule();
    void runSlice();

    std::deque<std::function<void()>> m_queue;
    int m_sliceMs;
    bool m_scheduled = false;
    bool m_running = false;
};

}  // namespace engine
