#pragma once

#include "platform/provider/Federate.h"
#include "platform/provider/WaitReport.h"
#include "platform/provider/WriteWatch.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>
#include <optional>

namespace provider {

// The answer to "why is it waiting?" for one federate: what holds its time advance and its
// synchronisation points, a line each, or "" while nothing waits.
QString currentWait(Federate& federate);
// The federation's federates, one line each, as the run-time reports them.
QString federateTable(Federate& federate);

// Raises message 6 when a wait outlasts its bound, naming what holds it; again only when
// that changes, and never once the wait is over. Writes nobody hears are watched with it.
class WaitWatch {
public:
    // How often a wait is looked at: the report comes at most this much after its bound.
    static constexpr std::chrono::milliseconds kCheckPeriod{250};
    static constexpr std::chrono::milliseconds kDefaultBound{3000};
    // How long the run-time gets to report its federates once asked before the report says
    // that it does not.
    static constexpr std::chrono::milliseconds kReportGrace{2000};
    // How often the run-time is asked who has achieved a point that keeps waiting.
    static constexpr std::chrono::milliseconds kAskPeriod{1000};

    // bound 0: never report.
    WaitWatch(std::shared_ptr<Federate> federate, std::chrono::milliseconds bound);

    void start();
    void stop() { m_timer.stop(); }

private:
    struct PointWait {
        std::chrono::steady_clock::time_point since;
        std::optional<std::chrono::steady_clock::time_point> asked;
        QString reported;  // the last report of this point
    };

    void check();
    void checkAdvance(std::chrono::steady_clock::time_point now);
    void checkPoints(std::chrono::steady_clock::time_point now);

    std::shared_ptr<Federate> m_federate;
    std::chrono::milliseconds m_bound;
    QObject m_home;
    QTimer m_timer;
    std::optional<double> m_waitingFor;  // the advance being watched
    std::chrono::steady_clock::time_point m_since;
    QString m_reported;  // the key of the last report of this wait
    std::map<std::string, PointWait> m_points;
    WriteWatch m_writes;
};

}  // namespace provider
