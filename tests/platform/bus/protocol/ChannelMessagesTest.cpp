// The channel's framing and messages: what one end writes the other reads back whole, in
// pieces of any size, and every malformed input is refused saying what is wrong.
#include "cao/Error.h"
#include "platform/bus/protocol/ChannelMessages.h"
#include "platform/bus/protocol/Frame.h"
#include "platform/bus/protocol/PackedBatch.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace bus::channel;

namespace {

const QString kPath = QStringLiteral("/io/tandrel/Engine1/e0/c0/v1");

// The description a decode is refused with; empty when it was not.
template <typename Decode>
std::string refusal(Decode decode) {
    try {
        decode();
    } catch (const cao::Error& e) {
        return e.description().toStdString();
    }
    return {};
}

QByteArray header(quint32 length, uint8_t kind) {
    QByteArray bytes(kFrameHeaderBytes, '\0');
    qToBigEndian(length, bytes.data());
    bytes[4] = char(kind);
    return bytes;
}

}  // namespace

TEST(ChannelFrames, ComeOutWholeAndInOrderFromPiecesOfAnySize) {
    const QByteArray first = frame(FrameKind::Call, "one");
    const QByteArray second = frame(FrameKind::Batch, QByteArray(70000, 'x'));
    const QByteArray empty = frame(FrameKind::Reply, {});
    const QByteArray stream = first + second + empty;
    for (qsizetype piece : {1, 3, 5, 4096, 1 << 20}) {
        FrameReader reader;
        std::vector<std::pair<FrameKind, QByteArray>> frames;
        for (qsizetype at = 0; at < stream.size(); at += piece) {
            reader.append(stream.constData() + at, std::min(piece, stream.size() - at));
            while (std::optional<Frame> next = reader.next()) {
                frames.emplace_back(next->kind, next->payload.toByteArray());
            }
        }
        ASSERT_EQ(frames.size(), 3u) << piece;
        EXPECT_EQ(frames[0].first, FrameKind::Call);
        EXPECT_EQ(frames[0].second, "one");
        EXPECT_EQ(frames[1].second.size(), 70000);
        EXPECT_EQ(frames[2].first, FrameKind::Reply);
        EXPECT_TRUE(frames[2].second.isEmpty());
        EXPECT_EQ(reader.buffered(), 0);
    }
}

TEST(ChannelFrames, AreLaidOutAsLengthKindAndPayload) {
    EXPECT_EQ(frame(FrameKind::Batch, "ab"), QByteArray("\0\0\0\2\3ab", 7));
}

TEST(ChannelFrames, AnUnknownKindOrAnOversizeLengthIsRefusedBeforeItsPayloadArrives) {
    FrameReader unknown;
    unknown.append(header(1, 9).constData(), kFrameHeaderBytes);
    EXPECT_NE(refusal([&] { unknown.next(); }).find("kind 9"), std::string::npos);
    FrameReader oversize;
    oversize.append(header(quint32(kMaxFramePayload) + 1, 3).constData(), kFrameHeaderBytes);
    EXPECT_NE(refusal([&] { oversize.next(); }).find("more than the"), std::string::npos);
    FrameReader none;
    none.append(header(0, 0).constData(), kFrameHeaderBytes);
    EXPECT_FALSE(refusal([&] { none.next(); }).empty());
}

TEST(ChannelMessages, CallsRepliesAndBatchesReadBackAsWritten) {
    const Call put{7, Member::PutValue, kPath, cao::Variant::fromString(QStringLiteral("héllo"))};
    const Call read = decodeCall(encodeCall(put));
    EXPECT_EQ(read.id, 7u);
    EXPECT_EQ(read.member, Member::PutValue);
    EXPECT_EQ(read.path, kPath);
    EXPECT_EQ(read.value.string(), QStringLiteral("héllo"));
    EXPECT_EQ(decodeCall(encodeCall({8, Member::GetValue, kPath, {}})).member, Member::GetValue);

    Reply valued;
    valued.id = 7;
    valued.value =
        cao::Variant::fromArray(cao::VT_I4, {cao::Variant::fromI4(1), cao::Variant::fromI4(-2)});
    const Reply valueBack = decodeReply(encodeReply(valued));
    ASSERT_TRUE(valueBack.value.has_value());
    EXPECT_FALSE(valueBack.failed());
    EXPECT_EQ(valueBack.value->elements().at(1).i4(), -2);

    Reply failed;
    failed.id = 9;
    failed.errorName = QStringLiteral("io.tandrel.Engine1.Error.TypeMismatch");
    failed.errorMessage = QStringLiteral("Type mismatch");
    const Reply failedBack = decodeReply(encodeReply(failed));
    EXPECT_TRUE(failedBack.failed());
    EXPECT_FALSE(failedBack.value.has_value());
    EXPECT_EQ(failedBack.errorMessage, failed.errorMessage);
    EXPECT_FALSE(decodeReply(encodeReply(Reply{3, {}, {}, {}})).value.has_value());

    bus::PackedBatchWriter writer;
    writer.add(3, cao::Variant::fromString(QStringLiteral("hi")), cao::Variant::fromR8(1.5),
               QStringLiteral("ChatRoom.A"), {});
    const QByteArray packed = writer.take();
    const QByteArray payload = encodeBatch(QStringLiteral("/io/tandrel/Engine1/e0/c0"), packed);
    const Batch batch = decodeBatch(payload);
    EXPECT_EQ(batch.path, QStringLiteral("/io/tandrel/Engine1/e0/c0"));
    EXPECT_EQ(batch.packed, packed);
    const QByteArray whole = batchFrame(QStringLiteral("/p"), packed);
    EXPECT_EQ(whole, frame(FrameKind::Batch, encodeBatch(QStringLiteral("/p"), packed)));
}

TEST(ChannelMessages, MalformedPayloadsAreRefusedSayingWhat) {
    const QByteArray call = encodeCall({1, Member::PutValue, kPath, cao::Variant::fromI4(5)});
    EXPECT_NE(refusal([&] { decodeCall(call.left(call.size() - 1)); }).find("ends early"),
              std::string::npos);
    EXPECT_NE(refusal([&] { decodeCall(call + "x"); }).find("after its end"), std::string::npos);
    QByteArray unknownMember = call;
    unknownMember[4] = char(42);
    EXPECT_NE(refusal([&] { decodeCall(unknownMember); }).find("member 42"), std::string::npos);
    QByteArray longPath = call.left(5);
    longPath.append("\xff\xff");
    EXPECT_NE(refusal([&] { decodeCall(longPath); }).find("path of 65535"), std::string::npos);
    EXPECT_FALSE(refusal([&] {
                     encodeCall({1, Member::GetValue, QString(2000, 'p'), {}});
                 }).empty());

    QByteArray badStatus = encodeReply(Reply{1, {}, {}, {}});
    badStatus[4] = char(7);
    EXPECT_NE(refusal([&] { decodeReply(badStatus); }).find("status 7"), std::string::npos);
    Reply nameless;
    nameless.errorName = QStringLiteral("x");
    QByteArray namelessBytes = encodeReply(nameless);
    namelessBytes = namelessBytes.left(5) + QByteArray(4, '\0') + namelessBytes.mid(5 + 6);
    EXPECT_FALSE(refusal([&] { decodeReply(namelessBytes); }).empty());

    EXPECT_NE(refusal([&] { decodeBatch(encodeBatch(kPath, {})); }).find("no messages"),
              std::string::npos);
}
