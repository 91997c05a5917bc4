#include "platform/hla/MomEncoding.h"

#include <QString>

#include <algorithm>
#include <bit>
#include <limits>

namespace hla::mom {

namespace {

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kHandleSize = 4;
constexpr std::size_t kTimeSize = 8;
constexpr std::size_t kArrayAlignment = 4;  // a count's, and so a string's and a handle's

void putUnsigned(Bytes& out, std::uint64_t value, std::size_t size) {
    for (std::size_t i = size; i-- > 0;) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t getUnsigned(const Bytes& in, std::size_t at, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value = (value << 8) | in[at + i];
    return value;
}

void pad(Bytes& out) {
    while (out.size() % kArrayAlignment != 0) out.push_back(0);
}

void appendText(Bytes& out, const std::string& utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    putUnsigned(out, static_cast<std::uint64_t>(text.size()), kCountSize);
    for (const QChar c : text) putUnsigned(out, c.unicode(), 2);
}

// The octets of a variable array of octets, whole.
std::optional<Bytes> octets(const Bytes& bytes) {
    if (bytes.size() < kCountSize) return std::nullopt;
    const std::uint64_t count = getUnsigned(bytes, 0, kCountSize);
    if (count != bytes.size() - kCountSize) return std::nullopt;
    return Bytes(bytes.begin() + kCountSize, bytes.end());
}

}  // namespace

Bytes encodeInteger(std::int32_t value) {
    Bytes out;
    putUnsigned(out, static_cast<std::uint32_t>(value), 4);
    return out;
}

Bytes encodeCount(std::int64_t value) {
    return encodeInteger(static_cast<std::int32_t>(
        std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::int32_t>::max())));
}

Bytes encodeBoolean(bool value) {
    return encodeInteger(value ? 1 : 0);
}

Bytes encodeText(const std::string& utf8) {
    Bytes out;
    appendText(out, utf8);
    return out;
}

Bytes encodeTextList(const std::vector<std::string>& utf8) {
    Bytes out;
    putUnsigned(out, utf8.size(), kCountSize);
    for (const std::string& text : utf8) {
        pad(out);
        appendText(out, text);
    }
    return out;
}

Bytes encodeHandle(std::uint32_t handle) {
    Bytes out;
    putUnsigned(out, kHandleSize, kCountSize);
    putUnsigned(out, handle, kHandleSize);
    return out;
}

Bytes encodeHandleOctets(const Bytes& octets) {
    Bytes out;
    putUnsigned(out, octets.size(), kCountSize);
    out.insert(out.end(), octets.begin(), octets.end());
    return out;
}

Bytes encodeHandleList(const std::vector<std::uint32_t>& handles) {
    Bytes out;
    putUnsigned(out, handles.size(), kCountSize);
    for (std::uint32_t handle : handles) {
        putUnsigned(out, kHandleSize, kCountSize);
        putUnsigned(out, handle, kHandleSize);
    }
    return out;
}

Bytes encodeHandleList(const std::vector<FederateHandle>& handles) {
    std::vector<std::uint32_t> values;
    values.reserve(handles.size());
    for (FederateHandle handle : handles) values.push_back(toUnderlying(handle));
    return encodeHandleList(values);
}

Bytes encodeInteractionSubscriptions(const std::vector<std::pair<std::uint32_t, bool>>& list) {
    Bytes out;
    putUnsigned(out, list.size(), kCountSize);
    for (const auto& [cls, active] : list) {
        putUnsigned(out, kHandleSize, kCountSize);
        putUnsigned(out, cls, kHandleSize);
        putUnsigned(out, active ? 1 : 0, kCountSize);
    }
    return out;
}

Bytes encodeTime(LogicalTime time) {
    Bytes out;
    putUnsigned(out, kTimeSize, kCountSize);
    putUnsigned(out, std::bit_cast<std::uint64_t>(time), kTimeSize);
    return out;
}

Bytes encodeSyncPointFederates(const std::vector<std::pair<FederateHandle, std::int32_t>>& list) {
    Bytes out;
    putUnsigned(out, list.size(), kCountSize);
    for (const auto& [federate, status] : list) {
        const Bytes handle = encodeHandle(federate);
        out.insert(out.end(), handle.begin(), handle.end());
        pad(out);
        putUnsigned(out, static_cast<std::uint32_t>(status), 4);
    }
    return out;
}

std::optional<std::int32_t> decodeInteger(const Bytes& bytes) {
    if (bytes.size() != 4) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(getUnsigned(bytes, 0, 4)));
}

