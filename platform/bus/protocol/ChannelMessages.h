#pragma once

// What a client's channel to its engine object carries, each as one frame's payload: a call
// on a variable and its reply, and a controller's packed message batch. Errors travel as
// the D-Bus error the same call would have been answered with, so both ways fail alike.

#include "cao/Variant.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace bus::channel {

enum class Member : uint8_t { GetValue = 1, PutValue = 2 };

// Longest object path a call or batch names; the engine's paths are a few dozen bytes.
inline constexpr qsizetype kMaxPathBytes = 1024;

struct Call {
    uint32_t id = 0;
    Member member{};
    QString path;
    cao::Variant value;  // PutValue's
};

struct Reply {
    uint32_t id = 0;
    std::optional<cao::Variant> value;  // GetValue's
    // Set when the call failed: the D-Bus error name and its message.
    QString errorName;
    QString errorMessage;
    bool failed() const noexcept { return !errorName.isEmpty(); }
};

// A batch as read: packed views the payload it was read from, which must outlive it.
struct Batch {
    QString path;  // the controller's
    QByteArrayView packed;
};

// Each decoder throws cao::Error describing what is wrong with the payload.
QByteArray encodeCall(const Call& call);
Call decodeCall(QByteArrayView payload);
QByteArray encodeReply(const Reply& reply);
Reply decodeReply(QByteArrayView payload);
QByteArray encodeBatch(const QString& path, const QByteArray& packed);
// The whole frame of a batch, made in one piece: a flood's batches are a megabyte each.
QByteArray batchFrame(const QString& path, const QByteArray& packed);
Batch decodeBatch(QByteArrayView payload);

}  // namespace bus::channel
