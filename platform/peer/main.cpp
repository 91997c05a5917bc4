// tandrel-peer: a headless federate on the same engine and provider as the window, for an
// engineer alone at a federation and for the cross-process tests.
#include "app/EngineChoice.h"
#include "cao/Cao.h"
#include "platform/peer/Peer.h"
#include "platform/peer/PeerOptions.h"

#include "platform/engine/TerminationSignals.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <cstdio>

namespace {

// Lines are written as they come and flushed once a turn, before the event loop waits: a
// conversation's lines still appear at once, and a busy peer makes one write a turn rather
// than one a line.
constexpr size_t kStreamBufferBytes = size_t{64} << 10;

void writeLine(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

void flushEachTurn() {
    std::setvbuf(stdout, nullptr, _IOFBF, kStreamBufferBytes);
    std::setvbuf(stderr, nullptr, _IOFBF, kStreamBufferBytes);
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     [] { std::fflush(nullptr); });
}

void note(const QString& text) {
    writeLine(stderr, QStringLiteral("tandrel-peer: ") + text);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const peer::ParsedArguments parsed = peer::parseArguments(args);
    if (parsed.helpRequested) {
        writeLine(stdout, peer::usageText());
        return peer::kExitDone;
    }
    flushEachTurn();
    if (!parsed.error.isEmpty()) {
        note(parsed.error);
        note(QStringLiteral("see tandrel-peer --help"));
        return peer::kExitUsage;
    }

    try {
        engine::TerminationSignals signalled;
        peer::Peer federate(
            app::createEngine(), parsed.options,
            [](const QString& line) { writeLine(stdout, line); }, note);
        int status = peer::kExitDone;
        QObject::connect(&federate, &peer::Peer::finished, &app, [&](int exitStatus) {
            status = exitStatus;
            app.quit();
        });
        QObject::connect(&signalled, &engine::TerminationSignals::received, &app, [&] {
            note(QStringLiteral("signalled, closing"));
            app.quit();
        });
        federate.start();
        app.exec();
        federate.close();
        return app::finishProgram(status);
    } catch (const cao::Error& e) {
        note(e.description());
        return peer::kExitFailed;
    }
}
