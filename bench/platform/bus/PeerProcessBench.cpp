// Two tandrel-peer processes with --echo play ping-pong through a tandrel-engine process, as
// an engineer's two terminals would; and the baseline every figure of the engine's path is
// held against, a blocking 64-byte round trip over a Unix socket between two processes.

#include "bench/platform/bus/EngineProcess.h"
#include "bench/platform/bus/SocketBaseline.h"
#include "bench/support/BenchSupport.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using bench::EngineProcess;
using bench::Path;

const QString kMessage = QStringLiteral("InteractionRoot.Communication.Message");
// Each peer ends by itself this long after it started, should the bench not stop it.
const QString kPeerExitAfterSeconds = QStringLiteral("120");
constexpr int kRoundsBoundMs = 120000;
// The pinging peer's first write waits this long after its opening, for the other's
// subscription to be known.
const QString kPingDelaySeconds = QStringLiteral("0.5");
// The start of the line a peer prints for an interaction it received.
const QByteArray kReceivedLine = "3 : ";

// A peer's line-by-line output, counting the interactions it received.
class PeerOutput {
public:
    explicit PeerOutput(QProcess& process) : m_process(process) {
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { read(); });
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { m_errors.append(m_process.readAllStandardError()); });
    }
    int received() const { return m_received; }
    // When the first interaction arrived.
    const QElapsedTimer& sinceFirst() const { return m_sinceFirst; }
    bool noted(const QByteArray& note) const { return m_errors.contains(note); }
    void forgetNotes() { m_errors.clear(); }

private:
    void read() {
        m_partial.append(m_process.readAllStandardOutput());
        qsizetype start = 0;
        for (qsizetype end = m_partial.indexOf('\n'); end >= 0;
             start = end + 1, end = m_partial.indexOf('\n', start)) {
            if (QByteArrayView(m_partial).sliced(start, end - start).startsWith(kReceivedLine)) {
                if (m_received++ == 0) m_sinceFirst.start();
            }
        }
        m_partial.remove(0, start);
    }

    QProcess& m_process;
    QByteArray m_partial;
    QByteArray m_errors;
    int m_received = 0;
    QElapsedTimer m_sinceFirst;
};

void startPeer(QProcess& peer, const EngineProcess& engine, QStringList arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TANDREL_ENGINE_SERVICE"), engine.service());
    peer.setProcessEnvironment(environment);
    arguments << QStringLiteral("--exit-after") << kPeerExitAfterSeconds;
    peer.start(QStringLiteral(TANDREL_PEER_PATH), arguments);
}

// Round trips counted from the first echo that came back to the pinging peer: its start and
// join, and the other's, are left out. Second argument: the path, as pathArgument reads it.
void BM_PingPongBetweenPeerProcessesBody(benchmark::State& state);
void BM_PingPongBetweenPeerProcesses(benchmark::State& state) {
    bench::guarded(state, BM_PingPongBetweenPeerProcessesBody);
}
void BM_PingPongBetweenPeerProcessesBody(benchmark::State& state) {
    if (!QDBusConnection::sessionBus().isConnected()) {
        state.SkipWithError("no D-Bus session bus: run under dbus-run-session");
        return;
    }
    const auto rounds = int(state.range(0));
    const Path path = bench::pathArgument(state.range(1));
    bench::label(state, path);
    EngineProcess engine(path);
    engine.awaitService();
    for (auto _ : state) {
        QProcess pong;
        QProcess ping;
        // Only what the case reads is read: the pinging peer's lines, the other's notes.
        pong.setStandardOutputFile(QProcess::nullDevice());
        ping.setStandardErrorFile(QProcess::nullDevice());
        PeerOutput pongOutput(pong);
        PeerOutput pingOutput(ping);
        startPeer(pong, engine,
                  {QStringLiteral("--name"), QStringLiteral("ChatRoom.Pong"),
                   QStringLiteral("--var"), kMessage, QStringLiteral("--echo")});
        if (!bench::awaitUntil([&] { return pongOutput.noted("tandrel-peer: ready"); })) {
            state.SkipWithError("the answering peer did not get ready");
            break;
        }
        startPeer(ping, engine,
                  {QStringLiteral("--name"), QStringLiteral("ChatRoom.Ping"),
                   QStringLiteral("--echo"), QStringLiteral("--delay"), kPingDelaySeconds,
                   QStringLiteral("--send"), kMessage + QStringLiteral("=ping")});
        if (!bench::awaitUntil([&] { return pingOutput.received() > rounds; }, kRoundsBoundMs)) {
            state.SkipWithError(QStringLiteral("the ping-pong stopped after %1 round trips")
                                    .arg(pingOutput.received())
                                    .toStdString()
                                    .c_str());
            break;
        }
        const double seconds = double(pingOutput.sinceFirst().nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["round_trips_per_s"] = double(rounds) / seconds;
        bench::stopProcess(ping);
        bench::stopProcess(pong);
    }
}
BENCHMARK(BM_PingPongBetweenPeerProcesses)
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_UnixSocketRoundTripBody(benchmark::State& state);
void BM_UnixSocketRoundTrip(benchmark::State& state) {
    bench::guarded(state, BM_UnixSocketRoundTripBody);
}
void BM_UnixSocketRoundTripBody(benchmark::State& state) {
    std::vector<double> samples;
    for (auto _ : state) samples = bench::unixSocketRoundTripsNs(int(state.range(0)));
    state.SetLabel("64 bytes each way, AF_UNIX, two processes");
    state.counters["round_trip_median_us"] = bench::median(samples) / 1000;
}
BENCHMARK(BM_UnixSocketRoundTrip)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
