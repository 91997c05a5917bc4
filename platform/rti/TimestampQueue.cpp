#include "platform/rti/TimestampQueue.h"

#include <algorithm>

namespace rti {

void TimestampQueue::push(LogicalTime time, Callback callback) {
    m_heap.push_back({time, m_nextSequence++, std::move(callback)});
    std::push_heap(m_heap.begin(), m_heap.end(), Later{});
}

std::optional<LogicalTime> TimestampQueue::earliest() const {
    if (m_heap.empty()) return std::nullopt;
    return m_heap.front().time;
}

Callback TimestampQueue::pop() {
    std::pop_heap(m_heap.begin(), m_heap.end(), Later{});
    Callback callback = std::move(m_heap.back().callback);
    m_heap.pop_back();
    return callback;
}

}  // namespace rti
