#include "platform/bus/protocol/ChannelSocket.h"

#include "cao/Error.h"

#include <QString>

#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace bus::channel {

namespace {

// Read in pieces this large: a packed batch of a flood is up to 1 MiB.
constexpr qsizetype kReadChunk = qsizetype{256} << 10;

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

int intOption(int fd, int level, int name) {
    int value = 0;
    socklen_t length = sizeof value;
    if (getsockopt(fd, level, name, &value, &length) != 0) {
        throw cao::Error(
            QStringLiteral("The channel's socket cannot be examined: %1").arg(systemError()));
    }
    return value;
}

int msUntil(const QDeadlineTimer& deadline) {
    const qint64 left = deadline.remainingTime();
    return left < 0 ? -1 : int(std::min<qint64>(left, 1 << 30));
}

bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    pollfd watched{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, msUntil(deadline));
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) {
            throw cao::Error(
                QStringLiteral("The channel cannot be waited on: %1").arg(systemError()));
        }
    }
}

}  // namespace

SocketPair makeSocketPair() {
    std::array<int, 2> fds{-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds.data()) != 0) {
        throw cao::Error(
            QStringLiteral("No channel to the engine can be made: %1").arg(systemError()));
    }
    return {fds[0], fds[1]};
}

void widenSendBuffer(int fd) {
    // The kernel caps it at what the machine allows; any size it takes is a gain.
    const int bytes = kSendBufferBytes;
    (void)setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

void closeSocket(int fd) {
    if (fd >= 0) ::close(fd);
}

void checkChannelSocket(int fd) {
    int domain = 0;
    socklen_t size = sizeof domain;
    if (getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &domain, &size) != 0 && errno == ENOTSOCK) {
        throw cao::Error(QStringLiteral("The channel handed over is no Unix stream socket"));
    }
    if (intOption(fd, SOL_SOCKET, SO_DOMAIN) != AF_UNIX ||
        intOption(fd, SOL_SOCKET, SO_TYPE) != SOCK_STREAM) {
        throw cao::Error(QStringLiteral("The channel handed over is no Unix stream socket"));
    }
    ucred peer{};
    socklen_t length = sizeof peer;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0) {
        throw cao::Error(
            QStringLiteral("The channel's other end cannot be told: %1").arg(systemError()));
    }
    if (peer.uid != ::geteuid()) {
        throw cao::Error(QStringLiteral("The channel's other end belongs to user %1; this engine "
                                        "serves user %2 only")
                             .arg(peer.uid)
                             .arg(::geteuid()));
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        throw cao::Error(
            QStringLiteral("The channel cannot be made non-blocking: %1").arg(systemError()));
    }
}

ReadResult readInto(int fd, FrameReader& reader) {
    for (;;) {
        const ssize_t got = ::read(fd, reader.room(kReadChunk), kReadChunk);
        reader.commit(got > 0 ? qsizetype(got) : 0);
        if (got > 0) return ReadResult::Read;
        if (got == 0) return ReadResult::Closed;
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadResult::WouldBlock;
        if (errno == ECONNRESET) return ReadResult::Closed;
        throw cao::Error(QStringLiteral("The channel cannot be read: %1").arg(systemError()));
    }
}

bool waitReadable(int fd, const QDeadlineTimer& deadline) {
    return waitFor(fd, POLLIN, deadline);
}

void Outbox::send(int fd, QByteArray bytes) {
    m_pending += bytes.size();
    m_queue.push_back(std::move(bytes));
    flush(fd);
}

bool Outbox::flush(int fd) {
    while (!m_queue.empty()) {
        const QByteArray& first = m_queue.front();
        const ssize_t wrote = ::send(fd, first.constData() + m_written,
                                     size_t(first.size() - m_written), MSG_NOSIGNAL);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return false;
            if (errno == EPIPE || errno == ECONNRESET) {
                throw cao::Error(QStringLiteral("The other end has closed the channel"));
            }
            throw cao::Error(
                QStringLiteral("The channel cannot be written: %1").arg(systemError()));
        }
        m_written += wrote;
        m_pending -= wrote;
        if (m_written == first.size()) {
            m_queue.pop_front();
            m_written = 0;
        }
    }
    return true;
}

bool Outbox::flushBefore(int fd, const QDeadlineTimer& deadline) {
    while (!flush(fd)) {
        if (!waitFor(fd, POLLOUT, deadline)) return false;
    }
    return true;
}

}  // namespace bus::channel
