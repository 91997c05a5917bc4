#include "messages/MessageLog.h"

#include "cao/ProviderContract.h"
#include "cao/TypeRows.h"
#include "messages/LogLine.h"
#include "messages/MessageLogModel.h"
#include "ui/MessageBoxService.h"
#include "ui/WidgetState.h"

#include <QCheckBox>
#include <QListView>

namespace messages {

namespace {

const QString kAnnouncementText = QStringLiteral(
    "I caught the announceSynchronizationPoint Event. Then I will call the "
    "synchronizationPointAchieved().");

// The handler reports nothing to the engine: a step that fails is skipped and the next
// one runs.
template <typename Step>
void guarded(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

cao::CaoMessage& operations(const cao::MessagePtr& message) {
    if (!message) throw cao::Error(QStringLiteral("The engine delivered no message object."));
    return *message;
}

}  // namespace

MessageLog::MessageLog(MessageControls controls, ui::MessageBoxService& messageBox)
    : m_controls(controls), m_messageBox(messageBox), m_model(std::make_unique<MessageLogModel>()) {
    // Uniform rows let the view scroll a million lines without measuring each one.
    m_controls.lstMessage->setUniformItemSizes(true);
    // Lay a long log out in batches across turns of the event loop, not in one go.
    m_controls.lstMessage->setLayoutMode(QListView::Batched);
    m_controls.lstMessage->setBatchSize(20000);
    m_controls.lstMessage->setModel(m_model.get());
}

MessageLog::~MessageLog() = default;

void MessageLog::OnMessage(const cao::MessagePtr& message) {
    try {
        m_waiting.push_back(message);
    } catch (...) {
        return;  // no memory even to queue it: dropped like a failed step
    }
    if (m_handling) return;  // an earlier message's box is open; it runs when that one ends
    m_handling = true;
    while (!m_waiting.empty()) {
        const cao::MessagePtr next = std::move(m_waiting.front());
        m_waiting.pop_front();
        handle(next);
    }
    m_handling = false;
}

void MessageLog::handle(const cao::MessagePtr& message) {
    cao::Variant value;
    int32_t number = 0;
    guarded([&] { value = operations(message).Value(); });
    guarded([&] { number = operations(message).Number(); });
    guarded([&] {
        const int16_t typeIndex =
            cao::VarTypeToIndex(value, [this](const QString& text) { m_messageBox.show(text); });
        const cao::Variant time = operations(message).Time();
        const QString source = operations(message).Source();
        m_model->append(logLine(number, value, typeIndex, time, source));
    });
    if (number != cao::contract::message::PointAnnounced) return;
    guarded([&] {
        if (ui::checkValue(m_controls.chkSync) != 1) m_messageBox.show(kAnnouncementText);
    });
    guarded([&] { operations(message).Acknowledge(); });
}

void MessageLog::clear() {
    m_model->clear();
}

}  // namespace messages
