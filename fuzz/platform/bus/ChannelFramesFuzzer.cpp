// Bytes as either end of a client's channel could receive them, in pieces of any size: every
// frame is taken apart as a call, a reply and a batch, and a batch's messages unpacked. Each
// must come out whole or be refused with a description; nothing may crash or allocate past
// the frame's bound.
#include "cao/Error.h"
#include "platform/bus/protocol/ChannelMessages.h"
#include "platform/bus/protocol/Frame.h"
#include "platform/bus/protocol/PackedBatch.h"

#include <cstddef>
#include <cstdint>

namespace {

template <typename Decode>
void refusedOrWhole(Decode decode) {
    try {
        decode();
    } catch (const cao::Error& e) {
        if (e.description().isEmpty()) __builtin_trap();  // a refusal says why
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses the pieces the stream arrives in.
    const size_t piece = 1 + data[0] % 64;
    bus::channel::FrameReader reader;
    const auto* bytes = reinterpret_cast<const char*>(data + 1);
    const size_t length = size - 1;
    try {
        for (size_t at = 0; at < length; at += piece) {
            reader.append(bytes + at, qsizetype(std::min(piece, length - at)));
            while (std::optional<bus::channel::Frame> frame = reader.next()) {
                const QByteArrayView payload = frame->payload;
                refusedOrWhole([&] { bus::channel::decodeCall(payload); });
                refusedOrWhole([&] { bus::channel::decodeReply(payload); });
                refusedOrWhole([&] {
                    const bus::channel::Batch batch = bus::channel::decodeBatch(payload);
                    bus::unpackBatch(batch.packed, [](const QString&) { return [] {}; });
                });
            }
        }
    } catch (const cao::Error& e) {
        if (e.description().isEmpty()) __builtin_trap();
    }
    return 0;
}
