#include "platform/fedpro/protocol/SessionState.h"

#include "platform/fedpro/protocol/BigEndian.h"
#include "platform/fedpro/protocol/ProtocolError.h"
#include "platform/fedpro/protocol/Sequence.h"

#include <stdexcept>

namespace fedpro {

namespace {

bool outsideNumbering(MessageType type) {
    return type == MessageType::ResumeRequest || type == MessageType::ResumeStatus;
}

}  // namespace

SessionState::SessionState(std::size_t historyFrames, std::size_t historyBytes)
    : SessionState(historyFrames, historyBytes, kFirstSequence) {}

SessionState::SessionState(std::size_t historyFrames, std::size_t historyBytes,
                           std::int32_t firstSequence)
    : historyFrames_(historyFrames), historyBytes_(historyBytes), firstSequence_(firstSequence) {
    if (firstSequence < 0) {
        throw std::invalid_argument("a session's first sequence number cannot be negative");
    }
}

std::int32_t SessionState::oldestKept() const {
    return kept_.empty() ? kNoSequence : kept_.front().sequence;
}

std::string SessionState::makeFrame(MessageType type, std::string_view payload, bool keep) {
    if (keep && !isCallOrCallback(type)) {
        throw std::invalid_argument(std::string("a ") + messageTypeName(type) +
                                    " is a control frame and is never kept for a resend");
    }
    FrameHeader header;
    header.sessionId = sessionId_;
    header.lastReceived = lastReceived_;
    header.type = static_cast<std::int32_t>(type);
    if (outsideNumbering(type)) {
        header.sequence = kNoSequence;
    } else if (lastSent_ == kNoSequence) {
        header.sequence = firstSequence_;
    } else {
        header.sequence = nextSequence(lastSent_);
    }
    std::string frame = encodeFrame(header, payload);
    if (keep && (kept_.size() + 1 > historyFrames_ || keptBytes_ + frame.size() > historyBytes_)) {
        throw ProtocolError("the resend history is full: " + std::to_string(kept_.size()) +
                            " frames of " + std::to_string(keptBytes_) +
                            " bytes await the peer's acknowledgement (bounds " +
                            std::to_string(historyFrames_) + " frames, " +
                            std::to_string(historyBytes_) + " bytes)");
    }
    if (!outsideNumbering(type)) {
        lastSent_ = header.sequence;
    }
    if (keep) {
        keptBytes_ += frame.size();
        kept_.push_back({header.sequence, frame});
    }
    return frame;
}

bool SessionState::notYetSent(std::int32_t sequence) const {
    return lastSent_ == kNoSequence || isNewer(sequence, lastSent_);
}

void SessionState::acknowledge(std::int32_t lastReceivedByPeer) {
    while (!kept_.empty() && !isNewer(kept_.front().sequence, lastReceivedByPeer)) {
        releasedUpTo_ = kept_.front().sequence;
        keptBytes_ -= kept_.front().frame.size();
        kept_.pop_front();
    }
}

SessionState::Arrival SessionState::received(const FrameHeader& header) {
    const auto type = messageTypeOf(header.type);
    if (type && outsideNumbering(*type)) {
        return Arrival::New;
    }
    if (sessionId_ != 0 && header.sessionId != sessionId_) {
        throw ProtocolError("a frame of another session arrived");
    }
    if (header.sequence < 0) {
        throw ProtocolError("sequence number " + std::to_string(header.sequence) + " is negative");
    }
    if (lastArrived_ != kNoSequence) {
        if (!isNewer(header.sequence, lastArrived_)) {
            return Arrival::Duplicate;
        }
        const std::int32_t expected = nextSequence(lastArrived_);
        if (header.sequence != expected && !mayResumeSkip_) {
            throw ProtocolError("sequence number " + std::to_string(header.sequence) + " where " +
                                std::to_string(expected) + " was expected");
        }
    }
    lastArrived_ = header.sequence;
    if (type && isCallOrCallback(*type)) {
        lastReceived_ = header.sequence;
    } else {
        // The resend is over once the peer sends control frames again.
        mayResumeSkip_ = false;
    }
    // A peer may count frames differently before it has received any; what it acknowledges
    // beyond anything sent releases nothing.
    if (header.lastReceived >= 0 && !notYetSent(header.lastReceived)) {
        acknowledge(header.lastReceived);
    }
    return Arrival::New;
}

std::optional<std::vector<std::string>> SessionState::framesAfter(std::int32_t lastReceivedByPeer) {
    if (lastReceivedByPeer != kNoSequence &&
        (lastReceivedByPeer < 0 || notYetSent(lastReceivedByPeer))) {
        return std::nullopt;
    }
    if (releasedUpTo_ != kNoSequence &&
        (lastReceivedByPeer == kNoSequence || isNewer(releasedUpTo_, lastReceivedByPeer))) {
        return std::nullopt;
    }
    if (lastReceivedByPeer != kNoSequence) {
        acknowledge(lastReceivedByPeer);
    }
    std::vector<std::string> frames;
    frames.reserve(kept_.size());
    for (Kept& kept : kept_) {
        bigendian::writeUint32At(kept.frame, kLastReceivedOffset,
                                 static_cast<std::uint32_t>(lastReceived_));
        frames.push_back(kept.frame);
    }
    mayResumeSkip_ = true;
    return frames;
}

}  // namespace fedpro
