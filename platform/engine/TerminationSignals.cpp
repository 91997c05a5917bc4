#include "platform/engine/TerminationSignals.h"

#include "cao/Error.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace engine {

namespace {

int g_signalPipe[2] = {-1, -1};

extern "C" void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the event loop picks the byte up.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        throw cao::Error(QStringLiteral("cannot set up signal handling"));
    }
    m_notifier = std::make_unique<QSocketNotifier>(g_signalPipe[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(g_signalPipe[1], &byte, 1);
        emit received();
    });
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
}

TerminationSignals::~TerminationSignals() {
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    m_notifier.reset();
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}

}  // namespace engine
