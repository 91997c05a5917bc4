#pragma once

#include "platform/fedpro/protocol/Frame.h"
#include "platform/fedpro/protocol/MessageType.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fedpro {

// One side's bookkeeping of a session, server and client alike: the numbers it sends and
// receives, and the calls, callbacks and answers it sent that the peer has not yet
// acknowledged, kept (within bounds) to be sent again when the session resumes on a new
// connection. One owner at a time; it does no locking.
//
// Numbering: the first frame sent is 0, each next one the next number, wrapping after
// INT32_MAX; the resume request and resume status stand outside it (kNoSequence). Every frame
// carries the number of the last call, callback or answer received: control frames are never
// sent again, so acknowledging them would make a resuming peer look for frames it no longer
// holds.
class SessionState {
public:
    SessionState(std::size_t historyFrames, std::size_t historyBytes);
    // The same, with the first frame numbered firstSequence rather than 0 (to exercise the
    // wrap).
    SessionState(std::size_t historyFrames, std::size_t historyBytes, std::int32_t firstSequence);

    void setSessionId(std::uint64_t id) { sessionId_ = id; }
    std::uint64_t sessionId() const { return sessionId_; }

    // The last call, callback or answer received; kNoSequence before any.
    std::int32_t lastReceived() const { return lastReceived_; }
    // The last number sent; kNoSequence before any.
    std::int32_t lastSent() const { return lastSent_; }
    // The oldest kept frame's number; kNoSequence when none is kept.
    std::int32_t oldestKept() const;
    std::size_t keptFrames() const { return kept_.size(); }
    std::size_t keptBytes() const { return keptBytes_; }

    // The frame's bytes, numbered, stamped with the session id and lastReceived(). keep: a
    // call, callback or answer is kept until the peer acknowledges it (invalid_argument for
    // a control frame). Throws ProtocolError ("... history full ...") when keeping it would
    // exceed the bounds: the peer is not reading, and the session is to end as lost. Nothing
    // changes when it throws.
    std::string makeFrame(MessageType type, std::string_view payload, bool keep);

    enum class Arrival { New, Duplicate };
    // Checks an arrived frame's numbering: the first, or the number after the last, is New; a
    // number already passed is a Duplicate (to be dropped); skipping ahead throws ProtocolError
    // ("sequence number N where M was expected"), as do a negative number and another
    // session's id. Kept frames up to the frame's lastReceived are released (an
    // acknowledgement of a number never sent releases nothing). Resume requests and statuses,
    // outside the numbering, change nothing and are New.
    Arrival received(const FrameHeader& header);

    // After a resume: the kept frames newer than lastReceivedByPeer (older ones are released),
    // stamped afresh with lastReceived(), to be sent again in order; nothing when the peer asks
    // for frames already released, or for numbers never sent. The peer resends likewise, without
    // its control frames: until its next control frame, its numbers may skip ahead.
    std::optional<std::vector<std::string>> framesAfter(std::int32_t lastReceivedByPeer);

private:
    struct Kept {
        std::int32_t sequence;
        std::string frame;
    };

    void acknowledge(std::int32_t lastReceivedByPeer);
    bool notYetSent(std::int32_t sequence) const;

    std::size_t historyFrames_;
    std::size_t historyBytes_;
    std::uint64_t sessionId_ = 0;
    std::int32_t firstSequence_;
    std::int32_t lastSent_ = kNoSequence;
    std::int32_t lastReceived_ = kNoSequence;  // the last call, callback or answer
    std::int32_t lastArrived_ = kNoSequence;   // the last numbered frame of any type
    std::int32_t releasedUpTo_ = kNoSequence;  // the newest kept frame released
    bool mayResumeSkip_ = false;
    std::deque<Kept> kept_;
    std::size_t keptBytes_ = 0;
};

}  // namespace fedpro