std::optional<bool> decodeBoolean(const Bytes& bytes) {
    const auto value = decodeInteger(bytes);
    if (!value || (*value != 0 && *value != 1)) return std::nullopt;
    return *value == 1;
}

std::optional<std::string> decodeText(const Bytes& bytes) {
    if (bytes.size() < kCountSize) return std::nullopt;
    const std::uint64_t count = getUnsigned(bytes, 0, kCountSize);
    if (count * 2 != bytes.size() - kCountSize) return std::nullopt;
    QString text;
    text.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) {
        text.append(QChar(static_cast<char16_t>(getUnsigned(bytes, kCountSize + 2 * i, 2))));
    }
    return text.toStdString();
}

std::optional<Bytes> decodeHandle(const Bytes& bytes) {
    return octets(bytes);
}

std::optional<std::uint32_t> decodeHandleValue(const Bytes& bytes) {
    const auto handle = octets(bytes);
    if (!handle || handle->size() != kHandleSize) return std::nullopt;
    return static_cast<std::uint32_t>(getUnsigned(*handle, 0, kHandleSize));
}

std::optional<LogicalTime> decodeTime(const Bytes& bytes) {
    const auto time = octets(bytes);
    if (!time) return std::nullopt;
    if (time->size() != kTimeSize) return std::nullopt;
    return std::bit_cast<LogicalTime>(getUnsigned(*time, 0, kTimeSize));
}

namespace {

// Walks a variable array whose elements are an HLAhandle, each followed by an HLAinteger32BE
// when `withStatus`, with the HLA alignment of four octets between them.
template <typename Element>
std::optional<std::vector<Element>> decodeHandleElements(const Bytes& bytes, bool withStatus) {
    if (bytes.size() < kCountSize) return std::nullopt;
    const std::uint64_t count = getUnsigned(bytes, 0, kCountSize);
    // Each element takes four octets at least: its handle's count.
    if (count > (bytes.size() - kCountSize) / kCountSize) return std::nullopt;
    std::vector<Element> list;
    std::size_t at = kCountSize;
    for (std::uint64_t i = 0; i < count; ++i) {
        at = (at + kArrayAlignment - 1) / kArrayAlignment * kArrayAlignment;
        if (bytes.size() < at || bytes.size() - at < kCountSize) return std::nullopt;
        const std::uint64_t size = getUnsigned(bytes, at, kCountSize);
        at += kCountSize;
        if (size > bytes.size() - at) return std::nullopt;
        Bytes handle(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                     bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        std::int32_t status = 0;
        if (withStatus) {
            at = (at + kArrayAlignment - 1) / kArrayAlignment * kArrayAlignment;
            if (bytes.size() < at || bytes.size() - at < 4) return std::nullopt;
            status =
                static_cast<std::int32_t>(static_cast<std::uint32_t>(getUnsigned(bytes, at, 4)));
            at += 4;
        }
        list.push_back(Element{std::move(handle), status});
    }
    if (at != bytes.size()) return std::nullopt;
    return list;
}

struct HandleOnly {
    HandleOnly(Bytes h, std::int32_t /*status*/) : handle(std::move(h)) {}
    Bytes handle;
};

}  // namespace

std::optional<std::vector<Bytes>> decodeHandleList(const Bytes& bytes) {
    const auto elements = decodeHandleElements<HandleOnly>(bytes, false);
    if (!elements) return std::nullopt;
    std::vector<Bytes> handles;
    for (const HandleOnly& element : *elements) handles.push_back(element.handle);
    return handles;
}

std::optional<std::vector<std::pair<Bytes, bool>>> decodeInteractionSubscriptions(
    const Bytes& bytes) {
    const auto elements = decodeHandleElements<SyncPointFederate>(bytes, true);
    if (!elements) return std::nullopt;
    std::vector<std::pair<Bytes, bool>> list;
    for (const SyncPointFederate& element : *elements) {
        if (element.status != 0 && element.status != 1) return std::nullopt;
        list.emplace_back(element.federate, element.status == 1);
    }
    return list;
}

std::optional<std::vector<SyncPointFederate>> decodeSyncPointFederates(const Bytes& bytes) {
    return decodeHandleElements<SyncPointFederate>(bytes, true);
}

}  // namespace hla::mom
