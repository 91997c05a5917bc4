#include "platform/provider/WaitWatch.h"

#include "cao/ProviderContract.h"
#include "platform/provider/Text.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace provider {

namespace {

WaitText describeAdvance(Federate& federate, double requested) {
    FederationView& view = federate.view();
    view.watch();
    AdvanceWait wait{text(federate.federationName()), federate.ownState(), requested};
    const std::optional<FederateRow> own = view.own(wait.self);
    std::optional<std::vector<FederateRow>> others;
    if (own) {
        others.emplace();
        for (const FederateRow& row : view.federates()) {
            if (row.object != own->object) others->push_back(row);
        }
    }
    return timeAdvanceWait(wait, others);
}

}  // namespace

QString currentWait(Federate& federate) {
    QStringList lines;
    if (const std::optional<double> requested = federate.pendingAdvance()) {
        lines << describeAdvance(federate, *requested).text;
    }
    FederationView& view = federate.view();
    for (const std::string& label : federate.announcedPoints()) {
        const bool asked = view.askPointStatus(label);
        const auto laggards = view.pointLaggards(label);
        if (asked && !laggards) continue;  // the answer is on its way
        if (laggards && laggards->empty()) continue;
        lines << pointWait(text(federate.federationName()), label, laggards);
    }
    for (const QString& unheard : federate.unheardWrites()) lines << unheard;
    return lines.join(QLatin1Char('\n'));
}

QString federateTable(Federate& federate) {
    FederationView& view = federate.view();
    view.watch();
    const FederateRow self = federate.ownState();
    const std::optional<FederateRow> own = view.own(self);
    std::vector<FederateRow> rows = view.federates();
    if (!own) rows.insert(rows.begin(), self);  // until the run-time reports it, or for good
    return federateLines(text(federate.federationName()), rows, federate.pendingAdvance(),
                         own ? own : std::optional<FederateRow>(self));
}

WaitWatch::WaitWatch(std::shared_ptr<Federate> federate, std::chrono::milliseconds bound)
    : m_federate(std::move(federate)), m_bound(bound), m_writes(*m_federate, bound) {
    m_timer.setInterval(kCheckPeriod);
    QObject::connect(&m_timer, &QTimer::timeout, &m_home, [this] { check(); });
}

void WaitWatch::start() {
    if (m_bound.count() > 0) m_timer.start();
}

void WaitWatch::check() {
    if (!m_federate->isOpen()) return;
    const auto now = std::chrono::steady_clock::now();
    try {
        checkAdvance(now);
        checkPoints(now);
        m_writes.check(now);
    } catch (const std::exception&) {
        // A run-time out of reach has its own message; the next check tries again.
    }
}

void WaitWatch::checkPoints(std::chrono::steady_clock::time_point now) {
    Federate& f = *m_federate;
    const std::vector<std::string>& announced = f.announcedPoints();
    std::erase_if(m_points, [&](const auto& entry) {
        return std::find(announced.begin(), announced.end(), entry.first) == announced.end();
    });
    FederationView& view = f.view();
    for (const std::string& label : announced) {
        PointWait& wait =
            m_points.try_emplace(label, PointWait{now, std::nullopt, {}}).first->second;
        if (now - wait.since < m_bound) continue;
        bool answerable = true;
        if (!wait.asked || now - *wait.asked >= kAskPeriod) {
            answerable = view.askPointStatus(label);
            wait.asked = now;
        }
        const auto laggards = view.pointLaggards(label);
        if (!laggards && (answerable || now - wait.since < m_bound + kReportGrace)) continue;
        if (laggards && laggards->empty()) continue;
        const bool unnamed =
            laggards && std::find(laggards->begin(), laggards->end(), "") != laggards->end();
        if (unnamed && now - view.watchingSince() < kReportGrace) continue;
        const QString report = pointWait(text(f.federationName()), label, laggards);
        if (report == wait.reported) continue;
        wait.reported = report;
        f.raise(cao::contract::message::WaitReport, cao::Variant::fromString(report),
                QLatin1String(cao::contract::variable::kSyncPoint));
    }
}

void WaitWatch::checkAdvance(std::chrono::steady_clock::time_point now) {
    Federate& f = *m_federate;
    const std::optional<double> requested = f.pendingAdvance();
    if (requested != m_waitingFor) {
        m_waitingFor = requested;
        m_since = now;
        m_reported.clear();
    }
    if (!requested) return;
    // Asked at once, so that the run-time's reports are in by the time the bound passes.
    FederationView& view = f.view();
    view.watch();
    if (now - m_since < m_bound) return;
    const bool reported = !view.federates().empty();
    if (view.watching() && !reported && now - view.watchingSince() < kReportGrace) return;
    const WaitText report = describeAdvance(f, *requested);
    if (report.key == m_reported) return;
    m_reported = report.key;
    f.raise(cao::contract::message::WaitReport, cao::Variant::fromString(report.text),
            QLatin1String(cao::contract::variable::kAdvanceTime));
}

}  // namespace provider
