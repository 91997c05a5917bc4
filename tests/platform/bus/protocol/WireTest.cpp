// Values and failures as they cross the bus: each type comes back as it went, and what does
// not fit its type code is refused with a description.
#include "platform/bus/protocol/PackedBatch.h"
#include "platform/bus/protocol/Wire.h"

#include <QDBusMessage>

#include <gtest/gtest.h>

using cao::Variant;

namespace {

struct RoundTrip {
    const char* name;
    Variant value;
};

class WireRoundTrip : public ::testing::TestWithParam<RoundTrip> {
protected:
    static void SetUpTestSuite() { bus::registerWireTypes(); }
};

}  // namespace

TEST_P(WireRoundTrip, ComesBackAsItWent) {
    const Variant& value = GetParam().value;
    const Variant back =
        bus::fromWire(bus::wireValueArgument(QVariant::fromValue(bus::toWire(value))));
    EXPECT_EQ(back, value);
    EXPECT_EQ(back.type(), value.type());
}

TEST_P(WireRoundTrip, ComesBackAsItWentInAPackedBatch) {
    const Variant& value = GetParam().value;
    bus::PackedBatchWriter writer;
    writer.add(3, value, Variant::fromR8(1.5), "source", "");
    writer.add(1, Variant::fromI4(2), value, "", "/io/tandrel/Engine1/e0/c0/m1");
    QStringList acknowledged;
    std::vector<engine::MessageData> batch = bus::unpackBatch(
        writer.take(),
        [&](const QString& path) { return [&acknowledged, path] { acknowledged << path; }; });
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(batch[0].value, value);
    EXPECT_EQ(batch[0].value.type(), value.type());
    EXPECT_EQ(batch[0].source, "source");
    EXPECT_FALSE(batch[0].acknowledge);
    EXPECT_EQ(batch[1].time, value);
    ASSERT_TRUE(batch[1].acknowledge);
    batch[1].acknowledge();
    EXPECT_EQ(acknowledged, QStringList{"/io/tandrel/Engine1/e0/c0/m1"});
    EXPECT_EQ(writer.count(), 0);  // the writer starts anew
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, WireRoundTrip,
    ::testing::Values(
        RoundTrip{"Empty", Variant()}, RoundTrip{"Null", Variant::null()},
        RoundTrip{"BoolTrue", Variant::fromBool(true)}, RoundTrip{"UI1", Variant::fromUI1(255)},
        RoundTrip{"I2", Variant::fromI2(-32768)}, RoundTrip{"I4", Variant::fromI4(-2147483647 - 1)},
        RoundTrip{"R4", Variant::fromR4(0.1f)}, RoundTrip{"R8", Variant::fromR8(-1e-300)},
        RoundTrip{"Currency", Variant::fromCurrency(-922337203685477580LL)},
        RoundTrip{"Date", Variant::fromDate(45000.75)},
        RoundTrip{"Text", Variant::fromString(QString::fromUtf8("Grüße \xe2\x82\xac"))},
        RoundTrip{"EmptyText", Variant::fromString("")},
        RoundTrip{"Error", Variant::fromError(static_cast<int32_t>(0x80004005))},
        RoundTrip{"ArrayOfUI1",
                  Variant::fromArray(cao::VT_UI1, {Variant::fromUI1(0), Variant::fromUI1(7)})},
        RoundTrip{"ArrayOfText", Variant::fromArray(cao::VT_BSTR, {Variant::fromString("a")})},
        RoundTrip{"EmptyArray", Variant::fromArray(cao::VT_R8, {})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Wire, WhatDoesNotFitItsTypeCodeIsRefusedWithADescription) {
    bus::registerWireTypes();
    const auto refusal = [](const bus::WireValue& wire) -> QString {
        try {
            bus::fromWire(wire);
        } catch (const cao::Error& e) {
            return e.description();
        }
        return "accepted";
    };
    EXPECT_EQ(refusal({cao::VT_I4, QDBusVariant(QString("7"))}),
              "A VT_I4 value travels as D-Bus type i, not s");
    EXPECT_EQ(refusal({99, QDBusVariant(1)}), "Type code 99 is not a type the engine carries");
    EXPECT_EQ(refusal({cao::VT_ARRAY | cao::VT_I2, QDBusVariant(1)}),
              "A VT_ARRAY|VT_I2 value travels as D-Bus type a(qv), not i");
    const QList<bus::WireValue> mixed{bus::toWire(Variant::fromI4(1))};
    EXPECT_EQ(refusal({cao::VT_ARRAY | cao::VT_I2, QDBusVariant(QVariant::fromValue(mixed))}),
              "An element of a VT_ARRAY|VT_I2 array is a VT_I4");
    EXPECT_THROW(bus::wireValueArgument(QVariant(QString("text"))), cao::Error);
}

TEST(Wire, FailuresKeepTheirCodeAndDescription) {
    for (const int32_t code :
         {cao::code::Fail, cao::code::InvalidArg, cao::code::TypeMismatch, cao::code::Overflow,
          cao::code::NotImplemented, static_cast<int32_t>(0x80040200)}) {
        const QDBusError error(QDBusMessage::createError(bus::errorName(code), "what went wrong"));
        const cao::Error back = bus::errorFromBus(error);
        EXPECT_EQ(back.code(), code) << bus::errorName(code).toStdString();
        EXPECT_EQ(back.description(), "what went wrong");
    }
    const cao::Error lost = bus::errorFromBus(
        QDBusError(QDBusError::ServiceUnknown, "The name io.tandrel.Engine1 was not provided"));
    EXPECT_TRUE(lost.description().startsWith("The engine cannot be reached on the session bus"))
        << lost.description().toStdString();
}

TEST(Wire, APackedBatchThatIsCutOrPaddedOrLiesIsRefused) {
    bus::PackedBatchWriter writer;
    writer.add(3, Variant::fromString("hello"), Variant::fromR8(0), "s", "");
    writer.add(4, Variant::fromArray(cao::VT_I4, {Variant::fromI4(1)}), Variant(), "s", "");
    const QByteArray whole = writer.take();
    const auto unpack = [](const QByteArray& bytes) {
        return bus::unpackBatch(bytes, [](const QString&) { return std::function<void()>(); });
    };
    EXPECT_EQ(unpack(whole).size(), 2u);
    for (qsizetype cut = 0; cut < whole.size(); ++cut) {
        EXPECT_THROW(unpack(whole.left(cut)), cao::Error) << "cut at " << cut;
    }
    EXPECT_THROW(unpack(whole + QByteArray(1, 'x')), cao::Error);
    QByteArray lying = whole;
    lying[0] = char(0x7f);  // a count far beyond the bytes
    EXPECT_THROW(unpack(lying), cao::Error);
}

TEST(Wire, APackedBatchReadsEachTextAsWrittenWhereNeighboursRepeatOrDifferAlike) {
    bus::PackedBatchWriter writer;
    const QStringList texts{"ChatRoom.A", "ChatRoom.A", "ChatRoom.B", "", "ChatRoom.B", "é"};
    for (const QString& text : texts) writer.add(3, Variant::fromString(text), Variant(), text, "");
    writer.add(3, Variant::fromString(QString()), Variant(), QString(), "");
    const std::vector<engine::MessageData> batch =
        bus::unpackBatch(writer.take(), [](const QString&) { return std::function<void()>(); });
    ASSERT_EQ(batch.size(), size_t(texts.size() + 1));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(batch[size_t(i)].source, texts[i]);
        EXPECT_EQ(batch[size_t(i)].value.string(), texts[i]);
    }
    EXPECT_TRUE(batch.back().source.isNull());
}
