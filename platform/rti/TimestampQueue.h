#pragma once

#include "platform/rti/Callback.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace rti {

// Timestamp-order messages waiting for a constrained federate, earliest first; messages
// with equal timestamps leave in the order they were sent.
class TimestampQueue {
public:
    void push(LogicalTime time, Callback callback);
    std::optional<LogicalTime> earliest() const;
    // Removes and returns the earliest message. The queue must not be empty.
    Callback pop();
    bool empty() const { return m_heap.empty(); }
    std::size_t size() const { return m_heap.size(); }

private:
    struct Entry {
        LogicalTime time;
        std::uint64_t sequence;
        Callback callback;
    };
    struct Later {
        bool operator()(const Entry& a, const Entry& b) const {
            return a.time != b.time ? a.time > b.time : a.sequence > b.sequence;
        }
    };

    std::vector<Entry> m_heap;
    std::uint64_t m_nextSequence = 0;
};

}  // namespace rti
