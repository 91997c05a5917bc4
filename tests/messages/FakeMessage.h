#pragma once

#include "cao/Cao.h"

#include <QStringList>

#include <memory>

// A message whose answers a test sets field by field; any operation named in `failing`
// throws. Acknowledge writes "ack <number>" into the shared journal.
struct FakeMessage : cao::CaoMessage {
    int32_t number = 3;
    cao::Variant value = cao::Variant::fromI4(42);
    cao::Variant time = cao::Variant::fromR8(1.5);
    QString source = QStringLiteral("abc");
    QStringList failing;
    QStringList* journal = nullptr;

    int32_t Number() override { return answer("Number", number); }
    cao::Variant Value() override { return answer("Value", value); }
    cao::Variant Time() override { return answer("Time", time); }
    QString Source() override { return answer("Source", source); }
    void Acknowledge() override {
        answer("Acknowledge", 0);
        if (journal) *journal << QStringLiteral("ack %1").arg(number);
    }

private:
    template <typename T>
    T answer(const char* operation, T result) {
        if (failing.contains(QLatin1String(operation))) {
            throw cao::Error(QStringLiteral("%1 failed in the test engine").arg(operation));
        }
        return result;
    }
};

inline std::shared_ptr<FakeMessage> fakeMessage(int32_t number, QString source = "abc") {
    auto message = std::make_shared<FakeMessage>();
    message->number = number;
    message->source = std::move(source);
    return message;
}
