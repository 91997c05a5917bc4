#pragma once

// Records the messages a controller raises and waits, with a bound, for the event loop to
// bring the ones a test expects. Shared by the peer's tests and the cross-process tests.

#include "cao/Cao.h"
#include "cao/text/VariantToText.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

namespace peertest {

// Long enough for a loaded machine; reached only when something is broken.
inline constexpr int kWaitBoundMs = 20000;

// Runs the event loop until the condition holds; false when the bound passed first.
inline bool waitFor(const std::function<bool()>& condition, int boundMs = kWaitBoundMs) {
    QDeadlineTimer deadline(boundMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

struct Record {
    int number = 0;
    QString value;
    QString time;
    QString source;
    cao::MessagePtr message;
};

inline QString textOf(const cao::Variant& value) {
    try {
        return cao::variantToText(value);
    } catch (const cao::Error&) {
        return QStringLiteral("<no text>");
    }
}

// Subscribes to a controller's messages for as long as it lives.
class MessageRecorder {
public:
    explicit MessageRecorder(const cao::ControllerPtr& controller)
        : m_controller(controller), m_records(std::make_shared<std::vector<Record>>()) {
        controller->SetOnMessage([records = m_records](const cao::MessagePtr& m) {
            records->push_back(
                {m->Number(), textOf(m->Value()), textOf(m->Time()), m->Source(), m});
        });
    }
    ~MessageRecorder() {
        if (m_controller) m_controller->SetOnMessage({});
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<Record>& records() const { return *m_records; }
    std::vector<Record> withNumber(int number) const {
        std::vector<Record> matching;
        for (const Record& r : *m_records) {
            if (r.number == number) matching.push_back(r);
        }
        return matching;
    }
    // The first message of that number and value, waiting for it within the bound.
    std::optional<Record> waitFor(int number, const QString& value) const {
        std::optional<Record> found;
        peertest::waitFor([&] {
            for (const Record& r : *m_records) {
                if (r.number == number && r.value == value) {
                    found = r;
                    return true;
                }
            }
            return false;
        });
        return found;
    }
    // Position of the first such message in arrival order, or -1.
    int indexOf(int number, const QString& value) const {
        for (std::size_t i = 0; i < m_records->size(); ++i) {
            if ((*m_records)[i].number == number && (*m_records)[i].value == value) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    QString dump() const {
        QStringList lines;
        for (const Record& r : *m_records) {
            lines << QStringLiteral("%1 : %2 @%3 from %4")
                         .arg(r.number)
                         .arg(r.value, r.time, r.source);
        }
        return lines.join(QLatin1String("\n"));
    }

private:
    cao::ControllerPtr m_controller;
    std::shared_ptr<std::vector<Record>> m_records;
};

inline const QString kMessage = QStringLiteral("InteractionRoot.Communication.Message");
inline const QString kTimedMessage = QStringLiteral("InteractionRoot.TSCommunication.Message");
inline const QString kChatUrl = QStringLiteral("file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed");
inline const QString kProvider = QStringLiteral("CaoProv.Zarn.HLA");

inline QString chatOptions(int timePolicy, const QString& lookahead = QStringLiteral("1")) {
    return QStringLiteral("URL=%1, TimePoli=%2, TimeAdv=0, CurTime=0, LookAhead=%3, AsyncDeli=0")
        .arg(kChatUrl)
        .arg(timePolicy)
        .arg(lookahead);
}

}  // namespace peertest
