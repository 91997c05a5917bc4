#pragma once

// The Unix socket beneath a client's channel to its engine object, as both ends use it: made
// as a pair by the client, one end handed to the engine over D-Bus, non-blocking on both.

#include "platform/bus/protocol/Frame.h"

#include <QByteArray>
#include <QDeadlineTimer>

#include <deque>

namespace bus::channel {

struct SocketPair {
    int ours = -1;
    int theirs = -1;
};

// Throws cao::Error saying why no pair could be made.
SocketPair makeSocketPair();
void closeSocket(int fd);

// Room a batch socket asks for in the kernel, so a flood's writer runs ahead of its reader
// by several batches rather than waiting on each read.
inline constexpr int kSendBufferBytes = 4 << 20;
void widenSendBuffer(int fd);

// Throws cao::Error unless fd is a connected stream Unix socket whose other end was made by a
// process of this process's own user, as D-Bus's own authentication requires.
void checkChannelSocket(int fd);

enum class ReadResult { Read, WouldBlock, Closed };
// Reads what has arrived into reader. Throws cao::Error when the socket failed.
ReadResult readInto(int fd, FrameReader& reader);

// Waits until fd can be read or written, or the deadline has passed; false then.
bool waitReadable(int fd, const QDeadlineTimer& deadline);

// Frames waiting to be written, in order; writes what the socket takes now.
class Outbox {
public:
    // Queues bytes behind what waits. Throws cao::Error when the socket failed.
    void send(int fd, QByteArray bytes);
    // Writes what waits; true when nothing waits any more. Throws as send.
    bool flush(int fd);
    // Writes everything before the deadline, waiting on the socket; false when it passed.
    bool flushBefore(int fd, const QDeadlineTimer& deadline);
    qsizetype pendingBytes() const noexcept { return m_pending; }
    bool empty() const noexcept { return m_queue.empty(); }

private:
    std::deque<QByteArray> m_queue;
    qsizetype m_written = 0;  // of the first in the queue
    qsizetype m_pending = 0;
};

}  // namespace bus::channel
